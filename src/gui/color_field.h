// The colour dialog's number and hex fields: which keys they take, what a released key, an
// arrow, the wheel and a paste do to their text. The field only reports an edit; the dialog
// turns the text into a colour.
#pragma once

#include <QLineEdit>
#include <QString>

namespace ashtint {

enum class TFieldKind {
  Percent,  // 0..100
  Byte,     // 0..255
  Degree,   // 0..360
  Axis,     // -128..127, the a and b of L*a*b*
  Hex,      // "RRGGBB", up to six hex digits
};

int FieldMinimum(TFieldKind kind);
int FieldMaximum(TFieldKind kind);

// The text after a key is released: an empty field "0", a number beyond the range its limit.
// A lone "-" in an axis field stays while the number is being typed.
QString ReleasedFieldText(const QString& text, TFieldKind kind);
// The text's number (a lone "-" or nothing counts 0); for the hex field, the colour value
// red + 256 x green + 65536 x blue that the text stands for (see HexFieldColor).
int FieldNumber(const QString& text, TFieldKind kind);
// What a paste inserts: from the first 3 characters (4 in axis fields, 6 in the hex field) the
// digits, "-" in axis fields, hex digits in capitals in the hex field; "0" when nothing or only
// "-" is left.
QString PastedFieldText(const QString& clipboardText, TFieldKind kind);
// The colour value of a hex field's text: 1-2 characters red, 3-4 more green, 5-6 more blue.
int HexFieldColor(const QString& text);
// The text after an arrow step: the number moved by one within the range; in the hex field the
// colour value moved by one, so red changes first and carries into green and blue.
QString SteppedFieldText(const QString& text, TFieldKind kind, int step);

class TColorField : public QLineEdit {
  Q_OBJECT

 public:
  explicit TColorField(TFieldKind kind, QWidget* parent = nullptr);

  TFieldKind Kind() const { return kind_; }
  int Number() const { return FieldNumber(text(), kind_); }
  // Text written by the program: no edit is reported.
  void SetFieldText(const QString& text);

 signals:
  // The user changed the text (keys, arrows, wheel, paste); it is already brought into range.
  void Edited();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool Accepts(const QString& typed) const;
  void Step(int step);
  void Paste(const QString& clipboardText);
  void Released();

  TFieldKind kind_;
  QString handled_;  // the text as last reported or written by the program
};

}  // namespace ashtint
