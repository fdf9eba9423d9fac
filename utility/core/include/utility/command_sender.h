// The two send operations of the main dialog. SendTypedCommand sends the
// command as typed characters and records it in HistoryText; SendHexCommand
// sends the command box's hexadecimal text and shows the exchange record in
// the history box. Both scan every reader interface and block until the
// last exchange has returned.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "reader_link/exchange_result.h"
#include "reader_link/reader_device.h"
#include "reader_link/reader_link.h"
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
// Why a run stopped after a line that was sent (ScriptRunHandler::StopAfterLine).
inline constexpr const char* kUnansweredReason =
    "the reader took it but did not answer, so it is not sent again";
inline constexpr const char* kErrorCaption = "Error";

// "The command "<command>" was not sent: it reached no reader."
std::string NotSentMessage(const std::string& command);

// "Command:  <frame>\r\nResponse:  <answer>\r\n\r\n", each byte as "%02X ";
// the answer is the one of the last interface that answered.
std::string ExchangeRecord(const readerlink::ExchangeResult& exchange);

// The line Pelorin prints on standard output for an interface that does not
// open: "Fail to open device! \n".
void PrintOpenFailure(const readerlink::ReaderInterface& reader);

// Which reader interfaces the sends go to, and who hears of one that does
// not open.
struct ReaderTargets {
  // Null: every current reader interface.
  std::function<bool(const readerlink::ReaderInterface&)> chosen;
  readerlink::OpenFailureSink openFailed = PrintOpenFailure;
};

class CommandSender {
 public:
  CommandSender(DialogControls& controls, Prompter& prompter, Session& session,
                std::string& commandText);

  // The script runner that a pause command stops; may stay unset.
  void SetScriptHandler(ScriptRunHandler* handler) { script_ = handler; }

  void SetTargets(ReaderTargets targets) { targets_ = std::move(targets); }

  void SendTypedCommand();
  void SendHexCommand();

  // Sends `frame` to every chosen reader interface, each given room for
  // `capacity` answer bytes, and blocks until the last exchange has
  // returned. Leaves LastExchange as it is.
  readerlink::ExchangeResult ExchangeWithReaders(std::span<const uint8_t> frame,
                                                 uint32_t capacity = readerlink::kAnswerBufferBytes);

  // What the last send exchanged: its frame (empty when the command was
  // refused before one was formed), the interfaces it reached and their
  // answers. A typed command that no interface took is refused and not
  // recorded; a running script stops at such a line, and after a line sent
  // but not answered. Pelorin shows only part of this; the command-line tool
  // reports it whole.
  const readerlink::ExchangeResult& LastExchange() const { return last_; }

 private:
  void MoveFocusAfterTypedSend(const std::string& command);
  void ForgetLastExchange();

  DialogControls& controls_;
  Prompter& prompter_;
  Session& session_;
  std::string& CommandText;
  ScriptRunHandler* script_ = nullptr;
  readerlink::ExchangeResult last_;
  ReaderTargets targets_;
};

}  // namespace utility
