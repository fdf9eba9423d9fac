// The main dialog's operations without a screen: its initial state, the
// 100 ms tick, the command routing table and the operations it names. The
// Qt dialog forwards every button, menu command and tick here.
#pragma once

#include <string>

#include "utility/command_sender.h"
#include "utility/dialog_controls.h"
#include "utility/handlers.h"
#include "utility/prompter.h"
#include "utility/session.h"

namespace utility {

// The program the Launch button starts.
#if defined(_WIN32)
inline constexpr const char* kLegacyToolName = "Skelmar.exe";
#else
inline constexpr const char* kLegacyToolName = "skelmar";
#endif

class UtilityController {
 public:
  UtilityController(DialogControls& controls, Prompter& prompter, Session& session);

  UtilityController(const UtilityController&) = delete;
  UtilityController& operator=(const UtilityController&) = delete;

  // Handlers of the setting menus and the script runner; until they are
  // set, their identifiers route nowhere and the tick runs no script step.
  void SetSettingHandler(SettingCommandHandler* handler) { settings_ = handler; }
  void SetScriptHandler(ScriptRunHandler* handler);

  // What the setting and script handlers are built on.
  UtilityContext Context();

  // Status line text and the hidden command panel: the waiting screen.
  void Initialise();

  // Routes a button or menu identifier. False when nothing handles it.
  bool RouteCommand(int id);

  void DispatchTimerTick();
  void DetectReader();
  void ShowCommandPanel();
  void LaunchLegacyTool();
  void ExitUtility();
  void ShowAbout();
  void SendTypedCommand() { sender_.SendTypedCommand(); }
  void SendHexCommand() { sender_.SendHexCommand(); }
  void SaveHistory();

  // The command being sent.
  std::string CommandText;

 private:
  DialogControls& controls_;
  Prompter& prompter_;
  Session& session_;
  CommandSender sender_;
  SettingCommandHandler* settings_ = nullptr;
  ScriptRunHandler* script_ = nullptr;
};

}  // namespace utility
