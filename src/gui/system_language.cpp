#include "gui/system_language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>

#include "gui/interface_texts.h"

namespace ashtint {

int LanguageOfLocale(const QString& localeName) {
  return localeName.startsWith(QLatin1String("ru"), Qt::CaseInsensitive) ? LanguageRussian : LanguageEnglish;
}

int SystemLanguage() {
  // LANGUAGE, LC_ALL, LC_MESSAGES and LANG in the order the system reads them.
  const QStringList languages = QLocale::system().uiLanguages();
  return LanguageOfLocale(languages.isEmpty() ? QLocale::system().name() : languages.first());
}

TQtTranslation::~TQtTranslation() {
  if (installed_) QCoreApplication::removeTranslator(&translator_);
}

bool TQtTranslation::Apply(int language) {
  if (installed_) {
    QCoreApplication::removeTranslator(&translator_);
    installed_ = false;
  }
  if (KnownLanguage(language) == LanguageEnglish) return true;
  // The front end uses only Qt's base modules: their catalogue, "qtbase_ru", is all it needs
  // ("qt_ru" would also pull in the catalogues of modules it never loads).
  const QStringList folders{QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                            QStringLiteral("/usr/share/qt6/translations")};
  for (const QString& folder : folders) {
    if (translator_.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
      installed_ = QCoreApplication::installTranslator(&translator_);
      return installed_;
    }
  }
  return false;
}

}  // namespace ashtint
