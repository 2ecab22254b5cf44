#include "gui/interface_language.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include <algorithm>

#include "gui/guide_texts.h"
#include "gui/interface_texts.h"

namespace ashtint {

void TInterfaceLanguage::Bind(QObject* owner, TApply apply) {
  if (owner == nullptr || !apply) return;
  apply(language_);
  bindings_.push_back({owner, std::move(apply)});
}

void TInterfaceLanguage::BindText(QAbstractButton* control, int row) {
  Bind(control, [this, control, row](int language) {
    control->setText(DisplayText(WithPackageWord(InterfaceText(row, language), packageWord_)));
  });
}

void TInterfaceLanguage::BindText(QLabel* control, int row) {
  Bind(control, [control, row](int language) { control->setText(DisplayText(InterfaceText(row, language))); });
}

void TInterfaceLanguage::BindTitle(QGroupBox* control, int row) {
  Bind(control, [control, row](int language) { control->setTitle(DisplayText(InterfaceText(row, language))); });
}

void TInterfaceLanguage::BindHint(QWidget* control, int row) {
  Bind(control, [this, control, row](int language) {
    control->setToolTip(DisplayText(WithPackageWord(HintText(row, language), packageWord_)));
  });
}

void TInterfaceLanguage::ApplyLanguage(int language) {
  language_ = KnownLanguage(language);
  std::erase_if(bindings_, [](const RBinding& b) { return b.Owner.isNull(); });
  // Applying a text may bind further ones, which grows the list: walk a copy.
  const std::vector<RBinding> current = bindings_;
  for (const RBinding& b : current) {
    if (!b.Owner.isNull()) b.Apply(language_);
  }
  emit LanguageApplied(language_);
}

}  // namespace ashtint
