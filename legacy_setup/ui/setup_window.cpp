#include "setup_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include "gui_common/dialog_units.h"
#include "gui_common/text_codec.h"
#include "hidhost/host.h"
#include "hidhost/system_services.h"
#include "setup_icon.h"
#include "skelmar/dialog_template.h"
#include "skelmar/win_exception.h"

namespace skelmar {

SetupWindow::SetupWindow(Prompts& prompts, TimerMode timerMode)
    : QDialog(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      prompts_(prompts),
      timerMode_(timerMode) {
  setWindowTitle(QString::fromLatin1(kSetupCaption));
  setWindowIcon(SetupIcon());
  setFont(QFont(QString::fromLatin1(kSetupFontName), kSetupFontPoints));
  BuildControls();
  connect(&sendTimer_, &QTimer::timeout, this, [this] {
    if (controller_) controller_->SendTimerTick();
  });
  // A simulated reader types on the thread that wrote to it, which is this
  // dialog's; the text is posted so that it arrives after the current event,
  // as keystrokes from a real keyboard do.
  hidhost::CurrentServices().SetKeyboardSink([this](const std::string& text) {
    QMetaObject::invokeMethod(this, [this, text] { TypeIntoFocus(text); }, Qt::QueuedConnection);
  });
}

SetupWindow::~SetupWindow() {
  hidhost::CurrentServices().SetKeyboardSink({});
  controller_.reset();
}

void SetupWindow::BuildControls() {
  const QFont font = this->font();
  setFixedSize(guicommon::DialogUnitsToPixels(font, 0, 0, kSetupWidthDu, kSetupHeightDu).size());

  // Created in the table's order, which is the tab order; each group box
  // comes first so that its contents lie above it.
  for (const ControlTemplate& t : SetupDialogControls()) {
    const Control id = t.id;
    const bool readOnly = (t.styles & kReadOnly) != 0;
    QWidget* widget = nullptr;
    switch (t.kind) {
      case ControlKind::GroupBox:
        widget = new QGroupBox(QString::fromLatin1(t.text), this);
        break;
      case ControlKind::Button:
      case ControlKind::DefaultButton: {
        auto* button = new QPushButton(QString::fromLatin1(t.text), this);
        // Enter always means Send: when sending disables the input box, the
        // focus moves on to Exit, and a second Enter must not end the tool.
        button->setAutoDefault(false);
        if (t.kind == ControlKind::DefaultButton) button->setDefault(true);
        connect(button, &QPushButton::clicked, this, [this, id] { Forward(id, kClicked); });
        widget = button;
        break;
      }
      case ControlKind::LineEdit: {
        auto* line = new QLineEdit(this);
        line->setReadOnly(readOnly);
        if (!readOnly)
          connect(line, &QLineEdit::textChanged, this, [this, id] { Forward(id, kEditChanged); });
        widget = line;
        break;
      }
      case ControlKind::TextBox: {
        // An editable text box takes Enter as a line break, as kWantReturn
        // asks of the Windows one; the default button gets only the Enter
        // that no widget wants.
        auto* edit = new QPlainTextEdit(this);
        edit->setReadOnly(readOnly);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        widget = edit;
        break;
      }
    }
    widget->setGeometry(guicommon::DialogUnitsToPixels(font, t.x, t.y, t.width, t.height));
    if (t.styles & kNoTabStop) widget->setFocusPolicy(Qt::ClickFocus);
    controls_[id] = widget;
  }
}

bool SetupWindow::Initialise(const ControllerFactory& create) {
  try {
    controller_ = create(*this, prompts_);
    controller_->Initialise();
    return true;
  } catch (...) {
    prompts_.ShowWarning(ExceptionText(std::current_exception()), kExceptionCaption);
  }
  controller_.reset();
  return false;
}

std::unique_ptr<SetupDialog> SetupWindow::DefaultController(DialogWindow& window,
                                                            Prompts& prompts) {
  return std::make_unique<SetupDialog>(window, prompts);
}

QWidget* SetupWindow::ControlWidget(Control id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void SetupWindow::Forward(Control id, int notification) {
  if (controller_) controller_->HandleCommand(id, notification);
}

std::string SetupWindow::Text(Control id) const {
  QWidget* w = ControlWidget(id);
  if (auto* line = qobject_cast<QLineEdit*>(w)) return guicommon::FromDisplayText(line->text());
  if (auto* box = qobject_cast<QPlainTextEdit*>(w)) return guicommon::FromDisplayText(box->document()->toRawText());
  if (auto* b = qobject_cast<QPushButton*>(w)) return b->text().toLatin1().toStdString();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title().toLatin1().toStdString();
  return {};
}

std::optional<std::string> SetupWindow::TypedText(Control id) const {
  QWidget* w = ControlWidget(id);
  if (auto* line = qobject_cast<QLineEdit*>(w)) return guicommon::FromTypedText(line->text());
  if (auto* box = qobject_cast<QPlainTextEdit*>(w)) return guicommon::FromTypedText(box->document()->toRawText());
  return Text(id);
}

void SetupWindow::SetText(Control id, const std::string& text) {
  QWidget* w = ControlWidget(id);
  if (auto* line = qobject_cast<QLineEdit*>(w)) {
    line->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
    box->setPlainText(guicommon::ToDisplayText(text));
  }
}

void SetupWindow::Enable(Control id, bool enabled) {
  if (QWidget* w = ControlWidget(id)) w->setEnabled(enabled);
}

void SetupWindow::Focus(Control id) {
  if (QWidget* w = ControlWidget(id)) w->setFocus(Qt::OtherFocusReason);
}

void SetupWindow::StartSendTimer(uint32_t periodMs) {
  timerRunning_ = true;
  timerPeriod_ = periodMs;
  if (timerMode_ == TimerMode::Real) sendTimer_.start(static_cast<int>(periodMs));
}

void SetupWindow::StopSendTimer() {
  timerRunning_ = false;
  sendTimer_.stop();
}

void SetupWindow::PostClose() {
  QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
}

void SetupWindow::closeEvent(QCloseEvent* event) {
  StopSendTimer();
  controller_.reset();
  event->accept();
}

void SetupWindow::reject() {}

// Delivers typed text to the dialog's focused control as key presses: a
// carriage return is the Enter key, every other character types itself.
void SetupWindow::TypeIntoFocus(const std::string& text) {
  for (const char c : text) {
    QWidget* target = focusWidget();
    if (!target || c == '\n') continue;
    const bool enter = c == '\r';
    const int key = enter ? Qt::Key_Return : Qt::Key_unknown;
    const QString typed(QChar(static_cast<uchar>(c)));
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, typed);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, typed);
    QApplication::sendEvent(target, &release);
  }
}

}  // namespace skelmar
