// SetupDialog: the controller of the setup tool's dialog. It owns the reader
// channel and the sending engine, handles the buttons and writes one
// character a tick to the reader.
#pragma once

#include <cstdint>
#include <string>

#include "skelmar/dialog_window.h"
#include "skelmar/prompts.h"
#include "skelmar/reader_channel.h"
#include "skelmar/sending_state.h"

namespace skelmar {

// Texts of the status box.
inline constexpr const char* kReady = "Ready";
inline constexpr const char* kSending = "Sending...";
inline constexpr const char* kNothingToSend = "There is nothing to send.";
inline constexpr const char* kNoReader = "No Varnholt USB device found";
inline constexpr const char* kNotLatin1 =
    "The setup string holds a character the reader cannot take; only Latin-1 characters can be sent.";
inline constexpr const char* kBatchUnreadable = "The batch file cannot be read.";
inline constexpr const char* kBatchTooLong = "The batch file holds more than 99 lines to send.";
inline constexpr const char* kBatchPathTooLong =
    "The batch file's path is longer than 255 characters.";

inline constexpr const char* kBatchFileTitle = "INPUT BATCH FILE";
inline constexpr const char* kBatchFileFilter = "All Files (*.*)|*.*||";

constexpr uint32_t kTickMs = 500;        // one character a tick
constexpr uint32_t kLinePauseMs = 3000;  // between the lines of a batch
constexpr size_t kBoxKeepChars = 2047;   // of the History and Response boxes

class SetupDialog {
 public:
  SetupDialog(DialogWindow& window, Prompts& prompts,
              const TandrilCalls& tandril = LinkedTandril());
  SetupDialog(const SetupDialog&) = delete;
  SetupDialog& operator=(const SetupDialog&) = delete;

  // Disables Clear input and Send, focuses the input box and shows "Ready".
  void Initialise();

  // One branch per control: the input box's change notification, Clear
  // input, Exit, Send and Send File. Other ids are ignored.
  void HandleCommand(Control id, int notification);

  // Every 500 ms while a line is being sent: writes the next character, or,
  // after the last one, the carriage return and the bookkeeping of the line.
  // Between the lines of a batch it waits 3000 ms on the host's clock and
  // sets up the next line.
  void SendTimerTick();

  const SendingState& State() const { return state_; }
  const ReaderChannel& Channel() const { return channel_; }

 private:
  void OnInputChanged();
  void OnClearInput();
  void OnSend();
  void OnSendFile();
  bool LoadBatch();
  void StartNextBatchLine();
  void FinishLine();
  void AbandonBatch(const char* status);
  void DisableWhileSending();
  void RestoreIdle();
  void ShowStatus(const std::string& text);

  DialogWindow& window_;
  Prompts& prompts_;
  ReaderChannel channel_;
  SendingState state_;
};

// The first `keep` characters of a box's text, without leaving half of a
// CR LF pair at the end.
std::string KeepStartOf(const std::string& text, size_t keep);

}  // namespace skelmar
