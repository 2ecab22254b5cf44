// Switching every text of the open windows between Russian and English at once.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

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

  // The word for the client's packages in the texts ("wotmod", or "mtmod" for a client whose
  // packages are .mtmod); takes effect with the next ApplyLanguage.
  const QString& PackageWord() const { return packageWord_; }
  void SetPackageWord(const QString& word) { packageWord_ = word; }

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
  QString packageWord_ = QStringLiteral("wotmod");
};

}  // namespace ashtint
