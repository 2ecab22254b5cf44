// Lists and extracts every item of a large generated zip package through the archive layer and
// compares the time with `7z t` (the library's own command-line tester) on the same file.
//
//   bench_archive [--size-mb N] [--rounds N] [--keep] [--zip existing.zip]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/module_loader.h"
#include "archive/seven_zip_in_archive.h"

using namespace ashtint;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string Quote(const std::string& s) {
  std::string r = "'";
  for (char c : s) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return r + "'";
}

// A package shaped like the game's: many folders, stored entries of a few hundred bytes up to a
// few MiB, most of them small, written by python's zipfile (independent of the code measured).
bool GeneratePackage(const std::string& zip, int sizeMb) {
  const std::string script =
      "import os, random, sys, zipfile\n"
      "random.seed(7)\n"
      "target = int(sys.argv[2]) * 1048576\n"
      "block = os.urandom(8 << 20)\n"
      "done, n = 0, 0\n"
      "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_STORED) as z:\n"
      "    while done < target:\n"
      "        size = random.choice([random.randint(200, 20000)] * 6 + [random.randint(20000, 600000)] * 3 +\n"
      "                             [random.randint(600000, 4 << 20)])\n"
      "        start = random.randint(0, len(block) - size)\n"
      "        folder = 'vehicles/nation%d/tank%03d/%s' % (n % 7, n % 211, ['normal', 'crash', 'tracks'][n % 3])\n"
      "        if n % 50 == 0:\n"
      "            z.writestr(folder + '/', b'')\n"
      "        z.writestr('%s/part_%05d.dds' % (folder, n), block[start:start + size])\n"
      "        done += size\n"
      "        n += 1\n";
  const std::string scriptFile = zip + ".py";
  FILE* f = std::fopen(scriptFile.c_str(), "w");
  if (!f) return false;
  std::fputs(script.c_str(), f);
  std::fclose(f);
  const int rc = std::system(("python3 " + Quote(scriptFile) + " " + Quote(zip) + " " + std::to_string(sizeMb)).c_str());
  std::remove(scriptFile.c_str());
  return rc == 0;
}

struct TRun {
  std::uint32_t items = 0;
  std::uint64_t bytes = 0;
};

TRun ListAndExtract(const std::string& zip) {
  TRun run;
  auto archive = CreateInArchive(szabi::CLSID_CFormatZip, DefaultSevenZipLibraryPath());
  archive->OpenFile(zip);
  TMemoryStream buffer;
  run.items = archive->ItemCount();
  for (std::uint32_t i = 0; i < run.items; ++i) {
    const std::string path = archive->ItemPath(i);
    if (path.empty() || archive->ItemIsFolder(i)) continue;
    buffer.Clear();
    archive->ExtractItem(i, buffer, false);
    if (static_cast<std::uint64_t>(buffer.Size()) != archive->ItemSize(i)) throw std::runtime_error("size mismatch: " + path);
    run.bytes += static_cast<std::uint64_t>(buffer.Size());
  }
  archive->Close();
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  int sizeMb = 300, rounds = 3;
  bool keep = false;
  std::string zip;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--size-mb" && i + 1 < argc) sizeMb = std::max(1, std::atoi(argv[++i]));
    else if (a == "--rounds" && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
    else if (a == "--keep") keep = true;
    else if (a == "--zip" && i + 1 < argc) zip = argv[++i];
    else {
      std::fprintf(stderr, "usage: %s [--size-mb N] [--rounds N] [--keep] [--zip file.zip]\n", argv[0]);
      return 2;
    }
  }
  if (std::system("7z i >/dev/null 2>&1") != 0) {
    std::fprintf(stderr, "7z (p7zip-full) is needed for the comparison\n");
    return 1;
  }

  std::filesystem::path folder;
  if (zip.empty()) {
    folder = std::filesystem::temp_directory_path() / ("ashtint_archive_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    zip = (folder / "large.pkg").string();
    std::printf("generating a %d MB stored package with python's zipfile...\n", sizeMb);
    std::fflush(stdout);
    const auto start = Clock::now();
    if (!GeneratePackage(zip, sizeMb)) {
      std::fprintf(stderr, "generating the package failed\n");
      return 1;
    }
    std::printf("  generated in %.1f s\n", Seconds(start));
  }

  int status = 0;
  try {
    // Warm the page cache once so that both sides read from memory.
    std::system(("cat " + Quote(zip) + " > /dev/null").c_str());
    double best7z = 1e30, bestOurs = 1e30;
    TRun run;
    for (int r = 0; r < rounds; ++r) {
      auto start = Clock::now();
      if (std::system(("7z t " + Quote(zip) + " > /dev/null 2>&1").c_str()) != 0) throw std::runtime_error("7z t failed");
      best7z = std::min(best7z, Seconds(start));
      start = Clock::now();
      run = ListAndExtract(zip);
      bestOurs = std::min(bestOurs, Seconds(start));
    }
    std::printf("package: %s, %u items, %.1f MB unpacked\n", zip.c_str(), run.items, static_cast<double>(run.bytes) / 1048576.0);
    std::printf("best of %d rounds:\n", rounds);
    std::printf("  7z t                        %8.3f s\n", best7z);
    std::printf("  list + extract every item   %8.3f s\n", bestOurs);
    std::printf("  ratio (ours / 7z t)         %8.2f\n", bestOurs / best7z);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "benchmark failed: %s\n", e.what());
    status = 1;
  }
  if (!folder.empty() && !keep) std::filesystem::remove_all(folder);
  else if (!folder.empty()) std::printf("kept %s\n", zip.c_str());
  return status;
}
