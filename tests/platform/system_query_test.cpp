#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "platform/disk_space.h"
#include "platform/executable_path.h"
#include "platform/guid.h"
#include "platform/processor_count.h"
#include "platform/temp_folder.h"

namespace ashtint {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value, 1); else unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1); else unsetenv(name_);
  }
 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(ProcessorCount, MatchesOnlineProcessors) {
  const unsigned n = LogicalProcessorCount();
  EXPECT_GE(n, 1u);
  EXPECT_EQ(n, static_cast<unsigned>(sysconf(_SC_NPROCESSORS_ONLN)));
}

TEST(TempFolder, FollowsTmpdirAndAlwaysEndsInSeparator) {
  {
    ScopedEnv env("TMPDIR", "/var/tmp");
    EXPECT_EQ(SystemTempFolder(), "/var/tmp/");
  }
  {
    ScopedEnv env("TMPDIR", "/var/tmp/");
    EXPECT_EQ(SystemTempFolder(), "/var/tmp/");
  }
  {
    ScopedEnv env("TMPDIR", "");
    EXPECT_EQ(SystemTempFolder(), "/tmp/");
  }
  {
    ScopedEnv env("TMPDIR", nullptr);
    EXPECT_EQ(SystemTempFolder(), "/tmp/");
  }
}

TEST(DiskSpace, DrivePartOfPaths) {
  EXPECT_EQ(PathDrive("/home/user/mods/"), "/");
  EXPECT_EQ(PathDrive("mods/1.24/"), "");
  EXPECT_EQ(PathDrive(""), "");
}

TEST(DiskSpace, FolderThatDoesNotExistYetIsAskedThroughItsParent) {
  const fs::path tmp = fs::temp_directory_path();
  const auto here = VolumeFreeBytes(tmp.string());
  const auto below = VolumeFreeBytes((tmp / "no such folder" / "deeper" / "{GUID}" / "res").string() + "/");
  ASSERT_TRUE(here.has_value());
  ASSERT_TRUE(below.has_value());
  EXPECT_GT(*here, 0u);
  // Other processes write meanwhile; the two answers come from one file system.
  const auto diff = *here > *below ? *here - *below : *below - *here;
  EXPECT_LT(diff, 256u * 1024 * 1024);
  EXPECT_TRUE(VolumeFreeBytes("relative/not/there").has_value());
}

TEST(DiskSpace, SameVolumeComparesFileSystems) {
  const fs::path tmp = fs::temp_directory_path();
  EXPECT_TRUE(SameVolume(tmp.string(), (tmp / "missing" / "child").string()));
  EXPECT_TRUE(SameVolume("/", "/"));
  // /proc is always a file system of its own.
  EXPECT_FALSE(SameVolume("/proc/self", tmp.string()));
  EXPECT_FALSE(SameVolume("/proc/", "/"));
}

TEST(Guid, RegistryTextFormOfARandomVersion4Identifier) {
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) {
    const std::string g = NewGuidText();
    ASSERT_EQ(g.size(), 38u) << g;
    EXPECT_EQ(g.front(), '{');
    EXPECT_EQ(g.back(), '}');
    for (std::size_t k = 1; k < 37; ++k) {
      if (k == 9 || k == 14 || k == 19 || k == 24) {
        EXPECT_EQ(g[k], '-') << g;
      } else {
        EXPECT_TRUE((g[k] >= '0' && g[k] <= '9') || (g[k] >= 'A' && g[k] <= 'F')) << g;
      }
    }
    EXPECT_EQ(g[15], '4') << g;
    EXPECT_NE(std::string("89AB").find(g[20]), std::string::npos) << g;
    seen.insert(g);
  }
  EXPECT_EQ(seen.size(), 50u);
}

TEST(Guid, BytesPrintInOrder) {
  const std::array<std::uint8_t, 16> b{0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef,
                                       0x00, 0x0f, 0xf0, 0xff, 0x10, 0x20, 0x30, 0x40};
  EXPECT_EQ(GuidBytesToText(b), "{01234567-89AB-CDEF-000F-F0FF10203040}");
}

TEST(ExecutablePath, NamesThisTestProgram) {
  const std::string exe = ExecutableFile();
  ASSERT_FALSE(exe.empty());
  EXPECT_TRUE(fs::is_regular_file(exe));
  EXPECT_EQ(fs::path(exe).filename(), "test_platform");
  const std::string folder = ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(folder + "test_platform", exe);
}

}  // namespace
}  // namespace ashtint
