// Reads one dialog template out of a resource script, as text, so that tests
// on any platform can hold a script's dialog against a control table. It
// knows the statements dialog templates are written with; the preprocessor
// is not run (lines starting with # are skipped), so ids and styles are
// kept as written.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rcscript {

struct RcControl {
  std::string statement;    // GROUPBOX, EDITTEXT, CONTROL, ...
  std::string text;         // empty for statements without text (EDITTEXT, ...)
  std::string id;           // as written
  std::string windowClass;  // CONTROL statements only
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<std::string> styles;     // the style expression's names
  std::vector<std::string> notStyles;  // names after NOT, which the control drops

  bool Has(std::string_view style) const;
  bool Drops(std::string_view style) const;
};

struct RcDialog {
  std::string id;
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<std::string> styles;
  std::string caption;
  std::string fontName;
  int fontPoints = 0;
  std::vector<RcControl> controls;
};

// The dialog (DIALOG or DIALOGEX) named `id` in `script`. Nothing, with the
// reason and its line in `error`, when there is no such dialog or it cannot
// be read.
std::optional<RcDialog> ReadRcDialog(std::string_view script, std::string_view id,
                                     std::string* error);

}  // namespace rcscript
