#include "utility/warning_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "button_row.h"

namespace utility {

WarningDialog::WarningDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromLatin1(kWarningCaption));
  setModal(true);

  auto* limit = new QLabel(QString::fromLatin1(kWarningLimitLine), this);
  auto* avoid = new QLabel(QString::fromLatin1(kWarningAvoidLine), this);
  limit->setAlignment(Qt::AlignCenter);
  avoid->setAlignment(Qt::AlignCenter);

  const ButtonRow buttons = MakeButtonRow(this, "Continue", "continueButton", "Cancel", "cancelButton");
  connect(buttons.first, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(limit);
  layout->addWidget(avoid);
  layout->addSpacing(12);
  layout->addLayout(buttons.layout);
}

DialogOutcome RunWarningDialog(QWidget* parent) {
  WarningDialog dialog(parent);
  return dialog.exec() == QDialog::Accepted ? DialogOutcome::Accepted : DialogOutcome::Cancelled;
}

}  // namespace utility
