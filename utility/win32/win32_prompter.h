// The Prompter with the system's dialogs, each modal over the main dialog:
// message boxes, the open and save dialogs, and the About, Warning and
// SETTING boxes of the program's resources.
#pragma once

#include <windows.h>

#include <functional>

#include "utility/prompter.h"

namespace utility {

class Win32Prompter : public Prompter {
 public:
  // `module` holds the templates 137, 138 and 139.
  explicit Win32Prompter(HINSTANCE module) : module_(module) {}

  // Dialogs open over the window `owner` gives at the time (the main
  // dialog once it exists; null: no owner).
  void SetOwner(std::function<HWND()> owner) { owner_ = std::move(owner); }

  void ShowMessage(const std::string& text, const std::string& caption) override;
  std::optional<std::string> AskSaveFileName(const std::string& filter,
                                             const std::string& defaultExtension) override;
  std::optional<std::string> AskOpenFileName(const std::string& filter,
                                             const std::string& defaultExtension) override;
  void ShowAbout() override;
  DialogOutcome ConfirmSettingWrite() override;
  DialogOutcome AskSetting(SettingRequest* request) override;

 private:
  HWND Owner() const { return owner_ ? owner_() : nullptr; }

  HINSTANCE module_;
  std::function<HWND()> owner_;
};

}  // namespace utility
