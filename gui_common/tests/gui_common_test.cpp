// The Qt pieces both programs share: the file dialog, message boxes. (The
// text codec under them is ui_common's, tested there.)
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include "gui_common/file_chooser.h"
#include "gui_common/message_box.h"

namespace guicommon {
namespace {

// The patterns a Qt name filter matches: those in its last parentheses.
QStringList PatternsOf(const QString& nameFilter) {
  const QRegularExpressionMatch m = QRegularExpression(R"(\(([^()]*)\)$)").match(nameFilter);
  return m.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(FileChooserTest, AllFilesMatchesNamesWithoutADot) {
  const QStringList filters = QtNameFilters("Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
  ASSERT_EQ(filters.size(), 2);
  EXPECT_TRUE(QDir::match(PatternsOf(filters[1]), QStringLiteral("README")));
  EXPECT_TRUE(QDir::match(PatternsOf(filters[1]), QStringLiteral("batch.txt")));
  EXPECT_FALSE(QDir::match(PatternsOf(filters[0]), QStringLiteral("README")));
}

TEST(FileChooserTest, DialogIsBuiltOnFirstUseAndKeepsThePreviousChoice) {
  QTemporaryDir folder;
  const QString chosen = folder.filePath(QStringLiteral("batch"));
  QFile file(chosen);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();

  FileChooser chooser;
  EXPECT_EQ(chooser.Dialog(), nullptr);
  const FileRequest request{false, QStringLiteral("INPUT BATCH FILE"), "All Files (*.*)|*.*||", {}};
  QString title, preset;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    dialog->selectFile(chosen);
    static_cast<QDialog*>(dialog)->accept();
  });
  EXPECT_EQ(chooser.Choose(request), QFile::encodeName(chosen).toStdString());
  EXPECT_EQ(title, "INPUT BATCH FILE");

  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    preset = dialog->selectedFiles().value(0);
    dialog->reject();
  });
  EXPECT_EQ(chooser.Choose(request), std::nullopt);
  EXPECT_EQ(preset, chosen);
}

TEST(MessageBoxTest, ABoxIsWideEnoughForItsCaption) {
  for (const char* caption : {"Pelorin", "Varnholt Reader USB-KB Setup Version 3.1 Beta"}) {
    int width = 0;
    QTimer::singleShot(0, [&] {
      QWidget* box = QApplication::activeModalWidget();
      ASSERT_NE(box, nullptr);
      width = box->width();
      box->close();
    });
    ShowMessageBox(nullptr, QMessageBox::NoIcon, QString::fromLatin1(caption),
                   QStringLiteral("Send Complete!"));
    EXPECT_GE(width, WidthForCaption(QString::fromLatin1(caption))) << caption;
  }
}

}  // namespace
}  // namespace guicommon

// One QApplication for the program, offscreen unless told otherwise; it is
// destroyed before the program ends, which releases the font configuration.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
