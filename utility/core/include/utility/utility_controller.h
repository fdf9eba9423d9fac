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

  // Routes a button or menu identifier. False when nothing handles it, or
  // when it came during an exchange and is dropped (see QueuedInput).
  bool RouteCommand(int id);

  // Clicks and menu commands that the operator gives while an exchange
  // blocks the dialog reach the front end only once it is over. The front
  // end delivers them while a QueuedInput lives: RouteCommand then carries
  // out what stops or ends (Stop of a running script, Exit) and drops what
  // would start another exchange or box (Send Command, Send File, Run
  // Script or Resume, Launch, the menu commands other than Exit).
  class QueuedInput {
   public:
    explicit QueuedInput(UtilityController& controller) : controller_(controller) {
      ++controller_.queuedDepth_;
    }
    ~QueuedInput() { --controller_.queuedDepth_; }
    QueuedInput(const QueuedInput&) = delete;
    QueuedInput& operator=(const QueuedInput&) = delete;

   private:
    UtilityController& controller_;
  };
  // Whether `id`, given during an exchange, is carried out after it.
  bool TakesQueuedCommand(int id) const;

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
  int queuedDepth_ = 0;
};

}  // namespace utility
