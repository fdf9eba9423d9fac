#include "utility/utility_controller.h"

#include "hidhost/system_services.h"
#include "utility/control_ids.h"
#include "utility/history_saver.h"
#include "utility/reader_detection.h"

namespace utility {

UtilityController::UtilityController(DialogControls& controls, Prompter& prompter, Session& session)
    : controls_(controls), prompter_(prompter), session_(session),
      sender_(controls, prompter, session, CommandText) {}

void UtilityController::SetScriptHandler(ScriptRunHandler* handler) {
  script_ = handler;
  sender_.SetScriptHandler(handler);
}

UtilityContext UtilityController::Context() {
  return UtilityContext{controls_, prompter_, session_, CommandText, sender_};
}

void UtilityController::Initialise() {
  controls_.SetText(ControlId::StatusLine, session_.StatusText);
  for (ControlId id : kPanelHideOrder) controls_.SetVisible(id, false);
}

void UtilityController::DispatchTimerTick() {
  if (!session_.runState.ReaderPresent) DetectReader();
  if (session_.runState.ScriptRunning && script_ != nullptr) {
    script_->RunScriptStep();
    // A step that ends or stops the run sends nothing in this tick.
    if (session_.runState.ScriptRunning) SendTypedCommand();
  }
}

void UtilityController::DetectReader() { utility::DetectReader(controls_, session_); }

void UtilityController::ShowCommandPanel() { utility::ShowCommandPanel(controls_); }

void UtilityController::LaunchLegacyTool() {
  // Pelorin ends whether or not the legacy tool started.
  hidhost::CurrentServices().StartProgram(kLegacyToolName);
  ExitUtility();
}

void UtilityController::ExitUtility() { controls_.EndDialog(); }

void UtilityController::ShowAbout() { prompter_.ShowAbout(); }

void UtilityController::SaveHistory() { utility::SaveHistory(controls_, prompter_); }

bool UtilityController::TakesQueuedCommand(int id) const {
  switch (id) {
    case static_cast<int>(ControlId::PanelExit):
    case static_cast<int>(ControlId::HandOverExit):
    case menu::Exit:
      return true;
    case static_cast<int>(ControlId::RunScript):
      // Stop; Run Script and Resume would start sending again.
      return session_.runState.ScriptRunning != 0;
    default:
      return false;
  }
}

bool UtilityController::RouteCommand(int id) {
  if (queuedDepth_ > 0 && !TakesQueuedCommand(id)) return false;
  switch (id) {
    case static_cast<int>(ControlId::SendCommand):
      SendTypedCommand();
      return true;
    case static_cast<int>(ControlId::PanelExit):
    case static_cast<int>(ControlId::HandOverExit):
    case menu::Exit:
      ExitUtility();
      return true;
    case static_cast<int>(ControlId::Launch):
      LaunchLegacyTool();
      return true;
    case menu::SaveHistory:
      SaveHistory();
      return true;
    case menu::About:
      ShowAbout();
      return true;
    case static_cast<int>(ControlId::RunScript):
      if (script_ == nullptr) return false;
      script_->ToggleScriptRun();
      return true;
    case static_cast<int>(ControlId::SendFile):
      if (script_ == nullptr) return false;
      script_->SendScriptFile();
      return true;
    default:
      break;
  }
  const bool settingCommand = id == menu::ReviewVersion || id == menu::ReviewPollingInterval ||
                              id == menu::SetPollingInterval || id == menu::ReviewTurboSpeed ||
                              id == menu::SetTurboSpeed || id == menu::ReviewLanguage ||
                              (id >= menu::FirstLanguage && id <= menu::LastLanguage);
  if (settingCommand && settings_ != nullptr) return settings_->RunMenuCommand(id);
  return false;
}

}  // namespace utility
