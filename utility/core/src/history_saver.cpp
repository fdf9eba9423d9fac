#include "utility/history_saver.h"

#include <fstream>

#include "utility/command_sender.h"
#include "utility/control_ids.h"

namespace utility {

void SaveHistory(DialogControls& controls, Prompter& prompter) {
  const std::optional<std::string> path = prompter.AskSaveFileName(kTextFileFilter, kTextFileExtension);
  if (!path || path->empty()) {
    prompter.ShowMessage(kFileOpenFailedMessage, kErrorCaption);
    return;
  }
  std::ofstream file(*path, std::ios::binary | std::ios::trunc);
  if (!file) {
    prompter.ShowMessage(kFileOpenFailedMessage, kErrorCaption);
    return;
  }
  const std::string text = controls.Text(ControlId::HistoryBox);
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  // A write that did not reach the file is reported like a failed open.
  if (!file) prompter.ShowMessage(kFileOpenFailedMessage, kErrorCaption);
}

}  // namespace utility
