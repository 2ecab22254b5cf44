// The previews on a client written by the synthetic client generator: the samples are the
// textures the engine's rules select, the pictures are the engine's own recolouring of them, and
// a damaged client leaves the window working with a word where a picture would be.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "archive/seven_zip_in_archive.h"
#include "common/streams.h"
#include "gui/color_combo_box.h"
#include "gui/interface_language.h"
#include "gui/interface_texts.h"
#include "gui/main_window/main_window.h"
#include "gui/preview/mod_previews.h"
#include "gui/preview/preview_texts.h"
#include "platform/module_loader.h"
#include "test_support/qt_print.h"
#include "test_support/temp_dir.h"
#include "textures/dds_creator.h"

using namespace ashtint;
namespace fs = std::filesystem;

namespace {

// The clients come from the Linux generator (python); the Windows build's window is tested on a
// client of the same generator by the Wine tests instead.
#ifndef Q_OS_WIN
const std::string kSource = ASHTINT_SOURCE_DIR;

std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) output.append(buf, n);
  ::pclose(pipe);
  return output;
}

class PreviewOnClient : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test_support::TempDir;
    const std::string out = dir_->path().string();
    RunCommand("python3 '" + kSource + "/tools/gen_client.py' --profile small --out '" + out + "' 2>&1");
    client_ = dir_->path() / "World_of_Tanks_EU";
    // What the manifest says each mod must change, with the archive layer's separators.
    const std::string lines = RunCommand("python3 '" + kSource + "/tests/config/manifest_paths.py' '" + out + "/manifest.json'");
    std::size_t start = 0;
    while (start < lines.size()) {
      const std::size_t end = lines.find('\n', start);
      const std::string line = lines.substr(start, end - start);
      start = end == std::string::npos ? lines.size() : end + 1;
      const std::size_t t1 = line.find('\t'), t2 = line.find('\t', t1 + 1), t3 = line.find('\t', t2 + 1);
      if (t3 == std::string::npos || line.substr(t1 + 1, t2 - t1 - 1) != "touch") continue;
      std::string path = line.substr(t3 + 1);
      for (char& c : path)
        if (c == '/') c = '\\';
      touched_[line.substr(0, t1)].insert(path);
    }
  }
  static void TearDownTestSuite() {
    delete dir_;
    touched_.clear();
  }

  static RSampleRequest Request(const fs::path& client) {
    RSampleRequest request;
    request.ClientPath = client.string();
    request.ConfigFolders = {kSource + "/configs"};
    request.ArchiveLibrary = DefaultSevenZipLibraryPath();
    return request;
  }
  static std::array<RSamplePtr, SampleKindCount> Read(const RSampleRequest& request) {
    std::array<RSamplePtr, SampleKindCount> samples{};
    std::atomic<bool> stop{false};
    ReadSamples(request, stop, [&](TSampleKind kind, RSamplePtr sample) { samples[kind] = sample; });
    return samples;
  }
  // The texture as the package holds it.
  static TBytesArray Extract(const RSample& sample) {
    auto archive = CreateInArchive(szabi::CLSID_CFormatZip, DefaultSevenZipLibraryPath());
    archive->OpenFile(sample.Package);
    for (std::uint32_t i = 0; i < archive->ItemCount(); ++i) {
      if (archive->ItemPath(i) != sample.ItemPath) continue;
      TMemoryStream stream;
      archive->ExtractItem(i, stream);
      archive->Close();
      return stream.Bytes();
    }
    archive->Close();
    return {};
  }
  static TBitmap32 Decoded(const TBytesArray& file) {
    TBitmap32 image;
    TDDSInfo info;
    EXPECT_TRUE(DecodeDDSImage(file, image, info));
    return image;
  }

  static test_support::TempDir* dir_;
  static fs::path client_;
  static std::map<std::string, std::set<std::string>> touched_;
};

test_support::TempDir* PreviewOnClient::dir_ = nullptr;
fs::path PreviewOnClient::client_;
std::map<std::string, std::set<std::string>> PreviewOnClient::touched_;

TEST_F(PreviewOnClient, SamplesAreTexturesTheRulesSelectAndTheConfigurationFolderDecides) {
  ASSERT_FALSE(touched_["MEM"].empty());
  const auto samples = Read(Request(client_));
  const char* mods[SampleKindCount] = {"MEM", "CTM", "CAMO"};
  for (int k = 0; k < SampleKindCount; ++k) {
    SCOPED_TRACE(mods[k]);
    ASSERT_TRUE(samples[k]);
    ASSERT_EQ(samples[k]->State, TSampleState::Found);
    EXPECT_EQ(touched_[mods[k]].count(samples[k]->ItemPath), 1u) << samples[k]->ItemPath;
    EXPECT_EQ(samples[k]->ItemPath.find("_hd."), std::string::npos) << "an HD texture is never the sample";
  }

  // The first folder holding a file wins: rules there that select nothing leave the kind without
  // a sample, the others still come from the next folder.
  test_support::TempDir configs;
  std::ofstream(configs / "Camouflage.cfg") << "config_version = 1\nsoft_version = 1\nvehicles\\\n\t\\nothing_here\\*.dds\n";
  RSampleRequest request = Request(client_);
  request.ConfigFolders.insert(request.ConfigFolders.begin(), configs.path().string());
  const auto ruled = Read(request);
  EXPECT_EQ(ruled[SampleCAMO]->State, TSampleState::NotFound);
  EXPECT_EQ(ruled[SampleMEM]->State, TSampleState::Found);

  request.ClientPath = configs.path().string();  // no client there
  EXPECT_EQ(Read(request)[SampleMEM]->State, TSampleState::NoClient);
}

TEST_F(PreviewOnClient, PicturesAreTheEnginesRecolouringOfTheSample) {
  const auto samples = Read(Request(client_));
  const RSample& map = *samples[SampleMEM];
  const RSample& camo = *samples[SampleCAMO];
  ASSERT_EQ(map.State, TSampleState::Found);
  ASSERT_EQ(camo.State, TSampleState::Found);
  ASSERT_LE(camo.Width, PreviewSide);  // kept whole, so every pixel is comparable

  // Before compression: the rules of the map stages' colour and of the camouflage's dimming.
  const TBitmap32 source = Decoded(Extract(map));
  const TBitmap32 painted = RenderPreview(&map, {TPreviewOperation::Repaint, "2EB300", 100, 0}, false);
  ASSERT_EQ(painted.Pixels.size(), source.Pixels.size());
  for (std::size_t i = 0; i < source.Pixels.size(); ++i)
    ASSERT_EQ(painted.Pixels[i], (source.Pixels[i] >> 24) == 0 ? 0x002EB300u : 0xFF2EB300u) << i;
  const TBitmap32 camoSource = Decoded(Extract(camo));
  const TBitmap32 dimmed = RenderPreview(&camo, {TPreviewOperation::Dim, {}, 30, 0}, false);
  ASSERT_EQ(dimmed.Pixels.size(), camoSource.Pixels.size());
  for (std::size_t i = 0; i < camoSource.Pixels.size(); ++i) {
    const std::uint32_t p = camoSource.Pixels[i];
    const std::uint32_t want = (p & 0xFF000000u) | (30 * ((p >> 16) & 255) / 100) << 16 |
                               (30 * ((p >> 8) & 255) / 100) << 8 | 30 * (p & 255) / 100;
    ASSERT_EQ(dimmed.Pixels[i], want) << i;
  }

  // After compression: level 0 of the very file a build would write.
  TBytesArray file = Extract(map);
  ASSERT_TRUE(RepaintDDS(file, "#2EB300FF"));
  EXPECT_EQ(RenderPreview(&map, {TPreviewOperation::Repaint, "2EB300", 100, 0}, true).Pixels, Decoded(file).Pixels);
  for (const auto& [visibility, ratio] : {std::pair{30, 0}, {30, 4}, {100, 0}}) {
    SCOPED_TRACE(std::to_string(visibility) + " " + std::to_string(ratio));
    TBytesArray camoFile = Extract(camo);
    ASSERT_TRUE(MakeTranslucentDDS(camoFile, visibility, ratio));
    const TBitmap32 built = Decoded(camoFile);
    const TBitmap32 shown = RenderPreview(&camo, {TPreviewOperation::Dim, {}, visibility, ratio}, true);
    EXPECT_EQ(shown.Width, built.Width);
    EXPECT_EQ(shown.Pixels, built.Pixels);
  }
  TBytesArray crash;
  ASSERT_TRUE(CreateColorDDS(crash, 16, 16, "#367EFF"));
  EXPECT_EQ(RenderPreview(nullptr, {TPreviewOperation::Uniform, "367EFF", 100, 0}, false).Pixels, Decoded(crash).Pixels);
}

TEST_F(PreviewOnClient, WindowFollowsTheColoursAndStaysUsableOnADamagedClient) {
  qputenv("ASHTINT_CONFIGS_BASE_URL", "http://127.0.0.1:1/");
  qputenv("ASHTINT_UPDATE_BASE_URL", "http://127.0.0.1:1/");
  test_support::TempDir home;
  TInterfaceLanguage language;
  RGuiSettings record;
  record.Language = LanguageEnglish;
  record.CamoEnable = true;
  record.UseConfigsFolder = true;
  record.ConfigsFolder = QString::fromStdString(kSource + "/configs");
  TFMain window(language, record, QString::fromStdString(home / "AshtintGui.json"));
  window.SearchClients = [](std::uint8_t, bool) { return QStringList(); };
  const int lang = language.Language();
  auto* previews = window.findChild<TModPreviews*>();
  ASSERT_NE(previews, nullptr);
  window.SetClient(QString::fromStdString(client_.string()));
  QTRY_VERIFY_WITH_TIMEOUT(!previews->Reading(), 20000);
  TPreviewTile* mem = previews->Tile(SlotMEM);
  TPreviewTile* camo = previews->Tile(PreviewCAMO);
  ASSERT_TRUE(mem->HasPictures()) << mem->Word().toStdString();
  ASSERT_TRUE(camo->HasPictures()) << camo->Word().toStdString();

  // The colour box and the slider drive the pictures at once.
  auto* box = window.findChildren<TComboBox*>().at(SlotMEM);
  box->setEditText(QStringLiteral("FF0000"));
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_EQ(record.MEMColor, QStringLiteral("FF0000"));
  EXPECT_EQ(mem->Recipe().Color, QStringLiteral("FF0000"));
  EXPECT_EQ(ToQImage(RenderPreview(mem->Sample().get(), mem->Recipe(), false)), mem->After());
  window.findChild<QSlider*>(QStringLiteral("tbCamoVisibility"))->setValue(0);
  EXPECT_EQ(camo->Recipe().Visibility, 0);
  EXPECT_EQ(qRed(camo->After().pixel(camo->After().width() / 2, camo->After().height() / 2)), 0);

  // The larger view follows too, and shows the compressed look on demand.
  camo->OpenView();
  ASSERT_NE(camo->View(), nullptr);
  camo->View()->Compressed()->setChecked(true);
  EXPECT_EQ(camo->View()->Shown(), ToQImage(RenderPreview(camo->Sample().get(), camo->Recipe(), true)));
  mem->OpenView();

  // A client whose map and shared packages are cut short.
  test_support::TempDir broken;
  fs::copy(client_, broken.path() / "client", fs::copy_options::recursive);
  for (const auto& entry : fs::recursive_directory_iterator(broken.path() / "client"))
    if (const std::string name = entry.path().filename().string();
        entry.path().extension() == ".pkg" && (std::isdigit(name[0]) || name.find("shared_content") != std::string::npos))
      fs::resize_file(entry.path(), fs::file_size(entry.path()) / 3);
  window.SetClient(QString::fromStdString((broken.path() / "client").string()));
  EXPECT_EQ(mem->Word(), PreviewText(lang, ptReading));
  QTRY_VERIFY_WITH_TIMEOUT(!previews->Reading(), 20000);
  EXPECT_EQ(mem->Word(), PreviewText(lang, ptUnreadable));
  EXPECT_EQ(previews->Tile(SlotCTM)->Word(), PreviewText(lang, ptUnreadable));
  EXPECT_TRUE(camo->HasPictures()) << "the vehicle packages before the damaged ones still give one";
  EXPECT_FALSE(mem->View()->isVisible()) << "the view of a picture that is gone closes";
  EXPECT_TRUE(previews->Tile(SlotDPT)->HasPictures()) << "the one-colour textures need no client";
  box->setEditText(QStringLiteral("00FF00"));
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_TRUE(window.findChild<QPlainTextEdit*>(QStringLiteral("mArgs"))->toPlainText().contains("--MEM-mod=00FF00"));
}

#endif  // Q_OS_WIN

}  // namespace
