// Identifiers of the main dialog's controls and menu commands. The dialog,
// the operations and the tests all name controls by these numbers.
#pragma once

namespace utility {

// Controls of the main dialog.
enum class ControlId : int {
  // Command panel.
  ManualGroup = 1074,    // group box "Manual Command"
  CommandBox = 1038,     // multi-line command edit
  SendCommand = 1039,    // "Send Command "
  RunScript = 1071,      // "Run Script" / "Stop" / "Resume"
  SendFile = 1072,       // "Send File"
  PanelExit = 3,         // "Exit" of the command panel
  HistoryLabel = 1075,   // "Command Response / History"
  HistoryBox = 1040,     // read-only history edit
  ResponseLabel = 1076,  // "Response"
  ResponseBox = 1073,    // response edit
  // Hand-over panel.
  StatusLine = 1078,
  Launch = 1079,
  HandOverExit = 4,
};

// Menu commands of menu 136.
namespace menu {
constexpr int SaveHistory = 57603;
constexpr int Exit = 32873;
constexpr int ReviewVersion = 32844;
constexpr int ReviewPollingInterval = 32868;
constexpr int SetPollingInterval = 32867;
constexpr int ReviewTurboSpeed = 32869;
constexpr int SetTurboSpeed = 32870;
constexpr int ReviewLanguage = 32866;
constexpr int FirstLanguage = 32855;  // English (US)
constexpr int LastLanguage = 32865;   // Universal
constexpr int About = 32803;
}  // namespace menu

// Command panel controls in the order initialisation hides them.
inline constexpr ControlId kPanelHideOrder[] = {
    ControlId::ManualGroup, ControlId::CommandBox,   ControlId::SendCommand, ControlId::RunScript,
    ControlId::SendFile,    ControlId::PanelExit,    ControlId::HistoryLabel, ControlId::HistoryBox,
    ControlId::ResponseLabel, ControlId::ResponseBox};

// Command panel controls in the order the panel switch shows them.
inline constexpr ControlId kPanelShowOrder[] = {
    ControlId::ManualGroup,  ControlId::CommandBox, ControlId::SendCommand,   ControlId::RunScript,
    ControlId::SendFile,     ControlId::HistoryLabel, ControlId::HistoryBox, ControlId::ResponseLabel,
    ControlId::ResponseBox,  ControlId::PanelExit};

}  // namespace utility
