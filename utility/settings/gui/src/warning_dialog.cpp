#include "utility/warning_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace utility {

WarningDialog::WarningDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromLatin1(kWarningCaption));
  setModal(true);

  auto* limit = new QLabel(QString::fromLatin1(kWarningLimitLine), this);
  auto* avoid = new QLabel(QString::fromLatin1(kWarningAvoidLine), this);
  limit->setAlignment(Qt::AlignCenter);
  avoid->setAlignment(Qt::AlignCenter);

  auto* continueButton = new QPushButton(QStringLiteral("Continue"), this);
  continueButton->setObjectName(QStringLiteral("continueButton"));
  continueButton->setDefault(true);
  auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
  cancelButton->setObjectName(QStringLiteral("cancelButton"));
  connect(continueButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(continueButton);
  buttons->addStretch();
  buttons->addWidget(cancelButton);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(limit);
  layout->addWidget(avoid);
  layout->addSpacing(12);
  layout->addLayout(buttons);
}

DialogOutcome RunWarningDialog(QWidget* parent) {
  WarningDialog dialog(parent);
  return dialog.exec() == QDialog::Accepted ? DialogOutcome::Accepted : DialogOutcome::Cancelled;
}

}  // namespace utility
