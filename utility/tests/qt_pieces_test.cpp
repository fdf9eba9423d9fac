// The Qt side of the utility: the real message box, file dialog and About
// box, answered with
// QTimer::singleShot while they run modally.
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "about_dialog.h"
#include "dialog_fixture.h"
#include "qt_prompter.h"

namespace utility::testing {
namespace {

class QtPrompterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureApplication(); }

  // Runs `inspect` on the modal widget once it is open, then closes it.
  template <typename Widget>
  void WhenOpen(std::function<void(Widget*)> inspect) {
    QTimer::singleShot(0, [inspect] {
      auto* widget = qobject_cast<Widget*>(QApplication::activeModalWidget());
      if (widget == nullptr) {
        ADD_FAILURE() << "no modal " << Widget::staticMetaObject.className();
        if (QWidget* other = QApplication::activeModalWidget()) other->close();
        return;
      }
      inspect(widget);
    });
  }

  QtPrompter prompter;
};

TEST_F(QtPrompterTest, MessageBoxesShowTheTextCaptionAndColours) {
  struct Case {
    std::string caption, shownCaption;
  };
  for (const Case& c : {Case{"Error", "Error"}, Case{"", "Pelorin"}}) {
    bool seen = false;
    WhenOpen<QMessageBox>([&](QMessageBox* box) {
      seen = true;
      EXPECT_EQ(box->windowTitle().toStdString(), c.shownCaption);
      EXPECT_EQ(box->text().toStdString(), "Please Input the Command String!");
      EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
      EXPECT_EQ(box->palette().color(QPalette::Window), QColor(150, 200, 255));
      EXPECT_EQ(box->palette().color(QPalette::WindowText), QColor(0, 0, 255));
      box->button(QMessageBox::Ok)->click();
    });
    prompter.ShowMessage("Please Input the Command String!", c.caption);
    EXPECT_TRUE(seen);
  }
}

TEST_F(QtPrompterTest, SaveDialogAddsTheExtensionAndNeverAsksBeforeReplacing) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  WhenOpen<QFileDialog>([&](QFileDialog* dialog) {
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->nameFilters(), guicommon::QtNameFilters(kTextFileFilter));
    EXPECT_EQ(dialog->defaultSuffix(), "txt");
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    dialog->setDirectory(QString::fromStdString(folder.string()));
    dialog->selectFile(QStringLiteral("pelorin_history"));
    static_cast<QDialog*>(dialog)->accept();
  });
  const auto chosen = prompter.AskSaveFileName(kTextFileFilter, kTextFileExtension);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(std::filesystem::path(*chosen).filename(), "pelorin_history.txt");
}

TEST_F(QtPrompterTest, ACancelledFileDialogGivesNoName) {
  for (bool save : {true, false}) {
    WhenOpen<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    const auto chosen = save ? prompter.AskSaveFileName(kTextFileFilter, kTextFileExtension)
                             : prompter.AskOpenFileName(kTextFileFilter, kTextFileExtension);
    EXPECT_FALSE(chosen.has_value());
  }
}

TEST_F(QtPrompterTest, TheAboutBoxShowsTheVersionAndCloses) {
  bool seen = false;
  WhenOpen<AboutDialog>([&](AboutDialog* about) {
    seen = true;
    EXPECT_EQ(about->windowTitle(), "About");
    QStringList texts;
    for (QLabel* label : about->findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains("KAVRO USB KB (QV5) Utility v1.0"));
    EXPECT_EQ(about->palette().color(QPalette::Window), QColor(150, 200, 255));
    QPushButton* close = nullptr;
    for (QPushButton* button : about->findChildren<QPushButton*>())
      if (button->text() == "Close") close = button;
    ASSERT_NE(close, nullptr);
    close->click();
  });
  prompter.ShowAbout();
  EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace utility::testing
