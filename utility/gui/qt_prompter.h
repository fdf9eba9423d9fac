// The Prompter with real Qt dialogs, each modal over the main dialog. The
// write warning and the setting dialog come from the setting commands'
// own dialog classes, handed in as functions; while none is handed in, those
// two report that the dialog could not be created.
#pragma once

#include <QPointer>
#include <functional>

#include "gui_common/file_chooser.h"
#include "utility/prompter.h"

class QWidget;

namespace utility {

class QtPrompter : public Prompter {
 public:
  using WarningDialogRunner = std::function<DialogOutcome(QWidget* parent)>;
  using SettingDialogRunner = std::function<DialogOutcome(QWidget* parent, SettingRequest* request)>;

  // Dialogs open over `parent` (the main dialog once it exists).
  void SetParent(QWidget* parent) { parent_ = parent; }
  void SetWarningDialog(WarningDialogRunner runner) { warning_ = std::move(runner); }
  void SetSettingDialog(SettingDialogRunner runner) { setting_ = std::move(runner); }

  void ShowMessage(const std::string& text, const std::string& caption) override;
  std::optional<std::string> AskSaveFileName(const std::string& filter,
                                             const std::string& defaultExtension) override;
  std::optional<std::string> AskOpenFileName(const std::string& filter,
                                             const std::string& defaultExtension) override;
  void ShowAbout() override;
  DialogOutcome ConfirmSettingWrite() override;
  DialogOutcome AskSetting(SettingRequest* request) override;

 private:
  std::optional<std::string> AskFileName(bool save, const std::string& filter,
                                         const std::string& defaultExtension);

  QPointer<QWidget> parent_;
  guicommon::FileChooser files_;  // built on first use, keeps the last choice
  WarningDialogRunner warning_;
  SettingDialogRunner setting_;
};

}  // namespace utility
