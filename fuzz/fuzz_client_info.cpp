// The client examination over a client folder whose paths.xml, version.xml and game_info.xml
// are the input's three NUL-separated parts. The folder lives in the temporary folder (a memory
// file system on most Linux systems) and is made once per process.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "client/wot_info.h"
#include "fuzz_support.h"

using namespace ashtint;
namespace fs = std::filesystem;

namespace {

// Made on first use, removed when the process ends normally.
struct TClientFolder {
  TClientFolder() : path(fs::temp_directory_path() / ("ashtint_fuzz_client_" + std::to_string(::getpid()))) {
    fs::create_directories(path / "res" / "packages");
    fs::create_directories(path / "win64");
    for (const char* file : {"WorldOfTanks.exe", "win64/WorldOfTanks.exe", "res/packages/vehicles_level_01.pkg",
                             "res/packages/01_karelia.pkg", "res/packages/01_karelia_hd.pkg"})
      std::ofstream(path / file) << "x";
  }
  ~TClientFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  fs::path path;
};

const fs::path& ClientFolder() {
  static const TClientFolder folder;
  return folder.path;
}

void Write(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = fuzz::SplitInput(fuzz::AsText(data, size), '\0', 3);
  const fs::path& folder = ClientFolder();
  Write(folder / "paths.xml", parts[0]);
  Write(folder / "version.xml", parts[1]);
  Write(folder / "game_info.xml", parts[2]);
  RWOTInfo info;
  ReadWOTInfo(folder.string(), info);
  // Whatever the files say, the folders found stay inside the client.
  const std::string root = info.ClientDir;
  for (const std::string* dir : {&info.ModsDir, &info.ResModsDir})
    fuzz::Require(dir->empty() || root.empty() || dir->rfind(root, 0) == 0, "mods folders stay in the client");
  for (const std::string& pkg : info.Pkgs) fuzz::Require(pkg.rfind(root, 0) == 0, "packages stay in the client");
  return 0;
}
