#include "gui_common/text_codec.h"

namespace guicommon {
namespace {

bool IsLineBreak(char16_t u) { return u == u'\n' || u == 0x2028 || u == 0x2029; }

// Converts `text`; false at the first character beyond Latin-1 when `strict`.
bool Convert(const QString& text, bool strict, std::string* out) {
  out->clear();
  out->reserve(static_cast<size_t>(text.size()));
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (IsLineBreak(u)) {
      *out += "\r\n";
    } else if (u <= 0xFF) {
      *out += static_cast<char>(u);
    } else if (strict) {
      return false;
    } else {
      *out += '?';
    }
  }
  return true;
}

}  // namespace

QString ToDisplayText(const std::string& text) {
  QString display = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  display.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  display.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return display;
}

std::string FromDisplayText(const QString& text) {
  std::string out;
  Convert(text, false, &out);
  return out;
}

std::optional<std::string> FromTypedText(const QString& text) {
  std::string out;
  if (!Convert(text, true, &out)) return std::nullopt;
  return out;
}

}  // namespace guicommon
