// The window's engine part as far as it is built: the command line follows every change, and a
// client chosen by its folder becomes the program that client really runs.
#include "gui/main_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <filesystem>
#include <fstream>

#include "gui/console_exe.h"
#include "gui/interface_language.h"
#include "test_support/qt_print.h"
#include "test_support/temp_dir.h"

using namespace ashtint;

namespace {

void Write(const std::filesystem::path& p, const std::string& text) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
}

}  // namespace

TEST(MainWindow, KeepsTheCommandLineCurrent) {
  test_support::TempDir dir;
  TInterfaceLanguage language;
  RGuiSettings record;
  TFMain window(language, record, QString::fromStdString(dir / "AshtintGui.json"));
  const QPlainTextEdit* args = nullptr;
  for (const QPlainTextEdit* memo : window.findChildren<QPlainTextEdit*>()) args = memo;
  ASSERT_NE(args, nullptr);
  EXPECT_EQ(args->toPlainText(), window.Runner().Arguments());
  EXPECT_TRUE(args->toPlainText().contains("--DPT-mod=FFFFFF"));
  // The engine is looked for beside the program, and it is not there.
  bool refused = false;
  for (const QLineEdit* field : window.findChildren<QLineEdit*>())
    refused = refused || field->text() == "AshtintCreator2 not found!";
  EXPECT_TRUE(refused);

  for (QCheckBox* check : window.findChildren<QCheckBox*>())
    if (check->text().startsWith(QString::fromUtf8("Уничтоженные танки"))) check->setChecked(false);
  EXPECT_FALSE(record.DPTEnable);
  EXPECT_FALSE(args->toPlainText().contains("--DPT-mod"));

  // A Lesta client of today: its folder leads to Tanki.exe, not to WorldOfTanks.exe.
  const std::filesystem::path client = dir.path() / "Tanki client";
  Write(client / "Tanki.exe", "MZ");
  Write(client / "win64" / "Tanki.exe", "MZ");
  window.SetClient(QString::fromStdString(client.string() + "/"));
  EXPECT_EQ(record.WotPath, QString::fromStdString((client / "Tanki.exe").string()));
  EXPECT_TRUE(args->toPlainText().startsWith("--wot-path=\"" + QString::fromStdString(client.string()) + "/\""));
}
