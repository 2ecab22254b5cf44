#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QToolButton>

#include <memory>

#include "gui/gui_settings.h"
#include "gui/interface_language.h"
#include "gui/interface_texts.h"
#include "gui/guide_texts.h"
#include "gui/main_window/main_window.h"
#include "gui/main_window/mod_captions.h"
#include "gui/system_language.h"
#include "test_support/qt_print.h"
#include "test_support/temp_dir.h"

using namespace ashtint;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// The rows that are a control's hint; 51 is shown unwrapped.
std::vector<int> HintRows() {
  std::vector<int> rows;
  for (int row = 52; row <= 78; ++row)
    if (row != 58 && row != 66) rows.push_back(row);
  return rows;
}

}  // namespace

TEST(InterfaceTexts, TableHoldsEveryRowInBothLanguages) {
  int filled = 0;
  for (int row = 0; row < InterfaceTextRows; ++row) {
    const bool used = row != 58 && row != 66;
    EXPECT_EQ(InterfaceText(row, LanguageRussian).isEmpty(), !used) << row;
    EXPECT_EQ(InterfaceText(row, LanguageEnglish).isEmpty(), !used) << row;
    filled += used;
  }
  EXPECT_EQ(filled, 84);
  EXPECT_EQ(InterfaceText(86, LanguageEnglish), "");
  EXPECT_EQ(InterfaceText(-1, LanguageRussian), "");
  EXPECT_EQ(InterfaceText(0, 7), U("Выбрать клиент из списка"));  // unknown language: Russian

  EXPECT_EQ(InterfaceText(0, LanguageEnglish), "Select a client from the list");
  // Rows 13 and 15 in English carry Cyrillic letters (U+0441, U+0421) as they always have.
  EXPECT_EQ(InterfaceText(13, LanguageEnglish), U("Colored \xD1\x81rashed tracks (package %d MB)"));
  EXPECT_EQ(InterfaceText(15, LanguageEnglish), U("\xD0\xA1" "arriages and trains on the maps (package %d MB)"));
  EXPECT_EQ(InterfaceText(16, LanguageRussian), U("Обработать space.bin файлы (пакет %.1f ГБ)"));
  EXPECT_EQ(InterfaceText(32, LanguageRussian), U("Удалить wotmod-файлы мода из игры"));
  // A Lesta client's packages are .mtmod: the texts say so, the engine's keys and files keep their names.
  EXPECT_EQ(WithPackageWord(InterfaceText(32, LanguageRussian), "mtmod"), U("Удалить mtmod-файлы мода из игры"));
  EXPECT_EQ(WithPackageWord(InterfaceText(62, LanguageEnglish), "mtmod"),
            "All files will be packaged in a single mtmod-package. The option will not work if the without-wotmod "
            "key is specified or the mode of launching multiple copies of the program is selected");
  EXPECT_EQ(WithPackageWord(InterfaceText(64, LanguageEnglish), "mtmod"), InterfaceText(64, LanguageEnglish));
  EXPECT_EQ(WithPackageWord(InterfaceText(28, LanguageEnglish), "wotmod"), InterfaceText(28, LanguageEnglish));
  EXPECT_EQ(InterfaceText(43, LanguageEnglish),
            "Unable to read the entire file \"AshtintGui.json\". This file is either damaged or outdated and "
            "written with an error. Will be loaded default settings.\r\n\r\nError: ");
  EXPECT_EQ(InterfaceText(61, LanguageEnglish),
            "Mod files will be saved in the \"res_mods\\X.X.X\\\" folder or in the destination folder, if "
            "specified by the user");
  EXPECT_TRUE(InterfaceText(41, LanguageRussian).endsWith(U("размещать игру на SSD-диске.")));
  EXPECT_EQ(InterfaceText(41, LanguageEnglish).count(QStringLiteral("\r\n\r\n")), 2);
  EXPECT_EQ(InterfaceText(78, LanguageRussian),
            U("Коэффициент сжатия текстур камуфляжей, чем большие степень сжатия, тем быстрее будут "
              "создаваться файлы мода"));
}

TEST(InterfaceTexts, HintsWrapAtSixtyWithoutLosingOrBreakingQuotes) {
  for (int language : {LanguageRussian, LanguageEnglish}) {
    for (int row : HintRows()) {
      const QString text = InterfaceText(row, language);
      const QString wrapped = HintText(row, language);
      SCOPED_TRACE(testing::Message() << "row " << row << " language " << language);
      // Only line breaks are added, and only after a space, hyphen or tab.
      QString joined = wrapped;
      EXPECT_EQ(joined.remove(QStringLiteral("\r\n")), QString(text).remove(QStringLiteral("\r\n")));
      const QStringList lines = wrapped.split(QStringLiteral("\r\n"));
      for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_TRUE(lines[i].endsWith(u' ') || lines[i].endsWith(u'-')) << lines[i].toStdString();
      }
      for (const QString& line : lines) {
        // A longer line may only be one that has no place to break outside quotes.
        if (line.size() > 60) {
          EXPECT_FALSE(line.trimmed().contains(u' ')) << line.toStdString();
        }
      }
      // Quoted names stay on one line.
      for (const char* quoted : {"\"res_mods\\X.X.X\\\"", "\"AshtintCreator\\\"", "\"mod.AshtintCreator.*\"",
                                 "\"*_hd.dds\"", "\"AshtintCreator2.exe\""}) {
        if (text.contains(QString::fromUtf8(quoted))) {
          EXPECT_TRUE(wrapped.contains(QString::fromUtf8(quoted))) << quoted;
        }
      }
    }
  }
  EXPECT_GE(HintText(62, LanguageEnglish).count(QStringLiteral("\r\n")), 2);
  EXPECT_EQ(HintText(51, LanguageRussian), U("Настройки"));

  // The rule on its own: quotes, long words, existing breaks, hyphens.
  EXPECT_EQ(WrapText("aaa bbb ccc", 8), "aaa bbb \r\nccc");
  EXPECT_EQ(WrapText("aaa bbb ccc", 7), "aaa \r\nbbb ccc");  // the space that ends a line counts
  EXPECT_EQ(WrapText("a \"b c d e\" f", 6), "a \r\n\"b c d e\" \r\nf");
  EXPECT_EQ(WrapText("averyveryverylongword next", 8), "averyveryverylongword \r\nnext");
  EXPECT_EQ(WrapText("one-two-three", 8), "one-two-\r\nthree");
  EXPECT_EQ(WrapText("aa bb\r\ncc dd ee", 6), "aa bb\r\ncc dd \r\nee");
  EXPECT_EQ(WrapText("short", 60), "short");
}

TEST(InterfaceTexts, SizeCaptionsFollowLanguageAndLocale) {
  // A system that writes decimal commas: Russian shows the comma, English never does.
  EXPECT_EQ(SpaceBinCaption(LanguageRussian, u','), U("Обработать space.bin файлы (пакет 3,5 ГБ)"));
  EXPECT_EQ(SpaceBinCaption(LanguageEnglish, u','), "Process space.bin files (package 3.5 GB)");
  EXPECT_EQ(SpaceBinCaption(LanguageRussian, u'.'), U("Обработать space.bin файлы (пакет 3.5 ГБ)"));
  EXPECT_EQ(SizeCaption(17, LanguageEnglish, CamoPackageMB(true, 4)), "Translucent camouflages (package 50 MB)");
  EXPECT_EQ(SizeCaption(17, LanguageEnglish, CamoPackageMB(true, 8)), "Translucent camouflages (package 12 MB)");
  EXPECT_EQ(CamoPackageMB(true, 2), 170);
  EXPECT_EQ(CamoPackageMB(true, 3), 700);
  EXPECT_EQ(CamoPackageMB(false, 8), 700);
  EXPECT_EQ(SizeCaption(10, LanguageRussian, DPTPackageMB), U("Уничтоженные танки игроков (пакет 50 МБ)"));
  EXPECT_EQ(FormatText(InterfaceText(42, LanguageEnglish), "AshtintCreator2"),
            "The file \"AshtintCreator2\" was not found in the program folder or it is damaged. Move the file to the "
            "program folder or download the program again.");
}

TEST(InterfaceLanguage, SwitchesEveryOpenWindowAndForgetsClosedOnes) {
  TInterfaceLanguage language;
  QLabel first;
  QCheckBox second;
  auto closed = std::make_unique<QLabel>();
  language.BindText(&first, 9);
  language.BindText(&second, 12);
  language.BindHint(&second, 62);
  language.BindText(closed.get(), 19);
  EXPECT_EQ(first.text(), U(" Модификации: "));  // bound texts show at once
  closed.reset();

  language.ApplyLanguage(LanguageEnglish);
  EXPECT_EQ(first.text(), " Modifications: ");
  EXPECT_EQ(second.text(), "Remove shadows and dark spots");
  EXPECT_EQ(second.toolTip(), DisplayText(HintText(62, LanguageEnglish)));
  EXPECT_TRUE(second.toolTip().contains(u'\n'));
  language.ApplyLanguage(5);  // no such language: Russian
  EXPECT_EQ(language.Language(), LanguageRussian);
  EXPECT_EQ(second.text(), U("Убрать тени и темные пятна"));
}

TEST(MainWindow, LanguageButtonSwitchesTheWindowAndTheChoiceOutlivesIt) {
  test_support::TempDir dir;
  const QString file = QString::fromStdString(dir / "AshtintGui.json");
  auto captions = [](const QWidget& window) {
    QStringList texts;
    for (const QCheckBox* check : window.findChildren<QCheckBox*>()) texts << check->text();
    return texts;
  };
  auto visibleButton = [](const QWidget& window) -> QToolButton* {  // the language button in view
    for (const char* name : {"sbLangRUS", "sbLangENG"}) {
      auto* button = window.findChild<QToolButton*>(QString::fromLatin1(name));
      if (button != nullptr && !button->isHidden()) return button;
    }
    return nullptr;
  };
  // A first start speaks the system's language: Russian for a Russian locale, else English.
  EXPECT_EQ(LanguageOfLocale("ru_RU.UTF-8"), LanguageRussian);
  EXPECT_EQ(LanguageOfLocale("ru"), LanguageRussian);
  EXPECT_EQ(LanguageOfLocale("en_US.UTF-8"), LanguageEnglish);
  EXPECT_EQ(LanguageOfLocale("C"), LanguageEnglish);
  EXPECT_EQ(LanguageOfLocale("uk_UA"), LanguageEnglish);
  {
    TInterfaceLanguage language;
    RGuiSettings record;
    TFMain window(language, record, file);
    window.show();
    EXPECT_EQ(record.Language, SystemLanguage());
    if (record.Language == LanguageEnglish) {  // to Russian and back: the choice is English
      visibleButton(window)->click();
      EXPECT_TRUE(captions(window).contains(U("Уничтоженные танки игроков (пакет 50 МБ)")));
    }
    ASSERT_NE(visibleButton(window), nullptr);
    EXPECT_EQ(visibleButton(window)->text(), "RUS");
    visibleButton(window)->click();
    EXPECT_EQ(record.Language, LanguageEnglish);
    EXPECT_TRUE(captions(window).contains("Destroyed player tanks (package 50 MB)"));
    EXPECT_TRUE(captions(window).contains("Process space.bin files (package 3.5 GB)"));
    EXPECT_EQ(visibleButton(window)->text(), "ENG");
    window.close();  // saves
  }
  TInterfaceLanguage language;
  RGuiSettings record;
  TFMain window(language, record, file);
  EXPECT_FALSE(window.Settings().DefaultsInUse());
  EXPECT_EQ(language.Language(), LanguageEnglish);
  EXPECT_TRUE(captions(window).contains("Translucent camouflages (package 50 MB)"));
}
