#include "text_codec.h"

namespace utility {

QString ToDisplayText(const std::string& text) {
  QString display = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  display.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return display;
}

std::string FromDisplayText(const QString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (u == u'\n' || u == 0x2029) {
      out += "\r\n";
    } else {
      out += u <= 0xFF ? static_cast<char>(u) : '?';
    }
  }
  return out;
}

}  // namespace utility
