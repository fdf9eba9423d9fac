#include "utility_app.h"

#include <QApplication>

#include "colours.h"
#include "utility/setting_dialog.h"
#include "utility/warning_dialog.h"

namespace utility {

UtilityHandlers AttachHandlers(UtilityDialog& dialog) {
  UtilityController& controller = dialog.controller();
  UtilityHandlers handlers;
  handlers.settings = std::make_unique<SettingCommands>(controller.Context());
  handlers.script = std::make_unique<ScriptRunner>(controller.Context());
  controller.SetSettingHandler(handlers.settings.get());
  controller.SetScriptHandler(handlers.script.get());
  return handlers;
}

void AttachSettingDialogs(QtPrompter& prompter) {
  prompter.SetWarningDialog(&RunWarningDialog);
  prompter.SetSettingDialog(&RunSettingDialog);
}

UtilityApp::UtilityApp(QApplication& app) { ApplyUtilityColours(app); }

void UtilityApp::Run() {
  QtPrompter prompter;
  AttachSettingDialogs(prompter);
  UtilityDialog dialog(session_, prompter);
  prompter.SetParent(&dialog);
  UtilityHandlers handlers = AttachHandlers(dialog);
  dialog.exec();
}

}  // namespace utility
