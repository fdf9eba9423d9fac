#include "utility_dialog.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include "app_icon.h"
#include "utility/dialog_template.h"
#include "gui_common/dialog_units.h"
#include "gui_common/text_codec.h"
#include "hidhost/host.h"
#include "hidhost/system_services.h"

namespace utility {

UtilityDialog::UtilityDialog(Session& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent), controller_(*this, prompter, session) {
  setWindowTitle(QString::fromLatin1(kUtilityCaption));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  const QIcon icon = UtilityIcon();
  setWindowIcon(icon);
  BuildControls();
  BuildMenuBar();

  connect(&timer_, &QTimer::timeout, this, [this] {
    // A tick that comes while input queued during an exchange is being
    // dropped waits for the next one.
    if (!settling_) DispatchTimerTick();
  });
  timer_.start(kTimerPeriodMs);
  controller_.Initialise();

  // The reader answers as a keyboard, possibly from another thread: its text
  // is queued to the GUI thread and dropped if the dialog is gone by then.
  QPointer<UtilityDialog> self(this);
  hidhost::CurrentServices().SetKeyboardSink([self](const std::string& text) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [self, text] { if (!self.isNull()) self->TypeText(text); },
        Qt::QueuedConnection);
  });
}

UtilityDialog::~UtilityDialog() {
  hidhost::CurrentServices().SetKeyboardSink({});
  while (busyDepth_ > 0) SetBusy(false);
}

void UtilityDialog::BuildControls() {
  auto* body = new QWidget(this);
  const QFont font = this->font();
  for (const ControlTemplate& t : MainDialogControls()) {
    const QString text = guicommon::ToDisplayText(t.text);
    const int id = static_cast<int>(t.id);
    QWidget* widget = nullptr;
    switch (t.kind) {
      case ControlKind::GroupBox:
        widget = new QGroupBox(text, body);
        break;
      case ControlKind::CommandEdit:
      case ControlKind::HistoryEdit:
      case ControlKind::ResponseEdit: {
        auto* edit = new QPlainTextEdit(body);
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        edit->setTabChangesFocus(false);
        edit->setReadOnly(t.kind == ControlKind::HistoryEdit);
        if (t.kind == ControlKind::ResponseEdit) edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        widget = edit;
        break;
      }
      case ControlKind::Label:
      case ControlKind::StatusLine: {
        auto* label = new QLabel(text, body);
        label->setTextFormat(Qt::PlainText);
        if (t.kind == ControlKind::StatusLine) {
          label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
          label->setWordWrap(true);
          QFont statusFont(QStringLiteral("Arial"));
          statusFont.setPointSize(16);
          label->setFont(statusFont);
        }
        widget = label;
        break;
      }
      case ControlKind::Button:
      case ControlKind::LaunchButton: {
        auto* button = new QPushButton(text, body);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, id] { RunCommand(id); });
        widget = button;
        if (t.kind == ControlKind::LaunchButton) button->hide();  // hidden in the template
        break;
      }
    }
    widget->setObjectName(QStringLiteral("control%1").arg(id));
    QRect rect = guicommon::DialogUnitsToPixels(font, t.x, t.y, t.width, t.height);
    // A label is never cut short by a font wider than the template's.
    if (t.kind == ControlKind::Label) rect.setWidth(std::max(rect.width(), widget->sizeHint().width()));
    widget->setGeometry(rect);
    controls_[t.id] = widget;
  }
  const QRect size = guicommon::DialogUnitsToPixels(font, 0, 0, kDialogWidthDu, kDialogHeightDu);
  body->setFixedSize(size.size());

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(body);
}

void UtilityDialog::BuildMenuBar() {
  menuBar_ = new QMenuBar(this);
  menuBar_->setNativeMenuBar(false);
  for (const MenuTemplate& m : CommandPanelMenu()) {
    QMenu* menu = menuBar_->addMenu(QString::fromLatin1(m.title));
    for (const MenuItemTemplate& item : m.items) {
      if (item.text == nullptr) {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(QString::fromLatin1(item.text));
      const int id = item.id;
      action->setData(id);
      connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
      actions_[id] = action;
    }
  }
  layout()->setMenuBar(menuBar_);
  menuBar_->hide();
}

QWidget* UtilityDialog::Control(ControlId id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

QAction* UtilityDialog::MenuAction(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

std::optional<std::string> UtilityDialog::TypedText(ControlId id) const {
  if (auto* edit = qobject_cast<QPlainTextEdit*>(Control(id)))
    return guicommon::FromTypedText(edit->document()->toRawText());
  return Text(id);
}

std::string UtilityDialog::Text(ControlId id) const {
  QWidget* widget = Control(id);
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) return guicommon::FromDisplayText(edit->document()->toRawText());
  if (auto* label = qobject_cast<QLabel*>(widget)) return guicommon::FromDisplayText(label->text());
  if (auto* button = qobject_cast<QPushButton*>(widget)) return guicommon::FromDisplayText(button->text());
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return guicommon::FromDisplayText(group->title());
  return {};
}

void UtilityDialog::SetText(ControlId id, const std::string& text) {
  QWidget* widget = Control(id);
  const QString display = guicommon::ToDisplayText(text);
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
    edit->setPlainText(display);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(display);
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    button->setText(display);
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(display);
  }
}

bool UtilityDialog::ReplaceTextStart(ControlId id, std::string_view oldStart,
                                     std::string_view newStart) {
  auto* edit = qobject_cast<QPlainTextEdit*>(Control(id));
  if (edit == nullptr) return DialogControls::ReplaceTextStart(id, oldStart, newStart);
  // Edits the start of the document in place, so that the cost follows the
  // two pieces and not the length of the text (a long running script).
  const QString oldDisplay = guicommon::ToDisplayText(std::string(oldStart));
  QTextDocument* document = edit->document();
  if (document->characterCount() - 1 < oldDisplay.size()) return false;
  QTextCursor cursor(document);
  cursor.setPosition(static_cast<int>(oldDisplay.size()), QTextCursor::KeepAnchor);
  QString current = cursor.selectedText();
  current.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  if (current != oldDisplay) return false;
  // Like a whole new text, the edit leaves nothing to undo.
  const bool undo = document->isUndoRedoEnabled();
  document->setUndoRedoEnabled(false);
  cursor.insertText(guicommon::ToDisplayText(std::string(newStart)));
  document->setUndoRedoEnabled(undo);
  return true;
}

void UtilityDialog::SetVisible(ControlId id, bool visible) {
  if (QWidget* widget = Control(id)) widget->setVisible(visible);
}

bool UtilityDialog::IsVisible(ControlId id) const {
  QWidget* widget = Control(id);
  return widget != nullptr && !widget->isHidden();
}

void UtilityDialog::SetFocus(ControlId id) {
  if (QWidget* widget = Control(id)) widget->setFocus(Qt::OtherFocusReason);
}

void UtilityDialog::ShowMenuBar() { menuBar_->show(); }

void UtilityDialog::SetBusy(bool busy) {
  if (busy) {
    if (busyDepth_++ == 0) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
      // Clicks and keys that arrive during the exchange are queued by the
      // window system until the handler that runs it ends (SettleInput).
      exchangeRan_ = true;
    }
  } else if (busyDepth_ > 0) {
    if (--busyDepth_ == 0) QApplication::restoreOverrideCursor();
  }
}

void UtilityDialog::RunCommand(int id) {
  controller_.RouteCommand(id);
  SettleInput();
}

void UtilityDialog::SettleInput() {
  if (!exchangeRan_ || busyDepth_ > 0 || settling_) return;
  // Delivers what was queued meanwhile: of the clicks, the controller
  // carries out Stop and Exit and drops those that would send again; the
  // close box and Escape end the dialog; text the reader typed reaches the
  // focused box, as it would after the handler.
  settling_ = true;
  {
    UtilityController::QueuedInput queued(controller_);
    QCoreApplication::processEvents(QEventLoop::AllEvents, kSettleMaxMs);
  }
  settling_ = false;
  exchangeRan_ = false;
}

void UtilityDialog::RepaintNow() { repaint(); }

void UtilityDialog::EndDialog() { accept(); }

void UtilityDialog::TypeText(const std::string& text) {
  auto* edit = qobject_cast<QPlainTextEdit*>(focusWidget());
  if (edit == nullptr || edit->isReadOnly()) return;
  QString typed = guicommon::ToDisplayText(text);
  typed.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  edit->insertPlainText(typed);
}

}  // namespace utility
