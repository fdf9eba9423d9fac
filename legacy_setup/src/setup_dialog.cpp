#include "skelmar/setup_dialog.h"

#include "hidhost/host.h"
#include "skelmar/batch_file.h"

namespace skelmar {

std::string KeepStartOf(const std::string& text, size_t keep) {
  if (text.size() <= keep) return text;
  size_t end = keep;
  if (end > 0 && text[end - 1] == '\r' && text[end] == '\n') --end;
  return text.substr(0, end);
}

SetupDialog::SetupDialog(DialogWindow& window, Prompts& prompts, const TandrilCalls& tandril)
    : window_(window), prompts_(prompts), channel_(tandril) {}

void SetupDialog::Initialise() {
  window_.Enable(Control::ClearInput, false);
  window_.Enable(Control::Send, false);
  window_.Focus(Control::Input);
  ShowStatus(kReady);
}

void SetupDialog::HandleCommand(Control id, int notification) {
  switch (id) {
    case Control::Input:
      if (notification == kEditChanged) OnInputChanged();
      break;
    case Control::ClearInput:
      OnClearInput();
      break;
    case Control::Exit:
      if (notification == kClicked) window_.PostClose();
      break;
    case Control::Send:
      if (notification == kClicked) OnSend();
      break;
    case Control::SendFile:
      if (notification == kClicked) OnSendFile();
      break;
    default:
      break;
  }
}

void SetupDialog::OnInputChanged() {
  const bool hasText = !window_.Text(Control::Input).empty();
  window_.Enable(Control::ClearInput, hasText);
  window_.Enable(Control::Send, hasText);
}

void SetupDialog::OnClearInput() {
  window_.SetText(Control::Input, "");
  window_.Enable(Control::ClearInput, false);
  window_.Enable(Control::Send, false);
  window_.Focus(Control::Input);
}

void SetupDialog::OnSend() {
  const std::optional<std::string> typed = window_.TypedText(Control::Input);
  if (!typed) {
    ShowStatus(kNotLatin1);
    return;
  }
  const std::string& text = *typed;
  if (text.empty()) {
    ShowStatus(kNothingToSend);
    return;
  }
  if (!channel_.FindReader()) {
    ShowStatus(kNoReader);
    return;
  }
  state_.SendText = text.substr(0, kMaxSendChars);
  state_.CharsLeft = static_cast<int32_t>(state_.SendText.size());
  DisableWhileSending();
  channel_.SetCapsLock(hidhost::CurrentHost().CapsLockOn());
  state_.StatusLine = kSending;
  window_.StartSendTimer(kTickMs);
}

void SetupDialog::OnSendFile() {
  channel_.SetCapsLock(hidhost::CurrentHost().CapsLockOn());
  // A non-zero LinesLeft means the sending tick continues a batch.
  if (state_.LinesLeft == 0) {
    if (!channel_.FindReader()) {
      ShowStatus(kNoReader);
      return;
    }
    if (!LoadBatch()) return;
  }
  StartNextBatchLine();
}

// Asks for the batch file and reads it into BatchLines. False when nothing
// is to be sent; the reader then stays open only if the operator cancelled.
bool SetupDialog::LoadBatch() {
  const std::optional<std::string> path = prompts_.ChooseFileToOpen(kBatchFileTitle);
  if (!path) return false;
  if (path->size() > kMaxBatchPath) {
    AbandonBatch(kBatchPathTooLong);
    return false;
  }
  state_.SendText = *path;
  DisableWhileSending();

  const BatchFile batch = ReadBatchFile(state_.SendText);
  switch (batch.status) {
    case BatchFile::Status::Ok:
      break;
    case BatchFile::Status::NothingToSend:
      AbandonBatch(kNothingToSend);
      return false;
    case BatchFile::Status::TooManyLines:
      AbandonBatch(kBatchTooLong);
      return false;
    case BatchFile::Status::Unreadable:
      AbandonBatch(kBatchUnreadable);
      return false;
  }
  state_.BatchIndex = 0;
  for (const std::string& line : batch.lines) state_.BatchLines[++state_.BatchIndex] = line;
  state_.LinesLeft = state_.BatchIndex;
  return true;
}

void SetupDialog::StartNextBatchLine() {
  const int32_t slot = state_.BatchIndex - state_.LinesLeft + 1;
  state_.SendText = state_.BatchLines[static_cast<size_t>(slot)];
  state_.CharsLeft = static_cast<int32_t>(state_.SendText.size());
  --state_.LinesLeft;
  state_.StatusLine = kSending;
  window_.StartSendTimer(kTickMs);
}

void SetupDialog::SendTimerTick() {
  if (state_.CharsLeft == 0) {
    FinishLine();
    return;
  }
  const char c = state_.SendText[static_cast<size_t>(state_.NextChar)];
  ++state_.NextChar;
  --state_.CharsLeft;
  const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  channel_.SendSetupChar(channel_.CapsLock() && letter ? static_cast<char>(c ^ 0x20) : c);
  state_.StatusLine += c;
  window_.SetText(Control::Status, state_.StatusLine);
}

void SetupDialog::FinishLine() {
  window_.StopSendTimer();
  channel_.SendSetupChar('\r');
  window_.Focus(Control::Response);
  state_.StatusLine = kReady;
  window_.SetText(Control::Status, state_.StatusLine);
  state_.NextChar = 0;
  window_.SetText(Control::History, state_.SendText + "\r\n" +
                                        KeepStartOf(window_.Text(Control::History), kBoxKeepChars));
  window_.SetText(Control::Response,
                  "\r\n" + KeepStartOf(window_.Text(Control::Response), kBoxKeepChars));
  if (state_.LinesLeft != 0) {
    // The pause blocks the dialog, as the line set-up that follows expects.
    hidhost::SleepMs(kLinePauseMs);
    HandleCommand(Control::SendFile, kClicked);
    return;
  }
  state_.BatchIndex = 0;
  RestoreIdle();
  channel_.CloseReader();
}

// Ends a batch that cannot be sent: the controls come back, the reader is
// closed and the status box says why.
void SetupDialog::AbandonBatch(const char* status) {
  state_.BatchIndex = 0;
  state_.LinesLeft = 0;
  RestoreIdle();
  channel_.CloseReader();
  ShowStatus(status);
}

void SetupDialog::DisableWhileSending() {
  window_.Enable(Control::Input, false);
  window_.Enable(Control::ClearInput, false);
  window_.Enable(Control::Send, false);
  window_.Enable(Control::SendFile, false);
}

void SetupDialog::RestoreIdle() {
  window_.Enable(Control::Input, true);
  const bool hasText = !window_.Text(Control::Input).empty();
  window_.Enable(Control::ClearInput, hasText);
  window_.Enable(Control::Send, hasText);
  window_.Enable(Control::SendFile, true);
}

void SetupDialog::ShowStatus(const std::string& text) { window_.SetText(Control::Status, text); }

}  // namespace skelmar
