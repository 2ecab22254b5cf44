#include "gui/color_field.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QRegularExpressionValidator>
#include <QWheelEvent>

#include <algorithm>

#include "colorpicker/color_models.h"

namespace ashtint {

namespace {

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsHexDigit(QChar c) { return IsDigit(c) || (c.toUpper() >= u'A' && c.toUpper() <= u'F'); }

int MaxLength(TFieldKind kind) {
  switch (kind) {
    case TFieldKind::Axis: return 4;
    case TFieldKind::Hex: return 6;
    default: return 3;
  }
}

QString Pattern(TFieldKind kind) {
  switch (kind) {
    case TFieldKind::Axis: return QStringLiteral("-?[0-9]{0,3}");
    case TFieldKind::Hex: return QStringLiteral("[0-9A-F]{0,6}");
    default: return QStringLiteral("[0-9]{0,3}");
  }
}

}  // namespace

int FieldMinimum(TFieldKind kind) { return kind == TFieldKind::Axis ? -128 : 0; }

int FieldMaximum(TFieldKind kind) {
  switch (kind) {
    case TFieldKind::Percent: return 100;
    case TFieldKind::Byte: return 255;
    case TFieldKind::Degree: return 360;
    case TFieldKind::Axis: return 127;
    case TFieldKind::Hex: return 0xFFFFFF;
  }
  return 0;
}

QString ReleasedFieldText(const QString& text, TFieldKind kind) {
  if (text.isEmpty()) return QStringLiteral("0");
  if (kind == TFieldKind::Hex || text == QStringLiteral("-")) return text;
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok) return text;
  if (value > FieldMaximum(kind)) return QString::number(FieldMaximum(kind));
  if (value < FieldMinimum(kind)) return QString::number(FieldMinimum(kind));
  return text;
}

int FieldNumber(const QString& text, TFieldKind kind) {
  if (kind == TFieldKind::Hex) return HexFieldColor(text);
  return std::clamp(text.toInt(), FieldMinimum(kind), FieldMaximum(kind));
}

QString PastedFieldText(const QString& clipboardText, TFieldKind kind) {
  QString out;
  for (const QChar c : clipboardText.left(MaxLength(kind))) {
    if (kind == TFieldKind::Hex ? IsHexDigit(c) : IsDigit(c) || (kind == TFieldKind::Axis && c == u'-'))
      out += c.toUpper();
  }
  if (out.isEmpty() || out.count(u'-') == out.size()) return QStringLiteral("0");
  return out;
}

int HexFieldColor(const QString& text) {
  auto pair = [&text](qsizetype at) { return text.mid(at, 2).toInt(nullptr, 16); };
  const int red = pair(0), green = text.size() > 2 ? pair(2) : 0, blue = text.size() > 4 ? pair(4) : 0;
  return red + 256 * green + 65536 * blue;
}

QString SteppedFieldText(const QString& text, TFieldKind kind, int step) {
  const int next = std::clamp(FieldNumber(text, kind) + step, FieldMinimum(kind), FieldMaximum(kind));
  return kind == TFieldKind::Hex ? HexOf(ColorOfValue(next)) : QString::number(next);
}

TColorField::TColorField(TFieldKind kind, QWidget* parent) : QLineEdit(parent), kind_(kind) {
  setMaxLength(MaxLength(kind));
  // The keys are filtered below; the validator keeps out what comes by other ways (input
  // methods), and dropped text is refused.
  setValidator(new QRegularExpressionValidator(QRegularExpression(Pattern(kind)), this));
  setAcceptDrops(false);
  const int characters = kind == TFieldKind::Hex ? 6 : kind == TFieldKind::Axis ? 4 : 3;
  setFixedWidth(fontMetrics().horizontalAdvance(QString(characters + 1, u'0')) + 10);
}

void TColorField::SetFieldText(const QString& text) {
  handled_ = text;
  if (text != this->text()) setText(text);
}

bool TColorField::Accepts(const QString& typed) const {
  if (typed.size() != 1) return false;
  const QChar c = typed[0];
  switch (kind_) {
    case TFieldKind::Hex: return IsHexDigit(c);
    case TFieldKind::Axis: return IsDigit(c) || c == u'-';  // the validator lets a minus only start the number
    default: return IsDigit(c);
  }
}

void TColorField::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Up || key == Qt::Key_Down) {
    Step(key == Qt::Key_Up ? 1 : -1);
    return;
  }
  if (event->matches(QKeySequence::Paste)) {
    Paste(QGuiApplication::clipboard()->text());
    return;
  }
  if (event->matches(QKeySequence::Copy)) return QLineEdit::keyPressEvent(event);
  const bool chord = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
  if (key == Qt::Key_Backspace) {
    if (!chord) QLineEdit::keyPressEvent(event);
    return;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    Released();
    event->ignore();  // the dialog's default button takes it
    return;
  }
  // Other chords that type or edit (cut, undo, select all) are dropped; keys that type
  // nothing (the caret keys, Delete, Tab, Escape) pass.
  if (chord) {
    if (key < Qt::Key_Space || key > Qt::Key_AsciiTilde) QLineEdit::keyPressEvent(event);
    return;
  }
  const QString typed = event->text();
  if (typed.isEmpty() || !typed[0].isPrint()) return QLineEdit::keyPressEvent(event);
  if (Accepts(typed)) insert(typed.toUpper());
}

void TColorField::keyReleaseEvent(QKeyEvent* event) {
  QLineEdit::keyReleaseEvent(event);
  if (!event->isAutoRepeat()) Released();
}

void TColorField::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 120;
  if (steps == 0) return QLineEdit::wheelEvent(event);
  Step(steps > 0 ? 1 : -1);
}

void TColorField::Step(int step) {
  const QString next = SteppedFieldText(text(), kind_, step);
  setText(next);
  setCursorPosition(static_cast<int>(next.size()));
  Released();
}

void TColorField::Paste(const QString& clipboardText) {
  insert(PastedFieldText(clipboardText, kind_));
  Released();
}

void TColorField::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  // The menu's Paste follows the same rule as Ctrl+V.
  if (auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
    disconnect(paste, nullptr, this, nullptr);
    connect(paste, &QAction::triggered, this, [this] { Paste(QGuiApplication::clipboard()->text()); });
  }
  menu->popup(event->globalPos());
}

void TColorField::mouseReleaseEvent(QMouseEvent* event) {
  // The middle button pastes the X11 selection, by the same rule.
  if (event->button() == Qt::MiddleButton) {
    if (QGuiApplication::clipboard()->supportsSelection()) Paste(QGuiApplication::clipboard()->text(QClipboard::Selection));
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void TColorField::Released() {
  const QString released = ReleasedFieldText(text(), kind_);
  if (released != text()) {
    setText(released);
    setCursorPosition(static_cast<int>(released.size()));
  }
  // Only a changed text is an edit: keys that move the caret or the focus change no colour.
  if (released == handled_) return;
  handled_ = released;
  emit Edited();
}

}  // namespace ashtint
