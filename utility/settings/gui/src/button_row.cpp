#include "button_row.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace utility {

ButtonRow MakeButtonRow(QDialog* dialog, const char* firstText, const char* firstName,
                        const char* secondText, const char* secondName) {
  ButtonRow row{new QHBoxLayout, new QPushButton(QString::fromLatin1(firstText), dialog),
                new QPushButton(QString::fromLatin1(secondText), dialog)};
  row.first->setObjectName(QString::fromLatin1(firstName));
  row.first->setDefault(true);
  row.second->setObjectName(QString::fromLatin1(secondName));
  QObject::connect(row.second, &QPushButton::clicked, dialog, &QDialog::reject);
  row.layout->addStretch();
  row.layout->addWidget(row.first);
  row.layout->addStretch();
  row.layout->addWidget(row.second);
  row.layout->addStretch();
  return row;
}

}  // namespace utility
