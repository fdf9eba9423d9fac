#include "utility/command_sender.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "reader_link/command_codec.h"
#include "reader_link/reader_device.h"
#include "reader_link/reader_scan.h"
#include "utility/control_ids.h"
#include "utility/handlers.h"

namespace utility {
namespace {

void RemoveChars(std::string* text, std::string_view chars) {
  std::erase_if(*text, [chars](char c) { return chars.find(c) != std::string_view::npos; });
}

bool SecondCharIsY(const std::string& text) { return text.size() >= 2 && text[1] == 'Y'; }

}  // namespace

std::string NotSentMessage(const std::string& command) {
  return "The command \"" + command + "\" was not sent: " + kNoReaderReason + ".";
}

void PrintOpenFailure(const readerlink::ReaderInterface&) {
  std::fputs("Fail to open device! \n", stdout);
  std::fflush(stdout);
}

std::string ExchangeRecord(const readerlink::ExchangeResult& exchange) {
  return "Command:  " + readerlink::HexBytesText(exchange.frame) + "\r\nResponse:  " +
         readerlink::HexBytesText(exchange.answer()) + "\r\n\r\n";
}

CommandSender::CommandSender(DialogControls& controls, Prompter& prompter, Session& session,
                             std::string& commandText)
    : controls_(controls), prompter_(prompter), session_(session), CommandText(commandText) {}

readerlink::ExchangeResult CommandSender::ExchangeWithReaders(std::span<const uint8_t> frame,
                                                              uint32_t capacity) {
  BusyScope busy(controls_);
  readerlink::ExchangeResult result;
  result.frame.assign(frame.begin(), frame.end());
  std::vector<readerlink::ReaderInterface> readers = readerlink::ScanReaders();
  if (targets_.chosen) std::erase_if(readers, std::not_fn(targets_.chosen));
  // Every interface gets the frame, each opened afresh; one that takes none
  // (a reader's keyboard interface) does not keep the next from its own.
  readerlink::ScanAndExchange(
      [&](readerlink::ReaderDevice& reader, const readerlink::ReaderInterface&) {
        result.interfaces.push_back(reader.Exchange(frame, capacity));
      },
      targets_.openFailed, readers);
  return result;
}

void CommandSender::ForgetLastExchange() { last_ = {}; }

void CommandSender::SendTypedCommand() {
  ForgetLastExchange();
  const bool scripted = session_.runState.ScriptRunning != 0;
  if (!scripted) {
    const std::optional<std::string> typed = controls_.TypedText(ControlId::CommandBox);
    if (!typed) {
      // Refused whole, like an over-long command: nothing sent or recorded.
      prompter_.ShowMessage(kNotLatin1Message, kErrorCaption);
      return;
    }
    CommandText = *typed;
  }
  RemoveChars(&CommandText, "\t");
  // Message boxes let timer ticks run underneath; a script step may change
  // CommandText meanwhile, so the rest works on this send's own copy.
  const std::string command = CommandText;

  if (command.empty()) {
    // Nothing to send and nothing to record.
    prompter_.ShowMessage(kEmptyCommandMessage, kErrorCaption);
    if (!scripted) MoveFocusAfterTypedSend(command);
    return;
  }
  if (command.size() > readerlink::kMaxTypedChars) {
    // Does not fit a frame: refused whole, nothing recorded, the command box
    // keeps the text so the operator can shorten it.
    if (scripted && script_ != nullptr) {
      script_->StopAtLine(command, kTooLongReason);
    } else {
      prompter_.ShowMessage(kTypedTooLongMessage, kErrorCaption);
    }
    return;
  }
  last_ = ExchangeWithReaders(readerlink::BuildTypedFrame(command));
  const readerlink::Delivery delivery = last_.delivery();
  if (delivery == readerlink::Delivery::NotSent) {
    // A command that no reader took is not recorded as sent: typed, it
    // stays in the command box to be sent again; a script stops at it, and
    // the rest of the script waits for the reader.
    if (!scripted) {
      prompter_.ShowMessage(NotSentMessage(command), kErrorCaption);
    } else if (script_ != nullptr) {
      script_->StopAtLine(command, kNoReaderReason);
    }
    return;
  }

  session_.HistoryText.insert(0, command + "\r\n");
  controls_.SetText(ControlId::HistoryBox, session_.HistoryText);

  if (scripted && delivery == readerlink::Delivery::Unanswered && script_ != nullptr) {
    // The reader has the line but went away during the exchange.
    script_->StopAfterLine(command, kUnansweredReason);
  } else if (!scripted) {
    MoveFocusAfterTypedSend(command);
  } else if (command.size() == 2 && command[1] == 'Y') {
    // A pause command of a running script.
    controls_.SetText(ControlId::ResponseBox, "");
    controls_.SetFocus(ControlId::ResponseBox);
    session_.runState.ScriptPaused = 1;
    if (script_ != nullptr) script_->ToggleScriptRun();
  }
}

void CommandSender::MoveFocusAfterTypedSend(const std::string& command) {
  controls_.SetText(ControlId::CommandBox, "");
  if (SecondCharIsY(command)) {
    // The reader types its answer into the focused control.
    controls_.SetText(ControlId::ResponseBox, "");
    controls_.SetFocus(ControlId::ResponseBox);
  } else {
    controls_.SetFocus(ControlId::CommandBox);
  }
}

void CommandSender::SendHexCommand() {
  ForgetLastExchange();
  CommandText = controls_.Text(ControlId::CommandBox);
  RemoveChars(&CommandText, " \t");

  if (CommandText.empty()) {
    prompter_.ShowMessage(kEmptyCommandMessage, kErrorCaption);
  } else {
    std::vector<uint8_t> bytes;
    uint32_t count = static_cast<uint32_t>(std::min<size_t>(CommandText.size(), UINT32_MAX));
    if (!readerlink::HexToBytes(CommandText, &bytes, &count)) {
      prompter_.ShowMessage(kInvalidHexMessage, kErrorCaption);
    } else {
      bytes.resize(count);
      last_ = ExchangeWithReaders(readerlink::BuildHexFrame(bytes));
    }
  }

  controls_.SetText(ControlId::HistoryBox, ExchangeRecord(last_));
  CommandText.clear();
  controls_.SetText(ControlId::CommandBox, "");
}

}  // namespace utility
