#include "gui/color_combo_box.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpressionValidator>

namespace ashtint {

namespace {

constexpr int ColorLength = 6;

bool IsUpperHex(QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'); }
bool IsLowerHexLetter(QChar c) { return c >= u'a' && c <= u'f'; }
bool IsHex(QChar c) { return IsUpperHex(c) || IsLowerHexLetter(c); }

int HexValue(QChar c) {
  if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
  if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
  return 0;
}

}  // namespace

QColor ColorOfText(const QString& text) {
  auto channel = [&text](qsizetype at) {
    const int high = at < text.size() ? HexValue(text[at]) : 0;
    const int low = at + 1 < text.size() ? HexValue(text[at + 1]) : 0;
    return high * 16 + low;
  };
  return QColor(channel(0), channel(2), channel(4));
}

QString PastedColorText(const QString& clipboardText) {
  QString out;
  if (clipboardText.isEmpty()) return out;
  // A leading "#" or "$" (or any other non-digit) is a prefix, not part of the colour.
  for (qsizetype i = IsHex(clipboardText[0]) ? 0 : 1; i < clipboardText.size() && out.size() < ColorLength; ++i) {
    const QChar c = clipboardText[i];
    out += (IsHex(c) && c != u'0') ? c.toUpper() : QChar(u'0');
  }
  return out;
}

QString NormalizedColorText(const QString& text) {
  QString out;
  for (qsizetype i = 0; i < ColorLength; ++i)
    out += (i < text.size() && IsUpperHex(text[i])) ? text[i] : QChar(u'0');
  return out;
}

QString SelectedColorText(const QString& text) {
  QString out;
  for (qsizetype i = 0; i < ColorLength; ++i)
    out += (i < text.size() && IsHex(text[i])) ? text[i].toUpper() : QChar(u'0');
  return out;
}

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  // The list grows by this class's rule only, and typing never completes from the list.
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
  QLineEdit* edit = lineEdit();
  edit->setMaxLength(ColorLength);
  // Keys and pastes are filtered below; the validator keeps out what arrives by other ways
  // (input methods), and dropped text is refused outright.
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-F.]{0,6}")), edit));
  edit->setAcceptDrops(false);
  edit->installEventFilter(this);
  connect(this, &QComboBox::activated, this, [this] { ListSelected(); });
}

QStringList TComboBox::Items() const {
  QStringList items;
  for (int i = 0; i < count(); ++i) items << itemText(i);
  return items;
}

void TComboBox::SetItems(const QStringList& items) {
  const QString text = currentText();
  clear();
  addItems(items);
  setEditText(text);  // replacing the list keeps what the box shows
}

void TComboBox::ListSelected() {
  setEditText(SelectedColorText(currentText()));
  Changed();
}

void TComboBox::ConfirmText() {
  const QString text = NormalizedColorText(currentText());
  if (text != currentText()) SetTextKeepingCaretAtEnd(text);
  if (findText(text, Qt::MatchFixedString) < 0) addItem(text);  // MatchFixedString ignores case
  Changed();
}

TComboBox::TKeyAction TComboBox::KeyAction(const QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) return TKeyAction::Paste;
  if (event->matches(QKeySequence::Copy)) return TKeyAction::Pass;
  const int key = event->key();
  // Enter acts on release; the combo box's own Enter handling would pick a list item instead.
  if (key == Qt::Key_Return || key == Qt::Key_Enter) return TKeyAction::Drop;
  const bool chord = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
  if (key == Qt::Key_Backspace) return chord ? TKeyAction::Drop : TKeyAction::Pass;  // not a word at once
  // Other chords that type or edit (cut, undo, select all) are dropped; those that move the
  // caret pass, as do Delete, the arrows, Tab and Escape, which type nothing.
  if (chord) return key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde ? TKeyAction::Drop : TKeyAction::Pass;
  const QString text = event->text();
  if (text.isEmpty() || !text[0].isPrint()) return TKeyAction::Pass;
  if (text.size() == 1 && (IsUpperHex(text[0]) || text[0] == u'.')) return TKeyAction::Pass;
  if (text.size() == 1 && IsLowerHexLetter(text[0])) return TKeyAction::Capital;
  return TKeyAction::Drop;
}

QKeyEvent TComboBox::CapitalKey(const QKeyEvent* event) {
  return QKeyEvent(event->type(), event->key(), event->modifiers(), event->text().toUpper(), event->isAutoRepeat(),
                   static_cast<quint16>(event->count()));
}

// The box keeps the keyboard focus and hands keys to its line edit itself, so typing arrives here.
void TComboBox::keyPressEvent(QKeyEvent* event) {
  switch (KeyAction(event)) {
    case TKeyAction::Pass: QComboBox::keyPressEvent(event); break;
    case TKeyAction::Capital: {
      QKeyEvent capital = CapitalKey(event);
      QComboBox::keyPressEvent(&capital);
      break;
    }
    case TKeyAction::Paste: Paste(QGuiApplication::clipboard()->text()); break;
    case TKeyAction::Drop: break;
  }
}

void TComboBox::keyReleaseEvent(QKeyEvent* event) {
  QComboBox::keyReleaseEvent(event);
  KeyRelease(event);
}

// What reaches the line edit directly: the mouse, its context menu, and keys when it has the
// focus itself.
bool TComboBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched != lineEdit()) return QComboBox::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      switch (KeyAction(key)) {
        case TKeyAction::Pass: return false;
        case TKeyAction::Capital: {
          QKeyEvent capital = CapitalKey(key);
          QCoreApplication::sendEvent(lineEdit(), &capital);
          return true;
        }
        case TKeyAction::Paste: Paste(QGuiApplication::clipboard()->text()); return true;
        case TKeyAction::Drop: return true;
      }
      return true;
    }
    case QEvent::KeyRelease: KeyRelease(static_cast<QKeyEvent*>(event)); return false;
    case QEvent::FocusOut:
      if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason && !hasFocus() &&
          currentText() != reported_)
        ConfirmText();
      return false;
    case QEvent::ContextMenu: ShowContextMenu(static_cast<QContextMenuEvent*>(event)->globalPos()); return true;
    case QEvent::MouseButtonRelease: {
      // The middle button pastes the X11 selection; it goes through the same rule.
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::MiddleButton) return false;
      if (QGuiApplication::clipboard()->supportsSelection())
        PasteWithoutKey(QGuiApplication::clipboard()->text(QClipboard::Selection));
      return true;
    }
    default: return false;
  }
}

void TComboBox::KeyRelease(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || currentText().size() == ColorLength) ConfirmText();
}

void TComboBox::Paste(const QString& clipboardText) { SetTextKeepingCaretAtEnd(PastedColorText(clipboardText)); }

void TComboBox::PasteWithoutKey(const QString& clipboardText) {
  Paste(clipboardText);
  // No key is released after a paste from the menu or the mouse, so its rule runs here: a
  // complete colour takes effect at once, as after Ctrl+V.
  if (currentText().size() == ColorLength) ConfirmText();
}

void TComboBox::ShowContextMenu(const QPoint& globalPos) {
  QMenu* menu = lineEdit()->createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  // The menu's Paste must follow the same rule as Ctrl+V.
  if (auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
    disconnect(paste, nullptr, lineEdit(), nullptr);
    connect(paste, &QAction::triggered, this, [this] { PasteWithoutKey(QGuiApplication::clipboard()->text()); });
  }
  menu->popup(globalPos);
}

void TComboBox::SetTextKeepingCaretAtEnd(const QString& text) {
  lineEdit()->setText(text);
  lineEdit()->deselect();
  lineEdit()->setCursorPosition(static_cast<int>(text.size()));
}

void TComboBox::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  // What the box shows is the colour in use: leaving it with a text not yet taken takes it, as
  // Enter does. Opening the box's own list is no leaving.
  if (event->reason() != Qt::PopupFocusReason && currentText() != reported_) ConfirmText();
}

void TComboBox::Changed() {
  reported_ = currentText();
  if (PreviewPanel) {
    QPalette palette = PreviewPanel->palette();
    palette.setColor(QPalette::Window, ColorOfText(currentText()));
    PreviewPanel->setPalette(palette);
    PreviewPanel->setAutoFillBackground(true);
    PreviewPanel->update();
  }
  if (OnColorChange) OnColorChange(window(), this, currentText());
}

}  // namespace ashtint
