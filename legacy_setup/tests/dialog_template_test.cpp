// The setup dialog's control table against template 200 of the resource
// script the Windows program is built from, and the script reader itself.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "rc_dialog_reader.h"
#include "skelmar/dialog_template.h"

namespace skelmar_test {
namespace {

using rcscript::ReadRcDialog;
using skelmar::ControlKind;

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

const char* Statement(ControlKind kind) {
  switch (kind) {
    case ControlKind::GroupBox: return "GROUPBOX";
    case ControlKind::Button: return "PUSHBUTTON";
    case ControlKind::DefaultButton: return "DEFPUSHBUTTON";
    case ControlKind::LineEdit:
    case ControlKind::TextBox: return "EDITTEXT";
  }
  return "";
}

TEST(SetupDialogTemplate, ResourceScriptHoldsTheControlTable) {
  const std::string script = ReadFile(SKELMAR_RC_PATH);
  ASSERT_FALSE(script.empty()) << "cannot read " << SKELMAR_RC_PATH;
  std::string error;
  const auto dialog = ReadRcDialog(script, "200", &error);
  ASSERT_TRUE(dialog) << error;
  EXPECT_EQ(dialog->caption, skelmar::kSetupCaption);
  EXPECT_EQ(dialog->fontName, skelmar::kSetupFontName);
  EXPECT_EQ(dialog->fontPoints, skelmar::kSetupFontPoints);
  EXPECT_EQ(dialog->width, skelmar::kSetupWidthDu);
  EXPECT_EQ(dialog->height, skelmar::kSetupHeightDu);

  const auto table = skelmar::SetupDialogControls();
  ASSERT_EQ(dialog->controls.size(), table.size());
  for (size_t i = 0; i < table.size(); ++i) {
    const skelmar::ControlTemplate& t = table[i];
    const rcscript::RcControl& c = dialog->controls[i];
    SCOPED_TRACE(static_cast<int>(t.id));
    EXPECT_EQ(c.id, std::to_string(static_cast<int>(t.id)));
    EXPECT_EQ(c.statement, Statement(t.kind));
    EXPECT_EQ(c.text, t.text);
    EXPECT_EQ(c.x, t.x);
    EXPECT_EQ(c.y, t.y);
    EXPECT_EQ(c.width, t.width);
    EXPECT_EQ(c.height, t.height);
    EXPECT_EQ(c.Has("ES_READONLY"), (t.styles & skelmar::kReadOnly) != 0);
    EXPECT_EQ(c.Drops("WS_TABSTOP"), (t.styles & skelmar::kNoTabStop) != 0);
    EXPECT_EQ(c.Has("ES_WANTRETURN"), (t.styles & skelmar::kWantReturn) != 0);
    const bool textBox = t.kind == ControlKind::TextBox;
    EXPECT_EQ(c.Has("ES_MULTILINE"), textBox);
    EXPECT_EQ(c.Has("WS_VSCROLL") && c.Has("WS_HSCROLL"), textBox);
    if (c.statement == "EDITTEXT") {
      EXPECT_TRUE(c.Has("ES_AUTOHSCROLL"));
    }
  }
}

TEST(RcDialogReader, ReadsTheStatementsTemplatesAreWrittenWith) {
  const char* script = R"(#include <windows.h>
/* another dialog first,
   over two lines */
100 DIALOG 0, 0, 10, 10
BEGIN
END
7 DIALOGEX 1, 2, 300, 200, 0  // with a help id
STYLE DS_SETFONT |
      WS_POPUP
CAPTION "Say ""hello"""
FONT 9, "MS Shell Dlg", 400, 0, 0x1
{
  LTEXT "A, B", IDC_LABEL, 4, 5, 60, 8
  EDITTEXT 12, 4, 20, 100,
           14, ES_AUTOHSCROLL | NOT WS_TABSTOP, WS_EX_CLIENTEDGE
  CONTROL "", 13, "msctls_progress32", WS_BORDER | 0x1, 4, 40, 100, 10
}
)";
  std::string error;
  const auto dialog = ReadRcDialog(script, "7", &error);
  ASSERT_TRUE(dialog) << error;
  EXPECT_EQ(dialog->width, 300);
  EXPECT_EQ(dialog->styles, (std::vector<std::string>{"DS_SETFONT", "WS_POPUP"}));
  EXPECT_EQ(dialog->caption, "Say \"hello\"");
  EXPECT_EQ(dialog->fontName, "MS Shell Dlg");
  ASSERT_EQ(dialog->controls.size(), 3u);
  EXPECT_EQ(dialog->controls[0].text, "A, B");
  EXPECT_EQ(dialog->controls[0].id, "IDC_LABEL");
  EXPECT_EQ(dialog->controls[1].height, 14);
  EXPECT_TRUE(dialog->controls[1].Has("ES_AUTOHSCROLL"));
  EXPECT_TRUE(dialog->controls[1].Drops("WS_TABSTOP"));
  EXPECT_FALSE(dialog->controls[1].Has("WS_EX_CLIENTEDGE"));
  EXPECT_EQ(dialog->controls[2].windowClass, "msctls_progress32");
  EXPECT_EQ(dialog->controls[2].y, 40);
}

TEST(RcDialogReader, SaysWhyAScriptCannotBeRead) {
  struct Case {
    const char* script;
    const char* error;
  };
  const Case cases[] = {
      {"1 ICON \"a.ico\"\n", "no dialog 7 in the script"},
      {"7 DIALOGEX 0, 0, 1, 1\nCAPTION \"open\nBEGIN\nEND\n", "line 2: string without a closing quote"},
      {"/* never closed\n7 DIALOGEX 0, 0, 1, 1\n", "line 1: comment without an end"},
      {"7 DIALOGEX 0, 0, 1, 1\nBEGIN\n  PUSHBUTTON \"OK\", 1, 2, 3, 4, 5\n",
       "line 3: the script ends where a name or number belongs"},
      {"7 DIALOGEX 0, 0, 1, 1\nBEGIN\n  PUSHBUTTON \"OK\", 1, 2, 3, wide, 5\nEND\n",
       "line 3: 'wide' is not a number"},
      {"7 DIALOGEX 0, 0, 1, 1\nBEGIN\n  PUSHBUTTON \"OK\", 1, 2, 3, 4\nEND\n",
       "line 4: expected a comma"},
      {"7 DIALOGEX 0, 0, 1, 1\nBEGIN\n  SLIDER 1, 2, 3, 4, 5\nEND\n",
       "line 3: 'SLIDER' is not a control statement"},
      {"7 DIALOGEX 0, 0, 1, 1\nTITLE \"x\"\nBEGIN\nEND\n", "line 2: 'TITLE' is not a dialog statement"},
      {"7 DIALOGEX 0, 0, 1, 1 @\n", "line 1: unexpected character '@'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    std::string error;
    EXPECT_FALSE(ReadRcDialog(c.script, "7", &error));
    EXPECT_EQ(error, c.error);
  }
}

}  // namespace
}  // namespace skelmar_test
