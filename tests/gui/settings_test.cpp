#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <array>
#include <fstream>
#include <memory>

#include "gui/color_combo_box.h"
#include "gui/guide_texts.h"
#include "gui/interface_texts.h"
#include "gui/settings.h"
#include "gui/settings_location.h"
#include "json/json_value.h"
#include "platform/user_config_folder.h"
#include "test_support/qt_print.h"
#include "test_support/temp_dir.h"

using namespace ashtint;

namespace {

// One start of the front end: a fresh record, the five colour boxes with their design lists,
// and the settings object over a file.
struct TFrontEnd {
  RGuiSettings record;
  std::array<std::unique_ptr<TComboBox>, ColorSlotCount> boxes;
  std::unique_ptr<TSettings> settings;
  QStringList messages;

  explicit TFrontEnd(const QString& file) {
    const QString colors[] = {record.DPTColor, record.DPTInsideColor, record.CCTColor, record.MEMColor,
                              record.CTMColor};
    TColorBoxes pointers{};
    for (int i = 0; i < ColorSlotCount; ++i) {
      boxes[i] = std::make_unique<TComboBox>();
      boxes[i]->SetItems(DesignColorList());
      boxes[i]->setEditText(colors[i]);
      pointers[i] = boxes[i].get();
    }
    settings = std::make_unique<TSettings>(file, record, pointers);
    settings->ShowError = [this](const QString& message) { messages << message; };
  }
  TFrontEnd& Load() {
    settings->Load();
    return *this;
  }
};

QString FileIn(const test_support::TempDir& dir, const char* name = "AshtintGui.json") {
  return QString::fromStdString(dir / name);
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString B64(const QByteArray& bytes) { return QString::fromLatin1(bytes.toBase64()); }

}  // namespace

TEST(Settings, BuildsTheSettingsLineExactly) {
  test_support::TempDir dir;
  TFrontEnd front(FileIn(dir));
  const QString date =
      QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).replace(u'/', u'.').toLower();
  const QString wot = B64(DefaultWotPath().toUtf8());
  const QString list = B64("FFFFFF\r\nDD7744\r\nB0B0B0\r\nFFE200\r\n2EB300\r\n367EFF\r\nDD1DFF\r\n");
  QString expected = QStringLiteral(
      "{system:{settingsfile:{version: \"1.5\",date: \"D\"},exefile: \"\",options:{viewclientspathsstartup: false,"
      "gamesearch: {currentfolder: true,gamecenter: true,systemregistry: false,commontest: true},logfile: false,"
      "rewritelogfile: false,autocheckupdate: true}},mods: {wotpath: \"W\",modspath:{enable: false,path: \"\"},"
      "dpt: {enable: true,color: \"FFFFFF\",colorlist: \"L\",inside: true,insidecolor: \"B0B0B0\","
      "insidecolorlist: \"L\",removeshadow: true},cct: {enable: true,color: \"367EFF\",colorlist: \"L\"},"
      "mem: {enable: true,color: \"FFE200\",colorlist: \"L\"},ctm: {enable: true,color: \"DD7744\",colorlist: \"L\"},"
      "spacebinpatch: true,camo: {enable: false,visibility: 30,downsizing: true,downsizingratio: 4}},"
      "options:{language: 0,showoptions: false,multistart: true,autoclose: true,noupdateconfigs: false,"
      "useconfigsfolder: false,configsfolder: \"\",nowotmod: false,allinonewotmod: false,subfolderwotmod: true,"
      "removeoldwotmod: true,nohd: false,usecpucount: false,cpucount: 2}}");
  expected.replace(QStringLiteral("\"D\""), '"' + date + '"')
      .replace(QStringLiteral("\"W\""), '"' + wot + '"')
      .replace(QStringLiteral("\"L\""), '"' + list + '"');
  EXPECT_EQ(front.settings->BuildText(), expected);
#ifndef Q_OS_WIN
  EXPECT_TRUE(DefaultWotPath().endsWith(QStringLiteral("/drive_c/Games/World_of_Tanks/WorldOfTanks.exe")));
#endif
}

TEST(Settings, FirstStartUsesDefaultsAndTheSavedFileReadsBackTheSame) {
  test_support::TempDir dir;
  const QString file = FileIn(dir, "sub/folder/AshtintGui.json");  // folders are made on saving
  TFrontEnd first(file);
  first.Load();
  EXPECT_TRUE(first.settings->DefaultsInUse());
  EXPECT_EQ(first.record.CCTColor, "367EFF");
  EXPECT_TRUE(first.messages.isEmpty());
  first.record.CamoEnable = true;
  first.record.CPUCount = 7;
  first.record.ModsPath = QStringLiteral("/home/игрок/Моды \"WoT\"");  // Cyrillic and a quote
  first.boxes[SlotMEM]->SetItems({QStringLiteral("123456"), QStringLiteral("ABCDEF")});
  ASSERT_TRUE(first.settings->Save());

  const QByteArray bytes = ReadFile(file);
  ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
  QJsonParseError error{};
  const QJsonDocument strict = QJsonDocument::fromJson(bytes.mid(3), &error);  // quoted keys: plain JSON
  ASSERT_EQ(error.error, QJsonParseError::NoError);
  EXPECT_TRUE(bytes.contains("\n    \"mods\": {\n"));
  // Paths are Base64 of their bytes (UTF-8 here), so any reader gets them back unchanged. On
  // Windows a path its code page cannot hold is kept as UTF-8 behind a byte order mark.
  const QString kept = JsonAsString(JsonAt(strict.object(), u"mods.modspath.path"));
#ifdef Q_OS_WIN
  if (QString::fromLocal8Bit(first.record.ModsPath.toLocal8Bit()) != first.record.ModsPath) {
    EXPECT_EQ(kept, B64("\xEF\xBB\xBF" + first.record.ModsPath.toUtf8()));
  }
#else
  EXPECT_EQ(kept, B64(first.record.ModsPath.toUtf8()));
#endif
  EXPECT_EQ(QDir(dir.str().c_str()).entryList({"*.tmp"}, QDir::Files | QDir::Hidden).size(), 0);

  TFrontEnd second(file);
  second.Load();
  EXPECT_FALSE(second.settings->DefaultsInUse());
  EXPECT_EQ(second.settings->BuildText(), first.settings->BuildText());
  EXPECT_EQ(second.record.ModsPath, first.record.ModsPath);
  EXPECT_EQ(second.boxes[SlotMEM]->Items(), (QStringList{"123456", "ABCDEF"}));
  EXPECT_EQ(second.boxes[SlotCCT]->Items(), DesignColorList());
  EXPECT_EQ(second.record.MEMColor, "FFE200");
}

TEST(Settings, AnotherVersionIsIgnoredAndMissingKeysTakeTheirDefaults) {
  test_support::TempDir dir;
  const QString file = FileIn(dir);
  TFrontEnd writer(file);
  writer.record.MEMColor = QStringLiteral("123456");
  writer.record.Language = LanguageEnglish;
  QString text = writer.settings->BuildText();  // keys unquoted, as this line writes them
  ASSERT_TRUE(text.contains(QStringLiteral("color: \"367EFF\",")));
  text.remove(QStringLiteral("color: \"367EFF\","));

  WriteFile(file, text.toUtf8());
  TFrontEnd current(file);
  current.Load();
  EXPECT_FALSE(current.settings->DefaultsInUse());
  EXPECT_EQ(current.record.CCTColor, "367EFF");  // the missing key
  EXPECT_EQ(current.record.MEMColor, "123456");  // the others as written
  EXPECT_EQ(current.record.Language, LanguageEnglish);

  // Another version keeps the player's choices; the original stays beside it, and the next
  // save writes the current version.
  const QByteArray older =
      text.replace(QStringLiteral("version: \"1.5\""), QStringLiteral("version: \"1.4\"")).toUtf8();
  WriteFile(file, older);
  TFrontEnd old(file);
  old.Load();
  EXPECT_FALSE(old.settings->DefaultsInUse());
  EXPECT_EQ(old.record.MEMColor, "123456");
  EXPECT_EQ(old.record.CCTColor, "367EFF");
  EXPECT_EQ(old.record.Language, LanguageEnglish);
  EXPECT_TRUE(old.messages.isEmpty());
  ASSERT_TRUE(old.settings->Save());
  EXPECT_EQ(ReadFile(file + ".bak"), older);
  EXPECT_TRUE(ReadFile(file).contains("\"1.5\""));
  EXPECT_EQ(TFrontEnd(file).Load().record.MEMColor, "123456");
}

TEST(Settings, ValuesOutsideTheirRangesAreBroughtIntoThem) {
  test_support::TempDir dir;
  const QString file = FileIn(dir);
  WriteFile(file,
            "\xEF\xBB\xBF{system:{settingsfile:{version: \"1.5\"}},mods:{camo:{visibility: \"150\",downsizingratio: 3},"
            "dpt:{color: \"ab\",colorlist: \"Rk\xD0\xAF!ZkZGRk-DQpB\\nQkMNCg==\"},cct:{color: \"xyz\"}},"
            "options:{cpucount: 40,language: 7}}");
  TFrontEnd f(file);
  f.Load();
  EXPECT_FALSE(f.settings->DefaultsInUse());
  EXPECT_EQ(f.record.CamoVisibility, 100);   // a string read as a number, then the track bar's range
  EXPECT_EQ(f.record.CamoDownsizingRatio, 3);  // kept as read
  EXPECT_EQ(f.record.CPUCount, 16);
  EXPECT_EQ(f.record.Language, LanguageRussian);
  EXPECT_EQ(f.record.DPTColor, "AB0000");
  EXPECT_EQ(f.record.CCTColor, "000000");  // no hex digits: black, never text the engine cannot read
  // Characters outside the Base64 alphabet (here a Cyrillic letter, "!", "-" and a line break) are skipped.
  EXPECT_EQ(f.boxes[SlotDPT]->Items(), (QStringList{"FFdddd", "ABC"}));

  WriteFile(file, "{system:{settingsfile:{version: \"1.5\"}},mods:{camo:{visibility: -5}},options:{cpucount: 0}}");
  TFrontEnd low(file);
  low.Load();
  EXPECT_EQ(low.record.CamoVisibility, 0);
  EXPECT_EQ(low.record.CPUCount, 1);
}

TEST(Settings, ABrokenFileIsReportedReplacedByDefaultsAndKept) {
  test_support::TempDir dir;
  const QString file = FileIn(dir);
  const QByteArray broken = "{system:{settingsfile:{version: \"1.5\"}},\nmods: {cct: {color: \"000000\" x}}}";
  WriteFile(file, broken);
  TFrontEnd f(file);
  f.Load();
  ASSERT_EQ(f.messages.size(), 1);
  // The message names what is wrong and where, and the copy kept of the file.
  EXPECT_EQ(f.messages[0], InterfaceText(43, f.record.Language) +
                               FormatText(GuideText(TGuideText::SettingsErrorAt, f.record.Language), "x") +
                               " (2:29)\r\n\r\n" +
                               FormatText(GuideText(TGuideText::SettingsKeptAs, f.record.Language), file + ".bak"));
  EXPECT_EQ(ReadFile(file + ".bak"), broken);  // the user can still mend it
  EXPECT_TRUE(f.settings->DefaultsInUse());
  EXPECT_EQ(f.record.CCTColor, "367EFF");
  ASSERT_TRUE(f.settings->Save());
  EXPECT_EQ(ReadFile(file + ".bak"), broken);
  EXPECT_FALSE(TFrontEnd(file).Load().settings->DefaultsInUse());

  WriteFile(file, "\xEF\xBB\xBF{system:{settingsfile:{version: \"1.5\"");  // cut off
  TFrontEnd cut(file);
  cut.Load();
  ASSERT_EQ(cut.messages.size(), 1);
  EXPECT_TRUE(cut.messages[0].contains(GuideText(TGuideText::SettingsErrorEnd, cut.record.Language) + " (1:37)"))
      << cut.messages[0].toStdString();
}

TEST(Settings, SavingWhereNothingCanBeWrittenChangesNothing) {
  test_support::TempDir dir;
  // The folder cannot be made: its parent is a regular file (this holds for root, too).
  std::ofstream(dir / "plain-file") << "x";
  TFrontEnd blocked(FileIn(dir, "plain-file/AshtintGui/AshtintGui.json"));
  blocked.Load();
  EXPECT_FALSE(blocked.settings->Save());
  EXPECT_EQ(ReadFile(FileIn(dir, "plain-file")), "x");

  // The rename fails (a folder stands where the file goes): no temporary file is left behind.
  ASSERT_TRUE(QDir().mkpath(FileIn(dir, "AshtintGui.json")));
  TFrontEnd renameFails(FileIn(dir));
  EXPECT_FALSE(renameFails.settings->Save());
  EXPECT_EQ(QDir(dir.str().c_str()).entryList(QDir::Files | QDir::Hidden).size(), 1);  // plain-file only
}

TEST(SettingsLocation, ProgramFolderWhenWritableElseTheUsersConfiguration) {
  test_support::TempDir dir;
  const QString program = FileIn(dir, "program");
  const QString config = FileIn(dir, "config");
  ASSERT_TRUE(QDir().mkpath(program));
  EXPECT_EQ(SettingsFileName(program, config), QDir::fromNativeSeparators(program + "/AshtintGui.json"));
  EXPECT_EQ(QDir(program).entryList(QDir::Files | QDir::Hidden).size(), 0);  // the probe is gone
  std::ofstream(dir / "not-a-folder") << "x";
  EXPECT_EQ(SettingsFileName(FileIn(dir, "not-a-folder"), config),
            QDir::fromNativeSeparators(config + "/AshtintGui/AshtintGui.json"));
  EXPECT_FALSE(FolderIsWritable(FileIn(dir, "missing")));
  // The user's folder: %APPDATA% on Windows (roaming with the user), the XDG one elsewhere.
  const QString user = QDir::fromNativeSeparators(QFile::decodeName(QByteArray::fromStdString(UserConfigFolder())));
#ifdef Q_OS_WIN
  EXPECT_EQ(user, QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA")));
#else
  EXPECT_EQ(user, qEnvironmentVariable("XDG_CONFIG_HOME", qEnvironmentVariable("HOME") + "/.config"));
#endif
}
