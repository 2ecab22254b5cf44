// The settings menu's about box: reached from the main window, it shows this build's version,
// the licence and the third-party notices exactly as the packages carry them, in both languages.
#include "gui/main_window/about_box.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "common/build_config.h"
#include "gui/interface_language.h"
#include "gui/interface_texts.h"
#include "gui/main_window/main_window.h"
#include "gui/settings.h"
#include "test_support/qt_print.h"
#include "test_support/temp_dir.h"

using namespace ashtint;

namespace {

QString SourceFile(const char* name) {
  QFile file(QStringLiteral(ASHTINT_SOURCE_DIR "/") + QString::fromLatin1(name));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
  return QString::fromUtf8(file.readAll());
}

struct RShown {
  QString title, version, license, licenseText, notices, tabs, close;
};

RShown Shown(const TFAbout& box) {
  return {box.windowTitle(), box.lVersion->text(), box.lLicense->text(), box.mLicense->toPlainText(),
          box.mNotices->toPlainText(), box.pcTexts->tabText(0) + "|" + box.pcTexts->tabText(1), box.bClose->text()};
}

}  // namespace

TEST(AboutBox, SettingsMenuOpensItWithVersionLicenceAndNoticesInBothLanguages) {
  for (const char* name : {"ASHTINT_CONFIGS_BASE_URL", "ASHTINT_SITE_URL", "ASHTINT_UPDATE_BASE_URL"})
    qputenv(name, "http://127.0.0.1:1/");
  test_support::TempDir dir;
  TInterfaceLanguage language;
  RGuiSettings record;
  TFMain window(language, record, QString::fromStdString((dir.path() / "AshtintGui.json").string()));
  language.ApplyLanguage(LanguageEnglish);

  auto* about = window.findChild<QAction*>(QStringLiteral("PMAbout"));
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->text(), "About...");
  // The menu item opens the box modally; it is read and closed with its own button.
  RShown shown;
  bool seen = false;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = dynamic_cast<TFAbout*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen = true;
    shown = Shown(*box);
    box->bClose->click();
  });
  answer.start(20);
  about->trigger();
  answer.stop();
  ASSERT_TRUE(seen);

  const QString version = QString::fromLatin1(build::ProgramVersion);
  const QString buildNumber = QString::fromLatin1(build::ProgramBuild);
  EXPECT_EQ(shown.title, "About");
  EXPECT_EQ(shown.version, "Version " + version + ", build " + buildNumber);
  EXPECT_EQ(shown.license, "Free software under the MIT License.\nCopyright (c) 2026 Ashtint Creator contributors");
  EXPECT_EQ(shown.tabs, "License|Third-party components");
  EXPECT_EQ(shown.close, "Close");
  // The texts are the files the packages carry, not a copy that could drift from them.
  EXPECT_EQ(shown.licenseText, SourceFile("LICENSE"));
  EXPECT_EQ(shown.notices, SourceFile("THIRD-PARTY.md"));
  for (const char* part : {"Qt 6", "LGPL", "7-Zip", "unRAR", "libcurl", "OpenSSL", "rgb.txt", "mingw-w64",
                           "GCC Runtime Library Exception", "winpthreads"})
    EXPECT_TRUE(shown.notices.contains(QString::fromLatin1(part))) << part;

  language.ApplyLanguage(LanguageRussian);
  EXPECT_EQ(about->text(), QString::fromUtf8("О программе..."));
  TFAbout russian(language, &window);
  const RShown ru = Shown(russian);
  EXPECT_EQ(ru.title, QString::fromUtf8("О программе"));
  EXPECT_EQ(ru.version, QString::fromUtf8("Версия ") + version + QString::fromUtf8(", сборка ") + buildNumber);
  EXPECT_TRUE(ru.license.startsWith(QString::fromUtf8("Свободная программа под лицензией MIT.\nCopyright")));
  EXPECT_EQ(ru.tabs, QString::fromUtf8("Лицензия|Сторонние компоненты"));
  EXPECT_EQ(ru.close, QString::fromUtf8("Закрыть"));
}
