#include "gui_common/text_codec.h"

#include "ui_common/text_codec.h"

namespace guicommon {
namespace {

std::u16string_view View(const QString& text) {
  return std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                             static_cast<size_t>(text.size()));
}

}  // namespace

QString ToDisplayText(const std::string& text) {
  const std::u16string wide = uicommon::FromLatin1(text, uicommon::LineBreak::Lf);
  return QString(reinterpret_cast<const QChar*>(wide.data()), static_cast<qsizetype>(wide.size()));
}

std::string FromDisplayText(const QString& text) { return uicommon::ToLatin1(View(text)); }

std::optional<std::string> FromTypedText(const QString& text) {
  bool lossless = true;
  std::string out = uicommon::ToLatin1(View(text), &lossless);
  if (!lossless) return std::nullopt;
  return out;
}

}  // namespace guicommon
