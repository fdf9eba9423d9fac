// For tests: answers the modal dialogs a program shows on the test's thread
// (message boxes, dialog boxes, the file dialogs), the way a timer answers a
// Qt dialog. A thread timer looks, while a modal loop runs, for a visible
// and enabled dialog window (#32770) of the thread that was not open when
// the answerer was made, records its caption and text, and answers it.
// Dialogs are answered in the order the answers were queued (a dialog that
// stays open after its answer, such as one that refused the answer with a
// message box, takes the next answer once that box is answered); a dialog with
// no answer queued is recorded as unexpected and cancelled, so that a test
// never hangs on one.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace win32ui::testing {

struct SeenDialog {
  std::string caption;
  std::string text;      // the texts of its static controls, one per line
  bool expected = true;  // false: no answer was queued for it
};

class DialogAnswerer {
 public:
  DialogAnswerer();
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  // The next dialog is answered by pressing the button `id` (IDOK, IDYES...).
  void Press(int id);
  // The next dialog is a file dialog: `path` is typed as the file name and
  // the dialog confirmed (IDOK).
  void ChooseFile(const std::string& path);
  // The next dialog is handed to `answer`, which must close it.
  void Answer(std::function<void(HWND dialog)> answer);

  // Every dialog seen so far, in order.
  const std::vector<SeenDialog>& Seen() const { return seen_; }
  // Answers queued and not used yet.
  size_t Pending() const { return answers_.size(); }
  // `dialog` (made after the answerer, like a test's own main dialog) is
  // never answered.
  void Ignore(HWND dialog) { present_.push_back(dialog); }
  // Forgets what was seen.
  void ClearSeen() { seen_.clear(); }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
  void Check();

  UINT_PTR timer_ = 0;
  std::vector<HWND> present_;  // dialogs open before the answerer, never answered
  HWND lastAnswered_ = nullptr;
  std::deque<std::function<void(HWND)>> answers_;
  std::vector<SeenDialog> seen_;
};

// The texts of the static controls of `dialog`, one per line.
std::string StaticTexts(HWND dialog);

}  // namespace win32ui::testing
