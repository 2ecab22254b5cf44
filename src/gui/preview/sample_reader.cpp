#include "gui/preview/sample_reader.h"

#include <exception>

#include "archive/seven_zip_in_archive.h"
#include "client/wot_info.h"
#include "common/build_config.h"
#include "common/file_system.h"
#include "common/streams.h"
#include "common/text.h"
#include "config/sign_match.h"
#include "textures/dds_creator.h"

namespace ashtint {

namespace {

// The stages skip items at or below this size; a sample is one the stage would take.
constexpr std::uint64_t TextureMinSize = 1024;
// A kind whose selected textures keep failing to decode is given up after this many.
constexpr int MaxFailedTextures = 8;

struct RPending {
  ARSign Rules;
  bool Done = false;
  int Failed = 0;
  bool PackageFailed = false;
};

RSamplePtr Decided(TSampleState state) {
  auto sample = std::make_shared<RSample>();
  sample->State = state;
  return sample;
}

ARSign RulesOf(TSampleKind kind, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    const std::string file = IncludeTrailingPathDelimiter(folder) + SampleConfigName(kind);
    if (!FileExists(file)) continue;
    RCfgFile cfg;
    try {
      ReadCfgFile(file, cfg);
    } catch (const std::exception&) {
      return {};
    }
    return SampleRules(cfg);
  }
  return {};
}

// The texture as a sample, or null when it does not decode.
RSamplePtr Decode(const std::string& package, const std::string& itemPath, const TBytesArray& file) {
  auto sample = std::make_shared<RSample>();
  TDDSInfo info;
  if (!DecodeDDSImage(file, sample->Image, info)) return nullptr;
  sample->State = TSampleState::Found;
  sample->Package = package;
  sample->ItemPath = itemPath;
  sample->Format = info.Format;
  sample->Width = info.Width;
  sample->Height = info.Height;
  while (sample->Image.Width > PreviewSide || sample->Image.Height > PreviewSide) HalveBitmap(sample->Image);
  if (sample->Image.Width == info.Width && sample->Image.Height == info.Height) sample->File = file;
  return sample;
}

// One pass over packages for the kinds in `kinds` still pending.
void ScanPackages(const SArray& packages, const std::vector<TSampleKind>& kinds,
                  std::array<RPending, SampleKindCount>& pending, const RSampleRequest& request,
                  const std::atomic<bool>& stop, const std::function<void(TSampleKind, RSamplePtr)>& deliver) {
  const auto open = [&] {
    for (TSampleKind k : kinds)
      if (!pending[k].Done) return true;
    return false;
  };
  for (const std::string& package : packages) {
    if (stop.load() || !open()) return;
    I7zInArchivePtr archive;
    try {
      archive = CreateInArchive(szabi::CLSID_CFormatZip, request.ArchiveLibrary);
      archive->OpenFile(package);
    } catch (const std::exception&) {
      for (TSampleKind k : kinds) pending[k].PackageFailed = true;
      continue;
    }
    try {
      const std::uint32_t count = archive->ItemCount();
      for (std::uint32_t i = 0; i < count && open() && !stop.load(); ++i) {
        if (archive->ItemIsFolder(i)) continue;
        const std::uint64_t size = archive->ItemSize(i);
        const std::string path = archive->ItemPath(i);
        for (TSampleKind k : kinds) {
          RPending& p = pending[k];
          if (p.Done || !SelectsSample(p.Rules, path, size)) continue;
          RSamplePtr sample;
          try {
            TMemoryStream stream;
            archive->ExtractItem(i, stream);
            sample = Decode(package, path, stream.Bytes());
          } catch (const std::exception&) {
          }
          if (sample) {
            p.Done = true;
            deliver(k, sample);
          } else if (++p.Failed >= MaxFailedTextures) {
            p.Done = true;
            deliver(k, Decided(TSampleState::Unreadable));
          }
        }
      }
    } catch (const std::exception&) {
      for (TSampleKind k : kinds) pending[k].PackageFailed = true;
    }
    try {
      archive->Close();
    } catch (const std::exception&) {
    }
  }
}

}  // namespace

const char* SampleConfigName(TSampleKind kind) {
  switch (kind) {
    case SampleMEM: return "MapTanks.cfg";
    case SampleCTM: return "MapTrains.cfg";
    default: return "Camouflage.cfg";
  }
}

ARSign SampleRules(const RCfgFile& cfg) {
  if (!IsCfgUsable(cfg, build::ProgramBuildNumber)) return {};
  // A sample is never an HD texture, and the HD twins of the rules select only those.
  return MakeSignRules(cfg.Roots);
}

bool SelectsSample(const ARSign& rules, const std::string& itemPath, std::uint64_t size) {
  if (size <= TextureMinSize || !EndsText(".dds", itemPath)) return false;
  const std::string lower = LowerCase(itemPath);
  return !IsHDTexture(lower) && AnySignMatches(rules, lower);
}

void ReadSamples(const RSampleRequest& request, const std::atomic<bool>& stop,
                 const std::function<void(TSampleKind, RSamplePtr)>& deliver) {
  RWOTInfo info;
  if (!request.ClientPath.empty()) ReadWOTInfo(request.ClientPath, info);
  if (request.ClientPath.empty() || info.ClientDir.empty() || !info.PkgsFound) {
    for (int k = 0; k < SampleKindCount; ++k) deliver(TSampleKind(k), Decided(TSampleState::NoClient));
    return;
  }
  std::array<RPending, SampleKindCount> pending;
  for (int k = 0; k < SampleKindCount; ++k) {
    pending[k].Rules = RulesOf(TSampleKind(k), request.ConfigFolders);
    if (pending[k].Rules.empty()) {
      pending[k].Done = true;
      deliver(TSampleKind(k), Decided(TSampleState::NotFound));
    }
  }
  ScanPackages(info.MapPkgs, {SampleMEM, SampleCTM}, pending, request, stop, deliver);
  ScanPackages(info.VehiclePkgs, {SampleCAMO}, pending, request, stop, deliver);
  if (stop.load()) return;
  for (int k = 0; k < SampleKindCount; ++k)
    if (!pending[k].Done)
      deliver(TSampleKind(k), Decided(pending[k].PackageFailed ? TSampleState::Unreadable : TSampleState::NotFound));
}

}  // namespace ashtint
