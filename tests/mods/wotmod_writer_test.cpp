#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "archive/archive_test_support.h"
#include "common/exceptions.h"
#include "mods/wotmod_writer.h"

using namespace ashtint;
using namespace ashtint::test;
namespace fs = std::filesystem;

namespace {

const std::string kMeta = "<root>\r\n    <id>mod.test.Pack \t</id>\r\n    <version>1</version>\r\n</root>\r\n";

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Entry names of a package as python's zipfile reads it; every entry must be stored and whole.
std::vector<std::string> Entries(const std::string& zip) {
  bool ok = false;
  std::vector<std::string> names;
  for (const auto& e : PythonList(zip, &ok)) {
    EXPECT_EQ(e.method, 0) << zip << ": " << e.name;
    names.push_back(e.name);
  }
  EXPECT_TRUE(ok) << zip;
  return names;
}

std::string EntryText(const std::string& zip, const std::string& name) {
  return Capture(ZipTool() + " read " + Quote(zip) + " " + Quote(name));
}

// Files of 400 bytes: with a limit of 1000 two of them fill a part, the walk giving the
// parts {1, 2}, {4, 5} and {3, meta.xml, properties.xml}.
void MakeTree(const std::string& root, bool withProperties) {
  for (const char* name : {"a/1.dds", "a/2.dds", "b/3.dds", "b/c/4.dds", "b/c/5.dds"}) WriteFile(root + name, std::string(400, 'x'));
  WriteFile(root + "meta.xml", kMeta);
  if (withProperties) WriteFile(root + "properties.xml", "<root/>");
}

}  // namespace

TEST(WotmodWriter, InsertBeforeIdTakesTheFirstIdOnly) {
  EXPECT_EQ(InsertBeforeId("<id>mod.AshtintCreator.AllMods</id>", "_Part2"), "<id>mod.AshtintCreator.AllMods_Part2</id>");
  EXPECT_EQ(InsertBeforeId("<id>x \t </id><id>y</id>", "_P"), "<id>x_P \t </id><id>y</id>");
  EXPECT_EQ(InsertBeforeId("<id>x</ID>", "_P"), "<id>x</ID>");
}

TEST(WotmodWriter, SmallTreeIsOnePackageOfStoredEntries) {
  TempFolder work, mods;
  WriteFile(work / "a/x.txt", "x-data");
  WriteFile(work / "b/deep/z.dds", std::string(70000, 'z'));
  WriteFile(work / "meta.xml", kMeta);
  WriteFile(work / "properties.xml", "<root/>");
  const std::string file = mods / "sub/dir/pack.wotmod";  // folders made on the way
  WriteFile(file, "an older package");
  std::vector<std::string> log;
  ASSERT_TRUE(CreateWotmod(file, work.Path(), LibraryPath(), [&](const std::string& s) { log.push_back(s); }));
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(Entries(file), (std::vector<std::string>{"a/x.txt", "b/deep/z.dds", "meta.xml", "properties.xml"}));
  EXPECT_EQ(EntryText(file, "meta.xml"), kMeta);
  EXPECT_GT(fs::file_size(file), 70000u);  // stored: deflate would shrink it to almost nothing
  EXPECT_EQ(FolderNames(mods / "sub/dir"), std::vector<std::string>{"pack.wotmod"});
}

TEST(WotmodWriter, SplitPartsCarryOwnDescriptors) {
  TempFolder work, mods;
  MakeTree(work.Path(), true);
  const std::string stem = mods / "pack";
  std::vector<std::string> log;
  ASSERT_TRUE(CreateWotmod(stem + ".wotmod", work.Path(), LibraryPath(),
                           [&](const std::string& s) { log.push_back(s); }, 1000));
  const std::vector<std::vector<std::string>> expected = {
      {"a/1.dds", "a/2.dds", "properties.xml", "meta.xml"},
      {"b/c/4.dds", "b/c/5.dds", "properties.xml", "meta.xml"},
      {"b/3.dds", "meta.xml", "properties.xml"},
  };
  std::vector<std::string> expectedLog = {"   formed packages: 3"};
  for (int n = 1; n <= 3; ++n) {
    const std::string suffix = "_Part" + std::to_string(n), part = stem + suffix + ".wotmod";
    EXPECT_EQ(Entries(part), expected[static_cast<std::size_t>(n - 1)]);
    EXPECT_EQ(EntryText(part, "meta.xml"), "<root>\r\n    <id>mod.test.Pack" + suffix + " \t</id>" + kMeta.substr(kMeta.find("</id>") + 5));
    expectedLog.push_back("   meta-file modified: " + suffix);
    expectedLog.push_back("   package created: " + part);
  }
  EXPECT_EQ(log, expectedLog);
  EXPECT_EQ(FolderNames(mods.Path()), (std::vector<std::string>{"pack_Part1.wotmod", "pack_Part2.wotmod", "pack_Part3.wotmod"}));
  EXPECT_EQ(ReadFile(work / "meta.xml"), kMeta);  // the work folder gets its own copy back

  // Without properties.xml; then with the meta item last (byte order puts "Properties.xml"
  // before "meta.xml", and the names are matched ignoring case).
  TempFolder other;
  MakeTree(other.Path(), false);
  ASSERT_TRUE(CreateWotmod(mods / "p.wotmod", other.Path(), LibraryPath(), nullptr, 1000));
  EXPECT_EQ(Entries(mods / "p_Part1.wotmod"), (std::vector<std::string>{"a/1.dds", "a/2.dds", "meta.xml"}));
  WriteFile(other / "Properties.xml", "<p/>");
  ASSERT_TRUE(CreateWotmod(mods / "q.wotmod", other.Path(), LibraryPath(), nullptr, 1000));
  EXPECT_EQ(Entries(mods / "q_Part2.wotmod"), (std::vector<std::string>{"b/c/4.dds", "b/c/5.dds", "Properties.xml", "meta.xml"}));
}

TEST(WotmodWriter, FailedSplitLeavesNoPartAndNoTemporaryFile) {
  TempFolder work, mods;
  MakeTree(work.Path(), true);
  fs::create_directory(mods / "pack_Part2.wotmod");  // the second part cannot take its name
  std::vector<std::string> log;
  EXPECT_FALSE(CreateWotmod(mods / "pack.wotmod", work.Path(), LibraryPath(),
                            [&](const std::string& s) { log.push_back(s); }, 1000));
  EXPECT_EQ(FolderNames(mods.Path()), std::vector<std::string>{"pack_Part2.wotmod"});
  EXPECT_TRUE(fs::is_empty(mods / "pack_Part2.wotmod"));
  EXPECT_EQ(ReadFile(work / "meta.xml"), kMeta);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back().rfind("   error: ", 0), 0u) << log.back();
  EXPECT_NE(log.back().find("pack_Part2.wotmod"), std::string::npos) << log.back();
}

TEST(WotmodWriter, BadInputFailsCleanly) {
  TempFolder work, mods;
  // A meta.xml below the root only: packed as it is into one package, refused for a split.
  WriteFile(work / "a/1.dds", std::string(400, '1'));
  WriteFile(work / "a/2.dds", std::string(400, '2'));
  WriteFile(work / "b/meta.xml", kMeta);
  EXPECT_FALSE(CreateWotmod(mods / "split.wotmod", work.Path(), LibraryPath(), nullptr, 500));
  EXPECT_TRUE(fs::is_empty(mods.Path()));
  ASSERT_TRUE(CreateWotmod(mods / "whole.wotmod", work.Path(), LibraryPath(), nullptr));
  EXPECT_EQ(Entries(mods / "whole.wotmod"), (std::vector<std::string>{"a/1.dds", "a/2.dds", "b/meta.xml"}));
  const std::string older = ReadFile(mods / "whole.wotmod");

  // A file that fails while the package is written (reading /proc/self/mem at 0 does): the
  // package of the same name stays as it was.
  TempFolder unreadable;
  WriteFile(unreadable / "meta.xml", kMeta);
  fs::create_symlink("/proc/self/mem", unreadable / "bad.dds");
  EXPECT_FALSE(CreateWotmod(mods / "whole.wotmod", unreadable.Path(), LibraryPath(), nullptr));
  EXPECT_EQ(ReadFile(mods / "whole.wotmod"), older);

  TempFolder empty;  // an empty meta.xml cannot carry a part identifier
  MakeTree(empty.Path(), true);
  WriteFile(empty / "meta.xml", "");
  EXPECT_FALSE(CreateWotmod(mods / "e.wotmod", empty.Path(), LibraryPath(), nullptr, 1000));
  EXPECT_FALSE(CreateWotmod(mods / "m.wotmod", work / "missing", LibraryPath(), nullptr));
  EXPECT_FALSE(CreateWotmod(mods / "l.wotmod", work.Path(), work / "no-7z.so", nullptr));
  EXPECT_EQ(FolderNames(mods.Path()), std::vector<std::string>{"whole.wotmod"});
}

TEST(WotmodWriter, DefaultLimitIsExact) {
  // Sparse files: only their sizes count, no gigabytes are written.
  TempFolder work, mods;
  const std::uint64_t half = 0x3FF80000, limit = static_cast<std::uint64_t>(WotmodBatchSize);
  WriteFile(work / "x/big.dds", "");
  WriteFile(work / "x/rest.dds", "");
  fs::resize_file(work / "x/big.dds", half);
  fs::resize_file(work / "x/rest.dds", limit - half - 1);
  EXPECT_EQ(PrepareWotmod(work.Path(), LibraryPath())->GetBatchList().size(), 1u);
  fs::resize_file(work / "x/rest.dds", limit - half);
  EXPECT_EQ(PrepareWotmod(work.Path(), LibraryPath())->GetBatchList().size(), 2u);
  // At the limit a split is due, which this tree without descriptors cannot give.
  EXPECT_FALSE(CreateWotmod(mods / "big.wotmod", work.Path(), LibraryPath(), nullptr));
  EXPECT_TRUE(fs::is_empty(mods.Path()));
}

TEST(WotmodWriter, ContentHeldInMemoryPacksLikeTheFolderAndSpillsPastItsLimit) {
  // The five files of MakeTree handed to the content: the first two stay in memory (limit
  // 1000), the others go to the folder. The held files come first in folder-walk order, then
  // the folder's, its root files last, and the parts split as from a folder.
  TempFolder work, mods;
  const std::string root = work.Path();
  TPackageContent content(root, 1000);
  for (const char* name : {"b/c/5.dds", "a/1.dds", "b/3.dds", "a/2.dds", "b/c/4.dds"})
    ASSERT_TRUE(content.Save(TBytesArray(400, 'x'), root + name));
  EXPECT_EQ(content.MemoryBytes(), 800u);
  EXPECT_TRUE(fs::exists(work / "b/3.dds"));
  EXPECT_FALSE(fs::exists(work / "a/1.dds"));
  EXPECT_FALSE(content.Save(TBytesArray(4, 'x'), mods / "outside.dds"));
  WriteFile(work / "meta.xml", kMeta);
  const std::string stem = mods / "pack";
  ASSERT_TRUE(CreateWotmod(stem + ".wotmod", root, LibraryPath(), nullptr, 1000, &content));
  EXPECT_EQ(Entries(stem + "_Part1.wotmod"), (std::vector<std::string>{"a/1.dds", "b/c/5.dds", "meta.xml"}));
  EXPECT_EQ(Entries(stem + "_Part2.wotmod"), (std::vector<std::string>{"a/2.dds", "b/c/4.dds", "meta.xml"}));
  EXPECT_EQ(Entries(stem + "_Part3.wotmod"), (std::vector<std::string>{"b/3.dds", "meta.xml"}));
  EXPECT_EQ(EntryText(stem + "_Part1.wotmod", "b/c/5.dds"), std::string(400, 'x'));

  // A file saved again replaces the one held; one that went to the folder stays there.
  ASSERT_TRUE(content.Save(TBytesArray(300, 'y'), root + "a/1.dds"));
  ASSERT_TRUE(content.Save(TBytesArray(10, 'z'), root + "b/3.dds"));
  EXPECT_EQ(content.MemoryBytes(), 700u);
  EXPECT_EQ(ReadFile(work / "b/3.dds"), std::string(10, 'z'));
  content.Clear();
  EXPECT_TRUE(content.Empty());
}
