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
#include "skelmar/win_exception.h"

namespace skelmar {

namespace {

constexpr const char* kCaption = "Varnholt Reader USB-KB Setup Version 3.1 Beta";

// Dialog units of the dialog's font, in pixels.
struct DialogUnits {
  QFont font;
  QRect Rect(int x, int y, int w, int h) const {
    return guicommon::DialogUnitsToPixels(font, x, y, w, h);
  }
};

}  // namespace

SetupWindow::SetupWindow(Prompts& prompts, TimerMode timerMode)
    : QDialog(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      prompts_(prompts),
      timerMode_(timerMode) {
  setWindowTitle(QString::fromLatin1(kCaption));
  setWindowIcon(SetupIcon());
  setFont(QFont(QStringLiteral("Helv"), 8));
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
  const DialogUnits du{font()};
  setFixedSize(du.Rect(0, 0, 367, 282).size());

  auto group = [&](Control id, const char* title, QRect rect) {
    auto* box = new QGroupBox(QString::fromLatin1(title), this);
    box->setGeometry(rect);
    controls_[id] = box;
  };
  auto button = [&](Control id, const char* text, QRect rect) {
    auto* b = new QPushButton(QString::fromLatin1(text), this);
    b->setGeometry(rect);
    // Enter always means Send: when sending disables the input box, the focus
    // moves on to Exit, and a second Enter must not end the tool.
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, id] { Forward(id, kClicked); });
    controls_[id] = b;
    return b;
  };
  auto textBox = [&](Control id, bool readOnly, QRect rect) {
    auto* edit = new QPlainTextEdit(this);
    edit->setGeometry(rect);
    edit->setReadOnly(readOnly);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    controls_[id] = edit;
    return edit;
  };

  // Created in tab order; group boxes first so that their contents lie above.
  group(Control::InputGroup, "Input Setup String", du.Rect(3, 4, 361, 34));
  auto* input = new QLineEdit(this);
  input->setGeometry(du.Rect(7, 15, 351, 14));
  connect(input, &QLineEdit::textChanged, this, [this] { Forward(Control::Input, kEditChanged); });
  controls_[Control::Input] = input;

  button(Control::Send, "Send", du.Rect(3, 41, 60, 15))->setDefault(true);
  button(Control::SendFile, "Send File", du.Rect(95, 41, 69, 15));
  button(Control::ClearInput, "Clear input", du.Rect(199, 41, 69, 15));
  button(Control::Exit, "Exit", du.Rect(301, 41, 60, 15));

  auto* status = new QLineEdit(this);
  status->setGeometry(du.Rect(0, 58, 367, 14));
  status->setReadOnly(true);
  status->setFocusPolicy(Qt::ClickFocus);
  controls_[Control::Status] = status;

  group(Control::HistoryGroup, "History", du.Rect(4, 73, 357, 94));
  textBox(Control::History, true, du.Rect(9, 84, 347, 79))->setFocusPolicy(Qt::ClickFocus);
  group(Control::ResponseGroup, "Response", du.Rect(4, 164, 357, 94));
  textBox(Control::Response, false, du.Rect(10, 175, 347, 79));
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
