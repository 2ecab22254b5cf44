// The language the system speaks: the first start's interface language, and Qt's own texts
// (standard buttons, file and folder choosers) in the interface language.
#pragma once

#include <QString>
#include <QTranslator>

namespace ashtint {

// Russian for a locale named "ru..." (LANG=ru_RU.UTF-8), English for every other one.
int LanguageOfLocale(const QString& localeName);
// The same for the system's locale.
int SystemLanguage();

// Qt's own texts come from Qt's translation files (Debian's qt6-translations-l10n, or a
// "translations" folder beside the program); English needs none.
class TQtTranslation {
 public:
  TQtTranslation() = default;
  ~TQtTranslation();
  TQtTranslation(const TQtTranslation&) = delete;
  TQtTranslation& operator=(const TQtTranslation&) = delete;

  // Installs the language's translation into the application, replacing the previous one.
  // False when the language needs one and none was found (Qt's texts then stay English).
  bool Apply(int language);

 private:
  QTranslator translator_;
  bool installed_ = false;
};

}  // namespace ashtint
