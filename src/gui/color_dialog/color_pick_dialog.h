// The colour dialog as the main window uses it: a colour and a text format go in, the dialog
// runs in a language, and the user's colour and format come out on OK.
#pragma once

#include <QColor>
#include <QPointer>
#include <QString>

#include "gui/color_dialog/color_adjust.h"

class QWidget;

namespace ashtint {

class TColorPick;
class TInterfaceLanguage;

class TCustomColorPickDialog {
 public:
  // The form opens centred on parent. With a language switch, the open form's texts follow
  // it like those of the other windows.
  explicit TCustomColorPickDialog(QWidget* parent = nullptr, TInterfaceLanguage* language = nullptr);
  virtual ~TCustomColorPickDialog();
  TCustomColorPickDialog(const TCustomColorPickDialog&) = delete;
  TCustomColorPickDialog& operator=(const TCustomColorPickDialog&) = delete;

  int Color = 0xFFFFFF;  // red + 256 x green + 65536 x blue
  TStrFormat OutFormat = sfHex;

  // Runs the dialog modally; true when it was closed with OK, and then Color and OutFormat hold
  // the user's choice.
  bool Execute(int language);
  // Color as six upper-case hex digits "RRGGBB".
  QString ColorHex() const;
  // Presets Color and OutFormat from a colour text in any of the result formats.
  void ReadColorText(const QString& text);

  // Execute is Prepare, the modal loop and Finish; tests work the form between the two.
  // Prepare makes the form the first time (it is kept for later runs), applies the language,
  // fills the named colours and shows Color with a fresh history.
  TColorPick& Prepare(int language);
  bool Finish(int result);
  TColorPick* Form() const;

 private:
  QPointer<QWidget> parent_;
  TInterfaceLanguage* language_;
  QPointer<TColorPick> form_;
};

class TColorPickDialog : public TCustomColorPickDialog {
 public:
  using TCustomColorPickDialog::TCustomColorPickDialog;
};

}  // namespace ashtint
