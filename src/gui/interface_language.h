// Switching every text of the open windows between Russian and English at once.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QAbstractButton;
class QGroupBox;
class QLabel;
class QWidget;

namespace ashtint {

// Windows bind each language-dependent text here once; ApplyLanguage then rewrites all of them
// in binding order. A binding ends with the object it belongs to, so a closed window never
// receives texts.
class TInterfaceLanguage : public QObject {
  Q_OBJECT

 public:
  using TApply = std::function<void(int language)>;

  explicit TInterfaceLanguage(QObject* parent = nullptr) : QObject(parent) {}

  int Language() const { return language_; }

  // apply runs at once with the current language and again on every ApplyLanguage for as long
  // as owner lives. apply must only touch owner or objects that live as long as it.
  void Bind(QObject* owner, TApply apply);

  // Shorthands for a row of the text table as caption, title or hint.
  void BindText(QAbstractButton* control, int row);
  void BindText(QLabel* control, int row);
  void BindTitle(QGroupBox* control, int row);
  void BindHint(QWidget* control, int row);

  // Stores the language (any value but English means Russian) and rewrites every bound text.
  void ApplyLanguage(int language);

 signals:
  void LanguageApplied(int language);

 private:
  struct RBinding {
    QPointer<QObject> Owner;
    TApply Apply;
  };
  std::vector<RBinding> bindings_;
  int language_ = 0;
};

}  // namespace ashtint
