#include "utility/setting_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "button_row.h"
#include "gui_common/message_box.h"
#include "utility/setting_field.h"

namespace utility {

SettingDialog::SettingDialog(const SettingRequest& request, QWidget* parent)
    : QDialog(parent), value_(request.value) {
  setWindowTitle(QString::fromLatin1(kSettingCaption));
  setModal(true);

  label_ = new QLabel(QString::fromLatin1(request.label.data(), qsizetype(request.label.size())),
                      this);
  label_->setObjectName(QStringLiteral("settingLabel"));
  field_ = new QLineEdit(QString::number(request.value), this);
  field_->setObjectName(QStringLiteral("settingField"));

  const ButtonRow buttons = MakeButtonRow(this, "OK", "okButton", "Cancel", "cancelButton");
  connect(buttons.first, &QPushButton::clicked, this, &SettingDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->addWidget(label_, 0, 0);
  layout->addWidget(field_, 0, 1);
  layout->addLayout(buttons.layout, 1, 0, 1, 2);
  field_->setFocus();
}

void SettingDialog::accept() {
  const SettingFieldCheck check = CheckSettingField(field_->text().toLatin1().toStdString());
  if (!check.ok) {
    guicommon::ShowMessageBox(this, QMessageBox::Warning, QStringLiteral("Error"),
                              QString::fromStdString(check.message));
    field_->setFocus();
    field_->selectAll();
    return;
  }
  value_ = check.value;
  QDialog::accept();
}

DialogOutcome RunSettingDialog(QWidget* parent, SettingRequest* request) {
  SettingDialog dialog(*request, parent);
  if (dialog.exec() != QDialog::Accepted) return DialogOutcome::Cancelled;
  request->value = dialog.SettingValue();
  return DialogOutcome::Accepted;
}

}  // namespace utility
