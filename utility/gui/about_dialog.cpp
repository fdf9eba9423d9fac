#include "about_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app_icon.h"
#include "gui_common/dialog_units.h"
#include "utility/dialog_template.h"

namespace utility {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromLatin1(kAboutCaption));
  QFont systemFont = font();
  systemFont.setPointSize(10);
  setFont(systemFont);

  auto* iconLabel = new QLabel(this);
  iconLabel->setPixmap(UtilityIcon().pixmap(32, 32));
  auto* text = new QLabel(QString::fromLatin1(kAboutText), this);
  text->setTextFormat(Qt::PlainText);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  auto* row = new QHBoxLayout;
  row->addWidget(iconLabel);
  row->addWidget(text, 1);
  row->addWidget(close, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  const QRect size = guicommon::DialogUnitsToPixels(systemFont, 0, 0, kAboutWidthDu, kAboutHeightDu);
  setMinimumSize(size.size());
}

}  // namespace utility
