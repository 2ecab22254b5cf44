// Map textures, camouflages and space.bin files over a generated client: every texture the
// manifest lists, decoded independently to the mod's colour or darkness, and nothing else; plus
// the space.bin walk against damaged and hostile files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <random>

#include "platform/module_loader.h"
#include "common/text.h"
#include "config/cfg_file.h"
#include "mods/space_bin_patch.h"
#include "mods/texture_workers.h"
#include "mods/worker_test_support.h"

namespace ashtint {
namespace {

using test_support::TempDir;

ARFiles Rules(const char* file) {
  RCfgFile cfg;
  ReadCfgFile(std::string(ASHTINT_SOURCE_DIR) + "/configs/" + file, cfg);
  return cfg.Roots;
}

class TextureWorkers : public GeneratedClientSuite {
 protected:

  template <class W>
  static void Run(const SArray& packages, const std::string& out, const std::function<void(W&)>& configure) {
    std::vector<std::unique_ptr<W>> workers;
    for (const auto& p : packages) {
      workers.push_back(std::make_unique<W>(p, TLogProc{}, out, client_->info.ClientDir));
      configure(*workers.back());
    }
    RunToEnd(workers);
    for (const auto& w : workers) EXPECT_EQ(w->ErrorText, "") << w->PkgFile;
  }

  static void ExpectChecked(const std::string& out, const std::vector<std::string>& args) {
    const auto check = client_->Check(out, args);
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_NE(check.out.find("checked "), std::string::npos) << check.out;
  }
};

TEST_F(TextureWorkers, MapModelsAndTrainsTakeTheirColourWithAndWithoutHD) {
  struct Case {
    const char* mod;
    const char* cfg;
    const char* colour;
    bool hd;
  };
  for (const Case c : {Case{"MEM", "MapTanks.cfg", "#DD7744", true}, Case{"CTM", "MapTrains.cfg", "#2050A0", true},
                       Case{"MEM", "MapTanks.cfg", "#10F010", false}}) {
    TempDir out;
    Run<ThDDSRepaint>(client_->info.MapPkgsWithHD, out.str(), [&](ThDDSRepaint& w) {
      w.SetFiles(Rules(c.cfg), c.colour, 1024);
      w.AddAlpha = true;
      w.WithHD = c.hd;
    });
    std::vector<std::string> args{"--mod", c.mod, "--exact", "--color", c.colour};
    if (!c.hd) args.push_back("--without-hd");
    ExpectChecked(out.str(), args);
  }
}

TEST_F(TextureWorkers, CamouflagesAreDimmedAndShrunk) {
  for (const auto& [visibility, ratio] : {std::pair{30, 0}, std::pair{50, 4}}) {
    TempDir out;
    Run<ThCamoRepaint>(client_->info.VehiclePkgsWithHD, out.str(), [&](ThCamoRepaint& w) {
      w.SetSigns(Rules("Camouflage.cfg"), 1024);
      w.Visibility = visibility;
      w.DownsizingRatio = ratio;
    });
    ExpectChecked(out.str(), {"--mod", "CAMO", "--exact", "--visibility", std::to_string(visibility), "--ratio",
                              std::to_string(ratio)});
  }
}

TEST_F(TextureWorkers, SpaceBinsArePatchedInPlacePerColour) {
  for (const auto& [tank, train] : {std::pair{"#DD7744", "#2050A0"}, std::pair{"#DD7744", ""}}) {
    TempDir out;
    Run<ThSpaceBinPatch>(client_->info.MapPkgs, out.str(), [&](ThSpaceBinPatch& w) {
      w.SetFiles(Rules("MapTanks.cfg"), tank, 2097152);
      if (*train) w.SetFiles(Rules("MapTrains.cfg"), train, 2097152);
      w.AddAlpha = true;
    });
    ExpectChecked(out.str(), {"--mod", "SpaceBin", "--exact", "--tank-color", tank, "--train-color", train});
  }
}

// A space.bin as the walk reads it: a BSMA row at `row`, then the section with five empty blocks
// and the given texture entries.
TBytesArray SpaceBin(std::size_t row, const std::vector<std::pair<std::string, std::string>>& textures) {
  TBytesArray d(2048, 0);
  auto put = [&](std::size_t at, std::uint32_t v) { std::memcpy(d.data() + at, &v, 4); };
  auto add = [&](std::uint32_t v) { d.insert(d.end(), reinterpret_cast<std::uint8_t*>(&v), reinterpret_cast<std::uint8_t*>(&v) + 4); };
  std::memcpy(d.data() + row, "BSMA", 4);
  put(row + 8, 2048);
  for (int i = 0; i < 5; ++i) add(4), add(0);
  add(static_cast<std::uint32_t>(textures.size()));
  for (const auto& [name, dds] : textures) {
    add(0), add(1), add(1);
    add(static_cast<std::uint32_t>(dds.size()));
    d.insert(d.end(), dds.begin(), dds.end());
    add(8), add(0), add(0);
    add(static_cast<std::uint32_t>(name.size()));
    d.insert(d.end(), name.begin(), name.end());
  }
  put(row + 16, static_cast<std::uint32_t>(d.size() - 2048));
  return d;
}

TEST(SpaceBinWalk, FindsTheTableRowOnlyNearTheStartAndRefusesLies) {
  const auto atLimit = SpaceBin(1000, {{"content/a_AM.dds", "DDSbytes"}});
  const auto found = ReadSpaceBinTextures(atLimit);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].Name, "content/a_AM.dds");
  EXPECT_EQ(std::string(atLimit.begin() + static_cast<std::ptrdiff_t>(found[0].Offset),
                        atLimit.begin() + static_cast<std::ptrdiff_t>(found[0].Offset + found[0].Length)),
            "DDSbytes");
  EXPECT_TRUE(ReadSpaceBinTextures(SpaceBin(1001, {{"content/a_AM.dds", "DDSbytes"}})).empty());

  // Cut anywhere inside the section, or with a count that lies: an error, never a read past the end.
  for (std::size_t cut = 2049; cut < atLimit.size(); ++cut) {
    TBytesArray shorter(atLimit.begin(), atLimit.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_THROW(ReadSpaceBinTextures(shorter), ESpaceBinError) << cut;
  }
  TBytesArray lying = atLimit;
  const std::uint32_t huge = 0xFFFFFFF0u;
  std::memcpy(lying.data() + 2048 + 40, &huge, 4);  // the texture count
  EXPECT_THROW(ReadSpaceBinTextures(lying), ESpaceBinError);
  std::memcpy(lying.data() + 2048, &huge, 4);  // an element size times a count beyond 32 bits
  std::memcpy(lying.data() + 2052, &huge, 4);
  EXPECT_THROW(ReadSpaceBinTextures(lying), ESpaceBinError);
}

TEST_F(TextureWorkers, FuzzedSpaceBinsNeverCrashTheWalk) {
  // Starts from a real one of the generated client.
  TMemoryStream stream;
  auto archive = CreateInArchive(szabi::CLSID_CFormatZip, ArchiveLibraryPath());
  archive->OpenFile(client_->info.ClientDir + "res/packages/01_karelia.pkg");
  TBytesArray original;
  for (std::uint32_t i = 0; i < archive->ItemCount(); ++i) {
    if (archive->ItemPath(i).find("space.bin") != std::string::npos) {
      archive->ExtractItem(i, stream);
      original = stream.Bytes();
      break;
    }
  }
  archive->Close();
  ASSERT_FALSE(ReadSpaceBinTextures(original).empty());
  std::mt19937 random(7);
  int refused = 0;
  for (int round = 0; round < 400; ++round) {
    TBytesArray d = original;
    // Damage the table and the section's counts and lengths, where a lie does harm.
    const auto textures = ReadSpaceBinTextures(original);
    for (int k = 0; k < 4; ++k) {
      const std::size_t at = (round % 2 == 0) ? random() % 400
                                               : static_cast<std::size_t>(textures[0].Offset) - 4 - random() % 64;
      d[at] = static_cast<std::uint8_t>(random());
    }
    if (round % 5 == 0) d.resize(random() % d.size());
    try {
      for (const auto& t : ReadSpaceBinTextures(d)) ASSERT_LE(t.Offset + t.Length, d.size());
    } catch (const ESpaceBinError&) {
      ++refused;
    }
  }
  EXPECT_GT(refused, 0);
}

// Textures in a format the repaint refuses: that package reports its error after the files
// before it, the other packages go on, and the manifest names every one of them.
TEST(RefusedTextures, AreErrorsOfTheirPackagesOnly) {
  SetArchiveLibraryPath(DefaultSevenZipLibraryPath());
  SetRetryPauseMs(20);
  GeneratedClient client("small", {"--refused-textures"});
  struct Case {
    const char* mod;
    const SArray& packages;
    std::function<std::unique_ptr<ThPkgScan>(const std::string&, const std::string&)> make;
  };
  auto repaint = [](const char* cfg, const char* colour) {
    return [=](const std::string& pkg, const std::string& out) {
      auto w = std::make_unique<ThDDSRepaint>(pkg, TLogProc{}, out, "");
      w->SetFiles(Rules(cfg), colour, 1024);
      w->AddAlpha = true;
      return std::unique_ptr<ThPkgScan>(std::move(w));
    };
  };
  const std::vector<Case> cases{
      {"MEM", client.info.MapPkgsWithHD, repaint("MapTanks.cfg", "#DD7744")},
      {"CTM", client.info.MapPkgsWithHD, repaint("MapTrains.cfg", "#2050A0")},
      {"CAMO", client.info.VehiclePkgsWithHD,
       [](const std::string& pkg, const std::string& out) {
         auto w = std::make_unique<ThCamoRepaint>(pkg, TLogProc{}, out, "");
         w->SetSigns(Rules("Camouflage.cfg"), 1024);
         return std::unique_ptr<ThPkgScan>(std::move(w));
       }},
      {"SpaceBin", client.info.MapPkgs,
       [](const std::string& pkg, const std::string& out) {
         auto w = std::make_unique<ThSpaceBinPatch>(pkg, TLogProc{}, out, "");
         w->SetFiles(Rules("MapTanks.cfg"), "#DD7744", 2097152);
         w->SetFiles(Rules("MapTrains.cfg"), "#2050A0", 2097152);
         w->AddAlpha = true;
         return std::unique_ptr<ThPkgScan>(std::move(w));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mod);
    TempDir out;
    std::vector<std::unique_ptr<ThPkgScan>> workers;
    for (const auto& p : c.packages) workers.push_back(c.make(p, out.str()));
    RunToEnd(workers);
    std::string errors;
    for (const auto& w : workers) {
      if (w->ErrorText.empty()) continue;
      std::string message = w->ErrorText.substr(w->ErrorText.find("Message: ") + 9);
      std::replace(message.begin(), message.end(), '\\', '/');
      errors += ExtractFileName(w->PkgFile) + "\t" + message + "\n";
    }
    const auto expected = client.Check(out.str(), {"--mod", c.mod, "--list-errors", "--tank-color", "#DD7744",
                                                   "--train-color", "#2050A0"});
    EXPECT_FALSE(expected.out.empty());
    EXPECT_EQ(errors, expected.out);
    // What the failing packages wrote before their refused texture is whole and in the mod.
    std::vector<std::string> args{"--mod", c.mod, "--exact", "--color", c.mod == std::string("CTM") ? "#2050A0" : "#DD7744",
                                  "--tank-color", "#DD7744", "--train-color", "#2050A0"};
    const auto check = client.Check(out.str(), args);
    EXPECT_EQ(check.status, 0) << check.out << check.err;
  }
}

}  // namespace
}  // namespace ashtint
