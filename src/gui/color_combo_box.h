// The colour box: an editable combo box holding one colour as six hex digits "RRGGBB", with the
// colours used before in its list and the colour painted into a preview panel beside it.
#pragma once

#include <QColor>
#include <QComboBox>
#include <QKeyEvent>
#include <QPointer>
#include <QString>

#include <functional>

namespace ashtint {

class TComboBox : public QComboBox {
  Q_OBJECT

 public:
  // The window that owns the box, the box and its text.
  using TColorChange = std::function<void(QWidget* window, TComboBox* box, const QString& text)>;

  explicit TComboBox(QWidget* parent = nullptr);

  QPointer<QWidget> PreviewPanel;  // not owned; its background shows the colour
  TColorChange OnColorChange;      // when unset, changes are not reported

  // The items of the list, replaced as a whole (the settings keep them).
  QStringList Items() const;
  void SetItems(const QStringList& items);

  // What the box does when a list item is chosen: the text cut or padded to six characters,
  // the preview repainted and the change reported. The settings run it after setting a text.
  void ListSelected();

  // What the box does on Enter: the text normalised to six hex digits, added to the list when
  // the list has no such colour in any letter case, the preview repainted, the change reported.
  void ConfirmText();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // A pressed key passes, is dropped, passes as its capital letter, or pastes by the box's rule.
  enum class TKeyAction { Pass, Drop, Capital, Paste };
  static TKeyAction KeyAction(const QKeyEvent* event);
  static QKeyEvent CapitalKey(const QKeyEvent* event);
  void KeyRelease(QKeyEvent* event);
  void Paste(const QString& clipboardText);
  void PasteWithoutKey(const QString& clipboardText);
  void ShowContextMenu(const QPoint& globalPos);
  void SetTextKeepingCaretAtEnd(const QString& text);
  void Changed();

  QString reported_;  // the text last reported as the colour
};

// The colour of a colour text: characters 1-2, 3-4 and 5-6 as red, green and blue. A character
// that is not a hex digit, or missing, counts as 0, so a damaged text shows as a darker colour
// rather than failing.
QColor ColorOfText(const QString& text);

// The texts the box makes of what the user gives it:
// pasted text: a leading non-hex character skipped, then up to six characters, hex digits in
// capitals and anything else as "0";
QString PastedColorText(const QString& clipboardText);
// Enter: six characters, each a digit or capital "A"-"F" kept, anything else (or nothing) "0";
QString NormalizedColorText(const QString& text);
// a chosen list item: like Enter, but lower-case hex letters become capitals instead of "0".
QString SelectedColorText(const QString& text);

}  // namespace ashtint
