#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "common/text.h"
#include "engine/system_facts.h"
#include "platform/processor_count.h"

namespace ashtint {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t MiB = 1048576;

// Drives named like "C:" with a fixed amount of free bytes each; counts the questions asked.
struct FakeDrives {
  std::map<std::string, std::optional<std::uint64_t>> freeBytes;
  int asked = 0;

  static std::string Drive(std::string_view p) {
    const auto colon = p.find(':');
    return colon == std::string_view::npos ? std::string() : std::string(p.substr(0, colon + 1));
  }
  TFreeSpaceQueries Queries() {
    return TFreeSpaceQueries{
        [](std::string_view p) { return Drive(p); },
        [this](const std::string& p) {
          ++asked;
          const auto it = freeBytes.find(UpperCase(Drive(p)));
          return it == freeBytes.end() ? std::optional<std::uint64_t>() : it->second;
        },
        [](const std::string& a, const std::string& b) { return SameText(Drive(a), Drive(b)); }};
  }
};

TEST(SystemFacts, CPUCountIsAtLeastOneAndFitsSixteenBits) {
  EXPECT_EQ(CPUCountFromReported(0), 1);
  EXPECT_EQ(CPUCountFromReported(1), 1);
  EXPECT_EQ(CPUCountFromReported(65535), 65535);
  EXPECT_EQ(CPUCountFromReported(65536), 1);
  EXPECT_EQ(GetCPUCount(), CPUCountFromReported(LogicalProcessorCount()));
  EXPECT_GE(GetCPUCount(), 1);
}

TEST(SystemFacts, TempFolderEndsInSeparator) {
  const std::string t = GetTempFolder();
  ASSERT_FALSE(t.empty());
  EXPECT_EQ(t.back(), PathDelim);
}

TEST(CheckFreeSpace, OneDriveNeedsTwiceTheEstimatePlusATenth) {
  FakeDrives d;
  d.freeBytes["C:"] = 100 * MiB;
  const auto q = d.Queries();
  EXPECT_FALSE(CheckFreeSpace("C:\\Games\\WoT\\mods\\1.24.0.1\\", "c:\\Temp\\{G}\\res\\", 50 * MiB, q));  // 110 MiB
  EXPECT_TRUE(CheckFreeSpace("C:\\Games\\WoT\\mods\\1.24.0.1\\", "C:\\Temp\\{G}\\res\\", 16 * MiB, q));   // 35.2 MiB
  // Exactly the need is enough; one byte less is not.
  d.freeBytes["C:"] = 110 * MiB;
  EXPECT_TRUE(CheckFreeSpace("C:\\m\\", "C:\\t\\", 50 * MiB, q));
  d.freeBytes["C:"] = 110 * MiB - 1;
  EXPECT_FALSE(CheckFreeSpace("C:\\m\\", "C:\\t\\", 50 * MiB, q));
}

TEST(CheckFreeSpace, TwoDrivesNeedTheEstimatePlusATenthEach) {
  FakeDrives d;
  d.freeBytes["D:"] = 1024 * MiB;
  d.freeBytes["C:"] = 60 * MiB;
  const auto q = d.Queries();
  EXPECT_TRUE(CheckFreeSpace("D:\\WoT\\mods\\", "C:\\Temp\\", 50 * MiB, q));  // 55 MiB on each
  d.freeBytes["C:"] = 54 * MiB;
  EXPECT_FALSE(CheckFreeSpace("D:\\WoT\\mods\\", "C:\\Temp\\", 50 * MiB, q));
  d.freeBytes["D:"] = 54 * MiB;
  d.freeBytes["C:"] = 1024 * MiB;
  EXPECT_FALSE(CheckFreeSpace("D:\\WoT\\mods\\", "C:\\Temp\\", 50 * MiB, q));
}

TEST(CheckFreeSpace, WithoutPackagesOnlyTheModsDriveCounts) {
  FakeDrives d;
  d.freeBytes["C:"] = 100 * MiB;
  const auto q = d.Queries();
  EXPECT_TRUE(CheckFreeSpace("C:\\mods\\", "", 90 * MiB, q));  // 99 MiB
  EXPECT_EQ(d.asked, 1);
  EXPECT_FALSE(CheckFreeSpace("C:\\mods\\", "", 91 * MiB, q));  // 100.1 MiB
}

TEST(CheckFreeSpace, UnansweredQuestionsPass) {
  FakeDrives d;
  d.freeBytes["C:"] = 0;
  const auto q = d.Queries();
  // A relative mods folder is not asked about at all.
  EXPECT_TRUE(CheckFreeSpace("mods\\1.24\\", "C:\\Temp\\", 50 * MiB, q));
  EXPECT_EQ(d.asked, 0);
  // A drive the system cannot answer for passes; the other is still tested.
  d.freeBytes["E:"] = std::nullopt;
  EXPECT_TRUE(CheckFreeSpace("E:\\mods\\", "E:\\Temp\\", 50 * MiB, q));
  EXPECT_FALSE(CheckFreeSpace("E:\\mods\\", "C:\\Temp\\", 50 * MiB, q));
  // A need beyond any disk fails instead of wrapping around.
  d.freeBytes["D:"] = std::numeric_limits<std::uint64_t>::max();
  EXPECT_FALSE(CheckFreeSpace("D:\\m\\", "", std::numeric_limits<std::uint64_t>::max() / 4, q));
  EXPECT_TRUE(CheckFreeSpace("D:\\m\\", "", 1ull << 60, q));
}

TEST(CheckFreeSpace, RealFileSystems) {
  const std::string tmp = GetTempFolder();
  EXPECT_TRUE(CheckFreeSpace(tmp + "not yet/mods/", tmp + "{GUID}/res/", 1));
  EXPECT_FALSE(CheckFreeSpace(tmp + "not yet/mods/", tmp + "{GUID}/res/", 1ull << 60));
  EXPECT_FALSE(CheckFreeSpace(tmp + "mods/", "", 1ull << 60));
  EXPECT_TRUE(CheckFreeSpace("relative/mods/", tmp, 1ull << 60));
}

// A scratch folder under the temporary folder, removed afterwards.
class ScratchFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    root_ = fs::temp_directory_path() / ("ashtint_facts_" + std::to_string(getpid()) + "_" + std::to_string(rd()));
    fs::create_directories(root_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  fs::path Make(const std::string& rel, const char* text = nullptr) {
    const fs::path p = root_ / rel;
    if (text) {
      fs::create_directories(p.parent_path());
      std::ofstream(p, std::ios::binary) << text;
    } else {
      fs::create_directories(p);
    }
    return p;
  }
  fs::path root_;
};

using IsFolderEmptyTest = ScratchFolder;

TEST_F(IsFolderEmptyTest, OnlyFilesAtAnyDepthCount) {
  Make("tree/a/b/c");
  Make("tree/d");
  EXPECT_TRUE(IsFolderEmpty((root_ / "tree").string()));
  EXPECT_TRUE(IsFolderEmpty((root_ / "tree").string() + "/"));
  Make("tree/a/b/c/.hidden", "");
  EXPECT_FALSE(IsFolderEmpty((root_ / "tree").string()));
  EXPECT_TRUE(IsFolderEmpty((root_ / "missing").string()));
  EXPECT_TRUE(IsFolderEmpty(""));
}

TEST_F(IsFolderEmptyTest, LinksAreEntriesAndNeverFollowed) {
  Make("tree/sub");
  fs::create_directory_symlink(root_ / "tree", root_ / "tree/sub/loop");  // would never end if followed
  EXPECT_FALSE(IsFolderEmpty((root_ / "tree").string()));
  Make("empty");
  Make("tree2");
  fs::create_directory_symlink(root_ / "empty", root_ / "tree2/link");
  EXPECT_FALSE(IsFolderEmpty((root_ / "tree2").string()));
}

using DeleteFolderTreeTest = ScratchFolder;

TEST_F(DeleteFolderTreeTest, RemovesTheWholeTree) {
  Make("tree/a/b/c/deep.dds", "x");
  Make("tree/a/.hidden", "x");
  Make("tree/empty");
  Make("tree/top.xml", "x");
  DeleteFolderTree((root_ / "tree").string() + "/");
  EXPECT_FALSE(fs::exists(root_ / "tree"));
  EXPECT_TRUE(fs::exists(root_));
  DeleteFolderTree((root_ / "missing").string());  // nothing to do, no error
}

TEST_F(DeleteFolderTreeTest, LinksGoButTheirTargetsStay) {
  Make("outside/keep.txt", "precious");
  Make("outside/inner/keep2.txt", "precious");
  Make("tree/work/file.bin", "x");
  fs::create_directory_symlink(root_ / "outside", root_ / "tree/work/dirlink");
  fs::create_symlink(root_ / "outside/keep.txt", root_ / "tree/filelink");
  DeleteFolderTree((root_ / "tree").string());
  EXPECT_FALSE(fs::exists(fs::symlink_status(root_ / "tree")));
  EXPECT_TRUE(fs::exists(root_ / "outside/keep.txt"));
  EXPECT_TRUE(fs::exists(root_ / "outside/inner/keep2.txt"));

  // The folder named may itself be a link: only the link is removed.
  fs::create_directory_symlink(root_ / "outside", root_ / "toplink");
  DeleteFolderTree((root_ / "toplink").string() + "/");
  EXPECT_FALSE(fs::exists(fs::symlink_status(root_ / "toplink")));
  EXPECT_TRUE(fs::exists(root_ / "outside/inner/keep2.txt"));
}

TEST_F(DeleteFolderTreeTest, EmptyPathIsRefused) {
  Make("cwd/keep.txt", "x");
  const fs::path old = fs::current_path();
  fs::current_path(root_ / "cwd");
  DeleteFolderTree("");
  fs::current_path(old);
  EXPECT_TRUE(fs::exists(root_ / "cwd/keep.txt"));
}

TEST(SystemFacts, StripTrailingSeparators) {
  const std::string d(1, PathDelim);
  EXPECT_EQ(StripTrailingBackslashes("mods" + d + d + d), "mods");
  EXPECT_EQ(StripTrailingBackslashes(d), "");
  EXPECT_EQ(StripTrailingBackslashes("a" + d + "b"), "a" + d + "b");
  EXPECT_EQ(StripTrailingBackslashes(""), "");
}

}  // namespace
}  // namespace ashtint
