// The main dialog from the resources: its template against the control
// table, each screen state, the exchange's hold on input, and what the
// reader types.
#include <fstream>
#include <iterator>

#include "dialog_colours.h"
#include "resource.h"
#include "utility/command_sender.h"
#include "utility/dialog_template.h"
#include "win32_common/text.h"
#include "win32_fixture.h"

namespace utility::testing {
namespace {

using Screen = std::set<ControlId>;

const Screen kHandOver = {ControlId::StatusLine, ControlId::HandOverExit};
const Screen kCommandPanel(std::begin(kPanelShowOrder), std::end(kPanelShowOrder));

TEST_F(Win32DialogTest, ResourcesHoldTheTemplateOfTheControlTable) {
  Start("none");
  EXPECT_EQ(win32ui::GetWindowTextLatin1(Window()), kUtilityCaption);
  for (const ControlTemplate& t : MainDialogControls()) {
    SCOPED_TRACE(static_cast<int>(t.id));
    HWND control = Control(t.id);
    ASSERT_NE(control, nullptr);
    // Position and size in pixels, each converted as the dialog manager does.
    RECT expected{t.x, t.y, t.width, t.height};
    MapDialogRect(Window(), &expected);
    RECT actual{};
    GetWindowRect(control, &actual);
    MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    // A label may be wider, when the font is.
    if (t.kind == ControlKind::Label) {
      EXPECT_GE(actual.right - actual.left, expected.right);
    } else {
      EXPECT_EQ(actual.right - actual.left, expected.right);
    }
    EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
    if (t.id != ControlId::StatusLine) {
      EXPECT_EQ(Text(t.id), t.text);
    }
  }
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_COMMAND_MENU));
  ASSERT_NE(menu, nullptr);
  const auto menus = CommandPanelMenu();
  ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(menus.size()));
  auto label = [](HMENU m, UINT position) {
    wchar_t text[64] = {};
    GetMenuStringW(m, position, text, 64, MF_BYPOSITION);
    return win32ui::Latin1FromWide(text);
  };
  for (UINT i = 0; i < menus.size(); ++i) {
    EXPECT_EQ(label(menu, i), menus[i].title);
    HMENU sub = GetSubMenu(menu, static_cast<int>(i));
    ASSERT_EQ(GetMenuItemCount(sub), static_cast<int>(menus[i].items.size()));
    for (UINT j = 0; j < menus[i].items.size(); ++j) {
      const MenuItemTemplate& item = menus[i].items[j];
      SCOPED_TRACE(item.id);
      if (item.text == nullptr) {
        EXPECT_TRUE(GetMenuState(sub, j, MF_BYPOSITION) & MF_SEPARATOR);
      } else {
        EXPECT_EQ(label(sub, j), item.text);
        EXPECT_EQ(GetMenuItemID(sub, static_cast<int>(j)), static_cast<UINT>(item.id));
      }
    }
  }
  DestroyMenu(menu);
}

TEST_F(Win32DialogTest, WaitingScreenShowsTheStatusAndExitOnly) {
  Start("none");
  Tick();
  EXPECT_EQ(ShownControls(), kHandOver);
  EXPECT_EQ(Text(ControlId::StatusLine), kWaitingStatus);
  EXPECT_EQ(GetMenu(Window()), nullptr);
}

TEST_F(Win32DialogTest, CurrentReaderBringsTheCommandPanelAndMenuBar) {
  Start("reader");
  RECT before{};
  GetClientRect(Window(), &before);
  Tick();
  EXPECT_EQ(ShownControls(), kCommandPanel);
  EXPECT_NE(GetMenu(Window()), nullptr);
  RECT after{};
  GetClientRect(Window(), &after);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top) << "the menu bar took room of the panel";
}

TEST_F(Win32DialogTest, OlderReaderOffersLaunchWhichStartsSkelmarAndEnds) {
  Start("legacy-reader");
  Tick();
  EXPECT_EQ(ShownControls(), Screen({ControlId::StatusLine, ControlId::Launch, ControlId::HandOverExit}));
  EXPECT_EQ(Text(ControlId::StatusLine), "KAVRO USB KB Reader Connected \r\n(Revision <= H)");
  EXPECT_EQ(Text(ControlId::Launch),
            "Launch the original version \r\nKAVRO USB KB Setup Program\r\n\r\nThis program will close by itself");
  Click(ControlId::Launch);
  EXPECT_EQ(host->sim().ProgramStarts(), std::vector<std::string>{"Skelmar.exe"});
  EXPECT_TRUE(program->window().Ended());
  EXPECT_EQ(program->window().Result(), IDOK);
}

TEST_F(Win32DialogTest, ExitEscapeAndCloseEndTheDialogButEnterDoesNot) {
  struct Case {
    const char* name;
    int id;
    bool ends;
    INT_PTR result;
  };
  const Case cases[] = {
      {"Exit of the hand-over panel", 4, true, IDOK},
      {"Escape and the close box", IDCANCEL, true, IDCANCEL},
      {"Enter outside an edit box", IDOK, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start("none");
    SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(c.id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(Window(), c.id)));
    EXPECT_EQ(program->window().Ended(), c.ends);
    if (c.ends) {
      EXPECT_EQ(program->window().Result(), c.result);
    }
    TearDown();
  }
}

TEST_F(Win32DialogTest, TypedCommandGoesToHistoryAndMovesTheFocus) {
  StartWithReader();
  SetText(ControlId::CommandBox, "ab");
  Click(ControlId::SendCommand);
  EXPECT_EQ(Text(ControlId::HistoryBox), "ab\r\n");
  EXPECT_EQ(Text(ControlId::CommandBox), "");
  EXPECT_EQ(GetFocus(), Control(ControlId::CommandBox));
  SetText(ControlId::ResponseBox, "old");
  SetText(ControlId::CommandBox, "xY");
  Click(ControlId::SendCommand);
  EXPECT_EQ(Text(ControlId::HistoryBox), "xY\r\nab\r\n");
  // Emptied, then the simulated reader typed its answer there.
  EXPECT_EQ(Text(ControlId::ResponseBox), "xY OK\r\n");
  EXPECT_EQ(GetFocus(), Control(ControlId::ResponseBox));
}

TEST_F(Win32DialogTest, TextBeyondLatin1IsRefusedAndKept) {
  StartWithReader();
  SetWindowTextW(Control(ControlId::CommandBox), L"c1 \u20AC");
  answerer->Press(IDOK);
  Click(ControlId::SendCommand);
  ASSERT_EQ(answerer->Seen().size(), 1u);
  EXPECT_EQ(answerer->Seen()[0].text, kNotLatin1Message);
  EXPECT_TRUE(FeatureWrites().empty());
  wchar_t kept[16] = {};
  GetWindowTextW(Control(ControlId::CommandBox), kept, 16);
  EXPECT_EQ(std::wstring(kept), L"c1 \u20AC");
}

// A click queued during an exchange is carried out after it only when it
// stops the run or ends the dialog; one that would send again is dropped.
// The buttons and menus stay enabled all along, under a busy cursor.
TEST_F(Win32DialogTest, ExchangeCarriesOutOnlyStopAndExitClickedMeanwhile) {
  struct Case {
    const char* name;
    bool script;        // the exchange is a running script's line, else Send Command
    ControlId clicked;  // clicked while the exchange blocks the dialog
    bool ends;          // the dialog ends
  };
  const Case cases[] = {
      {"Send Command again", false, ControlId::SendCommand, false},
      {"Run Script while no run goes on", false, ControlId::RunScript, false},
      {"Send File", false, ControlId::SendFile, false},
      {"Stop of the run, before its next line", true, ControlId::RunScript, false},
      {"Exit during a run", true, ControlId::PanelExit, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    session = Session{};
    StartWithReader();
    HWND target = Control(c.clicked);
    auto menuGrayed = [&] { return (GetMenuState(GetMenu(Window()), 0, MF_BYPOSITION) & MF_GRAYED) != 0; };
    bool enabledMeanwhile = true, busyCursor = false, posted = false;
    host->onOpen = [&] {
      enabledMeanwhile = enabledMeanwhile && IsWindowEnabled(target) && !menuGrayed();
      if (posted) return;
      posted = true;
      busyCursor = GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
      PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
      PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    };
    if (c.script) {
      SetText(ControlId::CommandBox, "A1\r\nA2\r\nEND\r\n");
      Click(ControlId::RunScript);
      Tick();  // sends A1
    } else {
      SetText(ControlId::CommandBox, "A1");
      Click(ControlId::SendCommand);
    }
    EXPECT_TRUE(posted);
    EXPECT_TRUE(enabledMeanwhile);
    EXPECT_TRUE(busyCursor);
    EXPECT_EQ(program->window().Ended(), c.ends);
    if (!c.ends) {
      EXPECT_EQ(session.runState.ScriptRunning, 0);
      for (int i = 0; i < 3; ++i) Tick();
    }
    ProcessMessages();
    EXPECT_EQ(session.HistoryText, "A1\r\n");
    EXPECT_TRUE(answerer->Seen().empty());
    TearDown();
  }
}

TEST_F(Win32DialogTest, WhatTheReaderTypesLandsInTheFocusedBox) {
  StartWithReader();
  program->window().SetFocus(ControlId::ResponseBox);
  host->TypeAsReader("12\r");
  ProcessMessages();
  EXPECT_EQ(Text(ControlId::ResponseBox), "12\r\n");
  // The read-only history takes no typing.
  program->window().SetFocus(ControlId::HistoryBox);
  host->TypeAsReader("34");
  ProcessMessages();
  EXPECT_EQ(Text(ControlId::HistoryBox), "");
}

TEST_F(Win32DialogTest, EditBoxesTakeTypingBeyondTheSystemsDefaultLimit) {
  StartWithReader();
  program->window().SetFocus(ControlId::ResponseBox);
  host->TypeAsReader(std::string(40000, 'x'));
  ProcessMessages();
  EXPECT_EQ(Text(ControlId::ResponseBox).size(), 40000u);
}

TEST_F(Win32DialogTest, DialogsAndMessageBoxesShowTheUtilityColours) {
  DialogColours colours;
  Start("none");
  auto brushColour = [](LRESULT brush) {
    LOGBRUSH info{};
    GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof(info), &info);
    return info.lbColor;
  };
  HDC dc = GetDC(Window());
  EXPECT_EQ(brushColour(SendMessageW(Window(), WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(Window()))),
            kDialogBackground);
  SendMessageW(Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(Control(ControlId::StatusLine)));
  EXPECT_EQ(GetTextColor(dc), kDialogText);
  // The read-only history keeps the system's colours.
  SetTextColor(dc, RGB(1, 2, 3));
  SendMessageW(Window(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(Control(ControlId::HistoryBox)));
  EXPECT_NE(GetTextColor(dc), kDialogText);
  ReleaseDC(Window(), dc);

  COLORREF boxBackground = 0;
  answerer->Answer([&](HWND box) {
    HDC boxDc = GetDC(box);
    boxBackground = brushColour(SendMessageW(box, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(boxDc),
                                             reinterpret_cast<LPARAM>(box)));
    ReleaseDC(box, boxDc);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  program->prompter().ShowMessage("Send Complete!", "");
  EXPECT_EQ(boxBackground, kDialogBackground);
}

// Themed group boxes draw their caption in the theme's colour whatever the
// colour answer says: the drawn pixels tell.
TEST_F(Win32DialogTest, ManualCommandCaptionIsDrawnBlue) {
  DialogColours colours;
  StartWithReader();
  HWND group = Control(ControlId::ManualGroup);
  RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  ProcessMessages();
  GdiFlush();
  // The caption lies at the box's top, after a short stretch of its frame.
  HDC dc = GetDC(group);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(group, WM_GETFONT, 0, 0)));
  SIZE caption{};
  GetTextExtentPoint32W(dc, L"Manual Command", 14, &caption);
  SelectObject(dc, previous);
  ReleaseDC(group, dc);
  RECT box{};
  GetWindowRect(group, &box);
  HDC screen = GetDC(nullptr);
  int blue = 0, dark = 0;
  for (int y = box.top; y < box.top + caption.cy; ++y) {
    for (int x = box.left; x < box.left + caption.cx + 16; ++x) {
      const COLORREF pixel = GetPixel(screen, x, y);
      if (pixel == kDialogText) {
        ++blue;
      } else if (GetRValue(pixel) < 80 && GetGValue(pixel) < 80 && GetBValue(pixel) < 80) {
        ++dark;
      }
    }
  }
  ReleaseDC(nullptr, screen);
  EXPECT_GT(blue, 20) << "the caption's text is not blue";
  EXPECT_EQ(dark, 0) << "the caption is drawn dark";
}

}  // namespace
}  // namespace utility::testing
