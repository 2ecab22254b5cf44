#include "gui/color_dialog/color_pick_dialog.h"

#include <QComboBox>
#include <QDialog>

#include "colorpicker/color_models.h"
#include "colorpicker/color_preview.h"
#include "gui/color_dialog/color_pick_form.h"
#include "gui/interface_language.h"

namespace ashtint {

TCustomColorPickDialog::TCustomColorPickDialog(QWidget* parent, TInterfaceLanguage* language)
    : parent_(parent), language_(language) {}

// The form belongs to the parent when there is one; otherwise to the dialog.
TCustomColorPickDialog::~TCustomColorPickDialog() {
  if (parent_.isNull()) delete form_.data();
}

TColorPick* TCustomColorPickDialog::Form() const { return form_.data(); }

QString TCustomColorPickDialog::ColorHex() const { return HexOf(ColorOfValue(Color)); }

void TCustomColorPickDialog::ReadColorText(const QString& text) {
  const RColorText read = ReadColorTextOf(text);
  Color = ColorValue(read.Color);
  OutFormat = read.Format;
}

TColorPick& TCustomColorPickDialog::Prepare(int language) {
  if (form_.isNull()) {
    form_ = new TColorPick(parent_);
    if (language_ != nullptr) {
      TColorPick* form = form_;
      // Binding applies the switch's language at once; the run's own language follows below.
      language_->Bind(form, [form](int lang) { form->ApplyLanguage(lang); });
    }
  }
  TColorPick& form = *form_;
  form.ApplyLanguage(language);
  form.FillNamedColors(language, false);

  const QColor color = ColorOfValue(Color);
  if (form.mbCurrentColorPreview->Color() == color) {
    form.CurrentColorSet();
  } else {
    form.mbCurrentColorPreview->SetColor(color);
  }
  form.History.clear();
  form.HistoryPos = -1;
  if (form.mbNewColorPreview->Color() == color) {
    form.NewColorSet();
  } else {
    form.mbNewColorPreview->SetColor(color);
  }
  form.cbColorResult->setCurrentIndex(FormatIndex(OutFormat));
  return form;
}

bool TCustomColorPickDialog::Finish(int result) {
  if (result != QDialog::Accepted || form_.isNull()) return false;
  Color = ColorValue(form_->NewColor());
  OutFormat = FormatOfIndex(form_->cbColorResult->currentIndex());
  return true;
}

bool TCustomColorPickDialog::Execute(int language) {
  TColorPick& form = Prepare(language);
  return Finish(form.exec());
}

}  // namespace ashtint
