#include "gui/preview/mod_previews.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>

#include "common/file_system.h"
#include "common/text.h"
#include "gui/interface_language.h"
#include "gui/preview/preview_texts.h"
#include "platform/module_loader.h"

namespace ashtint {

namespace {

std::string Folder(const QString& path) {
  return QDir::toNativeSeparators(QDir::cleanPath(path)).toStdString();
}

std::string ArchiveLibraryFor(const RGuiSettings& settings) {
  // The engine's own copy first: the one a build would use.
  if (!settings.ExeFile.isEmpty()) {
    const std::string beside = Folder(QFileInfo(settings.ExeFile).absolutePath()) + PathDelim + SevenZipLibraryFileName();
    if (FileExists(beside)) return beside;
  }
  return DefaultSevenZipLibraryPath();
}

}  // namespace

std::vector<std::string> PreviewConfigFolders(const RGuiSettings& settings) {
  std::vector<std::string> folders;
  if (settings.UseConfigsFolder && !settings.ConfigsFolder.isEmpty()) folders.push_back(Folder(settings.ConfigsFolder));
  if (!settings.ExeFile.isEmpty()) {
    const QString engine = QFileInfo(settings.ExeFile).absolutePath();
    folders.push_back(Folder(engine));
    // A link to the engine (a build folder's) leads to the folder its files are in.
    const QString target = QFileInfo(settings.ExeFile).canonicalFilePath();
    if (!target.isEmpty()) folders.push_back(Folder(QFileInfo(target).absolutePath()));
#ifndef _WIN32
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!data.startsWith(QLatin1Char('/'))) data = QDir::homePath() + QStringLiteral("/.local/share");
    folders.push_back(Folder(data + QStringLiteral("/ashtint/configs")));
    folders.push_back(Folder(engine + QStringLiteral("/../share/ashtint/configs")));
#endif
  }
  return folders;
}

TModPreviews::TModPreviews(TInterfaceLanguage& language, QWidget* parent)
    : QObject(parent), language_(language), parent_(parent) {
  connect(&language_, &TInterfaceLanguage::LanguageApplied, this, [this](int) { Show(); });
}

TModPreviews::~TModPreviews() {
  if (stop_) stop_->store(true);
  for (std::thread& reader : readers_) reader.join();
}

TPreviewTile* TModPreviews::Tile(int slot) {
  if (tiles_[slot] == nullptr) {
    tiles_[slot] = new TPreviewTile(parent_);
    tiles_[slot]->setObjectName(QStringLiteral("pPreview%1").arg(slot));
    if (followed_) Show();
  }
  return tiles_[slot];
}

bool TModPreviews::Reading() const {
  for (const RSamplePtr& sample : samples_)
    if (!sample) return true;
  return false;
}

void TModPreviews::Follow(const RGuiSettings& settings) {
  settings_ = settings;
  followed_ = true;
  if (generation_ == 0 || settings.WotPath != client_) StartReading(settings);
  Show();
}

void TModPreviews::StartReading(const RGuiSettings& settings) {
  if (stop_) stop_->store(true);
  client_ = settings.WotPath;
  ++generation_;
  samples_ = {};
  stop_ = std::make_shared<std::atomic<bool>>(false);
  RSampleRequest request;
  request.ClientPath = client_.toStdString();
  request.ConfigFolders = PreviewConfigFolders(settings);
  request.ArchiveLibrary = ArchiveLibraryFor(settings);
  const unsigned generation = generation_;
  readers_.emplace_back([this, request, generation, stop = stop_] {
    ReadSamples(request, *stop, [&](TSampleKind kind, RSamplePtr sample) {
      // Handed to the window's thread; dropped there when a newer reading has begun.
      QMetaObject::invokeMethod(this, [this, generation, kind, sample] { Delivered(generation, kind, sample); },
                                Qt::QueuedConnection);
    });
  });
}

void TModPreviews::Delivered(unsigned generation, TSampleKind kind, RSamplePtr sample) {
  if (generation != generation_) return;
  samples_[kind] = std::move(sample);
  Show();
}

void TModPreviews::Show() {
  const int language = language_.Language();
  const RGuiSettings& s = settings_;
  const auto uniform = [&](int slot, const QString& color) {
    if (tiles_[slot] == nullptr) return;
    tiles_[slot]->SetLanguage(language);
    tiles_[slot]->SetContent(nullptr, {TPreviewOperation::Uniform, color, 100, 0});
  };
  const auto sampled = [&](int slot, TSampleKind kind, const RPreviewRecipe& recipe) {
    TPreviewTile* tile = tiles_[slot];
    if (tile == nullptr) return;
    tile->SetLanguage(language);
    const RSamplePtr& sample = samples_[kind];
    if (!sample) tile->SetWord(SampleWord(language, TSampleState::Reading));
    else if (sample->State != TSampleState::Found) tile->SetWord(SampleWord(language, sample->State));
    else tile->SetContent(sample, recipe);
  };
  uniform(SlotDPT, s.DPTColor);
  uniform(SlotDPTInside, s.DPTInsideColor);
  uniform(SlotCCT, s.CCTColor);
  sampled(SlotMEM, SampleMEM, {TPreviewOperation::Repaint, s.MEMColor, 100, 0});
  sampled(SlotCTM, SampleCTM, {TPreviewOperation::Repaint, s.CTMColor, 100, 0});
  // The ratio the engine is given: 4 or 8 as chosen, 2 for anything else.
  const int ratio = !s.CamoDownsizing ? 0 : s.CamoDownsizingRatio == 4 || s.CamoDownsizingRatio == 8 ? s.CamoDownsizingRatio : 2;
  sampled(PreviewCAMO, SampleCAMO, {TPreviewOperation::Dim, QString(), s.CamoVisibility, ratio});
}

}  // namespace ashtint
