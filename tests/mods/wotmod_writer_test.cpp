#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "archive/module_loader.h"
#include "common/exceptions.h"
#include "mods/wotmod_writer.h"
#include "test_support/run_process.h"
#include "test_support/temp_dir.h"

using namespace ashtint;
namespace fs = std::filesystem;

namespace {

std::string Library() {
  const std::string path = DistributionSevenZipLibraryPath();
  EXPECT_TRUE(fs::exists(path)) << "the 7-Zip library is missing: " << path;
  return path;
}

void Put(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string Python() {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "/usr/bin");
  for (std::string dir; std::getline(dirs, dir, ':');)
    if (!dir.empty() && ::access((dir + "/python3").c_str(), X_OK) == 0) return dir + "/python3";
  return "/usr/bin/python3";
}

// A package as python's zipfile reads it.
struct TZip {
  std::vector<std::string> names;  // in central directory order
  bool allStored = true;
  bool dataOk = false;
  std::string meta;  // the bytes of meta.xml
  std::uint64_t contentSize = 0;
};

TZip ReadZip(const std::string& file) {
  static const char* const kScript = R"(import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    for i in z.infolist():
        print("E", i.compress_type, i.file_size, i.filename, sep="\t")
    if "meta.xml" in z.namelist():
        print("M", z.read("meta.xml").hex(), sep="\t")
    print("T", "OK" if z.testzip() is None else "BAD", sep="\t")
)";
  const auto r = test_support::RunProcess(Python(), {"-c", kScript, file});
  EXPECT_TRUE(r.exited && r.status == 0) << file << ": " << r.err;
  TZip zip;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream f(line);
    std::string tag, a, b, name;
    std::getline(f, tag, '\t');
    if (tag == "E" && std::getline(f, a, '\t') && std::getline(f, b, '\t') && std::getline(f, name)) {
      zip.names.push_back(name);
      zip.allStored = zip.allStored && a == "0";
      zip.contentSize += std::stoull(b);
    } else if (tag == "M" && std::getline(f, a)) {
      for (std::size_t i = 0; i + 1 < a.size(); i += 2) zip.meta += static_cast<char>(std::stoi(a.substr(i, 2), nullptr, 16));
    } else if (tag == "T" && std::getline(f, a)) {
      zip.dataOk = a == "OK";
    }
  }
  return zip;
}

struct TLines {
  std::vector<std::string> lines;
  TLogProc Proc() {
    return [this](const std::string& line) { lines.push_back(line); };
  }
};

const std::string kMeta =
    "<root>\r\n    <id>mod.test.Pack \t</id>\r\n    <version>1</version>\r\n    <name>n</name>\r\n</root>\r\n";

// Files of 400 bytes; with a limit of 1000 two of them fill a part.
void MakeTexturesTree(const std::string& root, bool withProperties) {
  Put(root + "a/1.dds", std::string(400, '1'));
  Put(root + "a/2.dds", std::string(400, '2'));
  Put(root + "b/3.dds", std::string(400, '3'));
  Put(root + "b/c/4.dds", std::string(400, '4'));
  Put(root + "b/c/5.dds", std::string(400, '5'));
  Put(root + "meta.xml", kMeta);
  if (withProperties) Put(root + "properties.xml", "<root>props</root>\r\n");
}

}  // namespace

TEST(WotmodWriter, InsertBeforeIdAndTextFiles) {
  EXPECT_EQ(InsertBeforeId("<id>mod.AshtintCreator.AllMods</id>", "_Part2"), "<id>mod.AshtintCreator.AllMods_Part2</id>");
  EXPECT_EQ(InsertBeforeId("<id>x \t </id><id>y</id>", "_P"), "<id>x_P \t </id><id>y</id>");  // first only
  EXPECT_EQ(InsertBeforeId("<id>x</ID>", "_P"), "<id>x</ID>");
  EXPECT_EQ(InsertBeforeId(" \t</id>", "_P"), "_P \t</id>");

  test_support::TempDir dir;
  const std::string file = dir / "t.xml";
  WriteTextFile(file, std::string("a\0b\xF1", 4));
  EXPECT_EQ(ReadTextFile(file), std::string("a\0b\xF1", 4));
  EXPECT_THROW(WriteTextFile(file, ""), EInOutError);
  EXPECT_THROW(ReadTextFile(dir / "none.xml"), EInOutError);
  EXPECT_EQ(FolderNames(dir.str()), std::vector<std::string>{"t.xml"});
}

TEST(WotmodWriter, SmallTreeIsOnePackageOfStoredEntries) {
  test_support::TempDir work, mods;
  Put(work / "a/x.txt", "x-data");
  Put(work / "b/deep/z.dds", std::string(70000, 'z'));  // would shrink to almost nothing if deflated
  Put(work / ".svn/skip", "not walked");
  Put(work / "meta.xml", kMeta);
  Put(work / "properties.xml", "<root/>");
  const std::string file = mods / "sub/dir/pack.wotmod";  // folders made on the way
  Put(file, "an older package of the same name");

  TLines log;
  ASSERT_TRUE(CreateWotmod(file, work.str(), Library(), log.Proc()));
  EXPECT_TRUE(log.lines.empty());
  const TZip zip = ReadZip(file);
  EXPECT_EQ(zip.names, (std::vector<std::string>{"a/x.txt", "b/deep/z.dds", "meta.xml", "properties.xml"}));
  EXPECT_TRUE(zip.allStored);
  EXPECT_TRUE(zip.dataOk);
  EXPECT_EQ(zip.meta, kMeta);
  EXPECT_EQ(Slurp(work / "meta.xml"), kMeta);
  EXPECT_GT(fs::file_size(file), zip.contentSize);
  EXPECT_EQ(FolderNames(mods / "sub/dir"), std::vector<std::string>{"pack.wotmod"});
}

TEST(WotmodWriter, SplitPartsCarryOwnDescriptors) {
  test_support::TempDir work, mods;
  MakeTexturesTree(work.str(), true);
  const std::string stem = mods / "pack";
  TLines log;
  ASSERT_TRUE(CreateWotmod(stem + ".wotmod", work.str(), Library(), log.Proc(), 1000));

  EXPECT_EQ(FolderNames(mods.str()),
            (std::vector<std::string>{"pack_Part1.wotmod", "pack_Part2.wotmod", "pack_Part3.wotmod"}));
  const std::vector<std::vector<std::string>> expected = {
      {"a/1.dds", "a/2.dds", "properties.xml", "meta.xml"},
      {"b/c/4.dds", "b/c/5.dds", "properties.xml", "meta.xml"},
      {"b/3.dds", "meta.xml", "properties.xml"},
  };
  for (int n = 1; n <= 3; ++n) {
    SCOPED_TRACE(n);
    const TZip part = ReadZip(stem + "_Part" + std::to_string(n) + ".wotmod");
    EXPECT_EQ(part.names, expected[static_cast<std::size_t>(n - 1)]);
    EXPECT_TRUE(part.allStored);
    EXPECT_TRUE(part.dataOk);  // the longer meta.xml than the listing said is stored whole
    EXPECT_EQ(part.meta, InsertBeforeId(kMeta, "_Part" + std::to_string(n)));
    EXPECT_NE(part.meta.find("<id>mod.test.Pack_Part" + std::to_string(n) + " \t</id>"), std::string::npos);
  }
  EXPECT_EQ(Slurp(work / "meta.xml"), kMeta);  // the work folder's own copy is given back
  EXPECT_EQ(log.lines, (std::vector<std::string>{
                           "   formed packages: 3",
                           "   meta-file modified: _Part1",
                           "   package created: " + stem + "_Part1.wotmod",
                           "   meta-file modified: _Part2",
                           "   package created: " + stem + "_Part2.wotmod",
                           "   meta-file modified: _Part3",
                           "   package created: " + stem + "_Part3.wotmod",
                       }));

  // Without properties.xml, and with the meta item found as the very last one (byte order puts
  // "Properties.xml" before "meta.xml", and names are matched ignoring case).
  test_support::TempDir work2, mods2;
  MakeTexturesTree(work2.str(), false);
  ASSERT_TRUE(CreateWotmod(mods2 / "p.wotmod", work2.str(), Library(), nullptr, 1000));
  EXPECT_EQ(ReadZip(mods2 / "p_Part1.wotmod").names, (std::vector<std::string>{"a/1.dds", "a/2.dds", "meta.xml"}));
  Put(work2 / "Properties.xml", "<p/>");
  ASSERT_TRUE(CreateWotmod(mods2 / "q.wotmod", work2.str(), Library(), nullptr, 1000));
  EXPECT_EQ(ReadZip(mods2 / "q_Part1.wotmod").names,
            (std::vector<std::string>{"a/1.dds", "a/2.dds", "Properties.xml", "meta.xml"}));
  EXPECT_EQ(ReadZip(mods2 / "q_Part3.wotmod").meta, InsertBeforeId(kMeta, "_Part3"));
}

TEST(WotmodWriter, FailedSplitLeavesNoPartAndNoTemporaryFile) {
  test_support::TempDir work, mods;
  MakeTexturesTree(work.str(), true);
  // The second part cannot take its name, so the first, already in place, must go again.
  fs::create_directory(mods / "pack_Part2.wotmod");
  TLines log;
  EXPECT_FALSE(CreateWotmod(mods / "pack.wotmod", work.str(), Library(), log.Proc(), 1000));
  EXPECT_EQ(FolderNames(mods.str()), std::vector<std::string>{"pack_Part2.wotmod"});
  EXPECT_TRUE(fs::is_empty(mods / "pack_Part2.wotmod"));
  EXPECT_EQ(Slurp(work / "meta.xml"), kMeta);
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines.back().rfind("   error: ", 0), 0u) << log.lines.back();
  EXPECT_NE(log.lines.back().find("pack_Part2.wotmod"), std::string::npos) << log.lines.back();
}

TEST(WotmodWriter, BadInputFailsCleanly) {
  test_support::TempDir work, mods;
  // Descriptors only below the root: fine for one package, fatal once it must be split.
  Put(work / "a/1.dds", std::string(400, '1'));
  Put(work / "a/2.dds", std::string(400, '2'));
  Put(work / "b/meta.xml", kMeta);
  TLines log;
  EXPECT_FALSE(CreateWotmod(mods / "split.wotmod", work.str(), Library(), log.Proc(), 500));
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[0], "   formed packages: 2");
  EXPECT_NE(log.lines[1].find("meta.xml"), std::string::npos) << log.lines[1];
  EXPECT_TRUE(fs::is_empty(mods.path()));
  EXPECT_EQ(Slurp(work / "b/meta.xml"), kMeta);
  ASSERT_TRUE(CreateWotmod(mods / "whole.wotmod", work.str(), Library(), nullptr));
  EXPECT_EQ(ReadZip(mods / "whole.wotmod").names, (std::vector<std::string>{"a/1.dds", "a/2.dds", "b/meta.xml"}));

  // An empty meta.xml cannot carry a part identifier.
  test_support::TempDir empty;
  MakeTexturesTree(empty.str(), true);
  Put(empty / "meta.xml", "");
  EXPECT_FALSE(CreateWotmod(mods / "e.wotmod", empty.str(), Library(), nullptr, 1000));
  // A file that cannot be read while the package is written: the older package stays.
  test_support::TempDir unreadable;
  Put(unreadable / "meta.xml", kMeta);
  fs::create_symlink("/proc/self/mem", unreadable / "bad.dds");  // reading at 0 fails
  Put(mods / "whole.wotmod.keep", Slurp(mods / "whole.wotmod"));
  EXPECT_FALSE(CreateWotmod(mods / "whole.wotmod", unreadable.str(), Library(), nullptr));
  EXPECT_EQ(Slurp(mods / "whole.wotmod"), Slurp(mods / "whole.wotmod.keep"));
  fs::remove(mods / "whole.wotmod.keep");
  // A missing folder, or a library that is not there.
  EXPECT_FALSE(CreateWotmod(mods / "m.wotmod", work / "missing", Library(), nullptr));
  EXPECT_FALSE(CreateWotmod(mods / "l.wotmod", work.str(), work / "no-7z.so", nullptr));
  EXPECT_EQ(FolderNames(mods.str()), std::vector<std::string>{"whole.wotmod"});
}

TEST(WotmodWriter, DefaultLimitIsExact) {
  // Sparse files: the sizes count, no gigabytes are written.
  test_support::TempDir work, mods;
  const std::uint64_t half = 0x3FF80000;
  const std::string big = work / "x/big.dds", rest = work / "x/rest.dds";
  Put(big, "");
  Put(rest, "");
  fs::resize_file(big, half);
  fs::resize_file(rest, static_cast<std::uint64_t>(WotmodBatchSize) - half - 1);
  EXPECT_EQ(PrepareWotmod(work.str(), Library())->GetBatchList().size(), 1u);
  fs::resize_file(rest, static_cast<std::uint64_t>(WotmodBatchSize) - half);
  EXPECT_EQ(PrepareWotmod(work.str(), Library())->GetBatchList().size(), 2u);
  // Reaching the limit needs a split, which this tree cannot give: refused before writing.
  EXPECT_FALSE(CreateWotmod(mods / "big.wotmod", work.str(), Library(), nullptr));
  EXPECT_TRUE(fs::is_empty(mods.path()));
}
