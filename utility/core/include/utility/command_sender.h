// The two send operations of the main dialog. SendTypedCommand sends the
// command as typed characters and records it in HistoryText; SendHexCommand
// sends the command box's hexadecimal text and shows the exchange record in
// the history box. Both scan every reader interface and block until the
// last exchange has returned.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "utility/dialog_controls.h"
#include "utility/prompter.h"
#include "utility/session.h"

namespace utility {

class ScriptRunHandler;

inline constexpr const char* kEmptyCommandMessage = "Please Input the Command String!";
inline constexpr const char* kInvalidHexMessage = "The command text is too long or invalid!";
inline constexpr const char* kTypedTooLongMessage =
    "The command text is too long! A command can hold at most 124 characters.";
inline constexpr const char* kNotLatin1Message =
    "The command text holds a character the reader cannot take! A command can hold only "
    "Latin-1 characters.";
// Why a script line was not sent (see ScriptRunHandler::StopAtLine).
inline constexpr const char* kNoReaderReason = "it reached no reader";
inline constexpr const char* kTooLongReason = "it is longer than 124 characters";
inline constexpr const char* kErrorCaption = "Error";

// "Command:  <frame>\r\nResponse:  <answer>\r\n\r\n", each frame byte as "%02X ".
std::string ExchangeRecord(const std::vector<uint8_t>& frame, const std::string& answerText);

class CommandSender {
 public:
  CommandSender(DialogControls& controls, Prompter& prompter, Session& session,
                std::string& commandText);

  // The script runner that a pause command stops; may stay unset.
  void SetScriptHandler(ScriptRunHandler* handler) { script_ = handler; }

  void SendTypedCommand();
  void SendHexCommand();

  // What the last send exchanged: whether any reader interface took the
  // frame (false when none did or the command was refused before sending;
  // a running script stops at such a line), the frame and the last answer
  // as "%02X " text. Pelorin shows only part of this; the command-line tool
  // reports it whole.
  bool LastReached() const { return lastReached_; }
  const std::vector<uint8_t>& LastFrame() const { return lastFrame_; }
  const std::string& LastAnswer() const { return lastAnswer_; }

 private:
  // Sends `frame` to every reader interface; the answer of the last exchange.
  std::string ExchangeWithReaders(const std::vector<uint8_t>& frame);
  void MoveFocusAfterTypedSend(const std::string& command);
  void ForgetLastExchange();

  DialogControls& controls_;
  Prompter& prompter_;
  Session& session_;
  std::string& CommandText;
  ScriptRunHandler* script_ = nullptr;
  bool lastReached_ = false;
  std::vector<uint8_t> lastFrame_;
  std::string lastAnswer_;
};

}  // namespace utility
