#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <thread>

#include "archive/seven_zip_error.h"
#include "archive/seven_zip_in_archive.h"
#include "archive_test_support.h"
#include "common/exceptions.h"
#include "common/text.h"

using namespace ashtint;
using namespace ashtint::test;

namespace {

std::string Bytes(const TMemoryStream& m) { return std::string(m.Bytes().begin(), m.Bytes().end()); }

std::string Pattern(std::size_t size, unsigned seed) {
  std::string s(size, '\0');
  unsigned x = seed * 2654435761u + 1;
  for (auto& c : s) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>((x >> 16) & 0x3F) + ' ';  // compressible but not trivial
  }
  return s;
}

// A source tree with nested folders, an empty file, an empty folder and a UTF-8 name; the map
// holds the expected item paths ('\' separated) and contents.
std::map<std::string, std::string> MakeTree(const std::string& root) {
  std::map<std::string, std::string> files = {
      {"readme.txt", "plain text\n"},
      {"empty.bin", ""},
      {"dirA\\nested\\deeper\\big.dat", Pattern(300000, 1)},
      {"dirA\\a.txt", Pattern(1000, 2)},
      {"dirB\\caf\xC3\xA9 \xE2\x82\xAC.txt", "utf-8 name"},
  };
  for (const auto& [item, data] : files) WriteFile(root + ItemPathToNative(item), data);
  std::filesystem::create_directories(root + "emptydir");
  return files;
}

struct TListing {
  std::map<std::string, std::string> files;  // path -> bytes
  std::vector<std::string> folders;
};

TListing ReadAll(I7zInArchive& archive) {
  TListing r;
  for (std::uint32_t i = 0; i < archive.ItemCount(); ++i) {
    const std::string path = archive.ItemPath(i);
    if (archive.ItemIsFolder(i)) {
      r.folders.push_back(path);
      continue;
    }
    TMemoryStream m;
    archive.ExtractItem(i, m, false);
    EXPECT_EQ(static_cast<std::uint64_t>(m.Size()), archive.ItemSize(i)) << path;
    r.files[path] = Bytes(m);
  }
  return r;
}

class ArchiveRead : public ::testing::Test {
 protected:
  void SetUp() override {
    expected_ = MakeTree(src_.Path());
    int rc = 0;
    Capture(ZipTool() + " make-python " + Quote(pyZip_) + " " + Quote(src_.Path()), &rc);
    ASSERT_EQ(rc, 0);
    Capture("cd " + Quote(src_.Path()) + " && zip -q -r " + Quote(infoZip_) + " .", &rc);
    ASSERT_EQ(rc, 0);
  }

  TempFolder src_, out_;
  std::string pyZip_ = out_ / "python.zip";
  std::string infoZip_ = out_ / "infozip.zip";
  std::map<std::string, std::string> expected_;
};

TEST_F(ArchiveRead, ListsAndExtractsZipsOfBothIndependentWriters) {
  for (const auto& zip : {pyZip_, infoZip_}) {
    SCOPED_TRACE(zip);
    auto archive = CreateInArchive(szabi::CLSID_CFormatZip, LibraryPath());
    archive->OpenFile(zip);
    const TListing listing = ReadAll(*archive);
    EXPECT_EQ(listing.files, expected_);  // paths with '\', exact bytes, UTF-8 name intact
    for (const char* folder : {"dirA", "dirA\\nested", "dirA\\nested\\deeper", "dirB", "emptydir"})
      EXPECT_NE(std::find(listing.folders.begin(), listing.folders.end(), folder), listing.folders.end()) << folder;
    archive->Close();
  }
}

TEST_F(ArchiveRead, ExtractWritesAtTheStreamPositionAndTestModeWritesNothing) {
  auto archive = CreateInArchive(szabi::CLSID_CFormatZip, LibraryPath());
  archive->OpenFile(pyZip_);
  std::uint32_t readme = UINT32_MAX;
  for (std::uint32_t i = 0; i < archive->ItemCount(); ++i)
    if (archive->ItemPath(i) == "readme.txt") readme = i;
  ASSERT_NE(readme, UINT32_MAX);

  TMemoryStream m;
  m.WriteBuffer("XYZ", 3);
  archive->ExtractItem(readme, m, false);
  EXPECT_EQ(Bytes(m), "XYZplain text\n");

  TMemoryStream untouched;
  archive->ExtractItem(readme, untouched, true);
  EXPECT_EQ(untouched.Size(), 0);

  // The handler itself has no bounds check, so the binding must have one.
  EXPECT_THROW(archive->ItemPath(archive->ItemCount()), ERangeError);
  EXPECT_THROW(archive->ExtractItem(archive->ItemCount(), m, false), ERangeError);
}

TEST_F(ArchiveRead, ReopensAfterCloseAndReadsFromAStream) {
  auto archive = CreateInArchive(szabi::CLSID_CFormatZip, LibraryPath());
  archive->OpenFile(pyZip_);
  const std::uint32_t count = archive->ItemCount();
  archive->Close();
  EXPECT_THROW(archive->ItemCount(), E7zError);
  archive->OpenFile(infoZip_);
  EXPECT_EQ(archive->ItemCount(), count);

  const std::string raw = ReadFile(pyZip_);
  TMemoryStream zipBytes(TBytesArray(raw.begin(), raw.end()));
  archive->OpenStream(zipBytes);  // closes the file first
  EXPECT_EQ(ReadAll(*archive).files, expected_);
}

TEST_F(ArchiveRead, DamagedAndForeignFilesRaiseClearErrors) {
  auto archive = CreateInArchive(szabi::CLSID_CFormatZip, LibraryPath());

  // Not a zip at all, random bytes, an empty file: the handler answers 1, "not of my kind".
  WriteFile(out_ / "text.pkg", "this is not an archive\n");
  WriteFile(out_ / "random.pkg", std::string("\x8f\x13\xd2\x07\xaa\x5b\x00\x91\xfe\x3c", 10));
  WriteFile(out_ / "empty.pkg", "");
  for (const char* name : {"text.pkg", "random.pkg", "empty.pkg"}) {
    try {
      archive->OpenFile(out_ / name);
      FAIL() << name << " opened";
    } catch (const E7zError& e) {
      EXPECT_EQ(e.Code(), 1);
      EXPECT_EQ(std::string(e.what()), out_ / name + ": not a zip archive") << "names the package";
      EXPECT_STREQ(e.ClassName(), "E7zError");
    }
  }
  EXPECT_THROW(archive->OpenFile(out_ / "missing.pkg"), EInOutError);

  // Cut short: the library opens it without complaint, only its flags tell.
  const std::string whole = ReadFile(pyZip_);
  WriteFile(out_ / "cut.pkg", whole.substr(0, whole.size() / 2));
  try {
    archive->OpenFile(out_ / "cut.pkg");
    FAIL() << "truncated archive opened";
  } catch (const E7zError& e) {
    EXPECT_NE(std::string(e.what()).find("unexpected end"), std::string::npos) << e.what();
  }

  // A flipped byte inside stored data: the archive opens, the item fails its CRC check.
  std::string bytes = ReadFile(infoZip_);
  const std::string marker = "plain text\n";  // small files are stored by Info-ZIP
  const auto at = bytes.find(marker);
  ASSERT_NE(at, std::string::npos);
  bytes[at] ^= 0x20;
  WriteFile(out_ / "crc.pkg", bytes);
  archive->OpenFile(out_ / "crc.pkg");
  for (std::uint32_t i = 0; i < archive->ItemCount(); ++i) {
    if (archive->ItemPath(i) != "readme.txt") continue;
    TMemoryStream m;
    try {
      archive->ExtractItem(i, m, false);
      FAIL() << "corrupt item extracted without an error";
    } catch (const E7zError& e) {
      EXPECT_NE(std::string(e.what()).find("CRC error"), std::string::npos) << e.what();
    }
  }
}

TEST_F(ArchiveRead, ReadErrorDuringExtractionCarriesTheSystemsText) {
  TTestSource package(ReadFile(infoZip_));
  auto archive = CreateInArchive(szabi::CLSID_CFormatZip, LibraryPath());
  archive->OpenStream(package);
  package.beforeRead = [] { throw EInOutError("Cannot read file \"game.pkg\". Input/output error"); };
  TMemoryStream m;
  try {
    archive->ExtractItem(0, m, false);
    FAIL() << "extracted from a package that cannot be read";
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "Cannot read file \"game.pkg\". Input/output error");
  }
}

// The mapped copies of a library file in this process.
int Mappings(const std::string& path) {
  std::ifstream maps("/proc/self/maps");
  int n = 0;
  for (std::string line; std::getline(maps, line);) n += line.find(path) != std::string::npos;
  return n;
}

TEST_F(ArchiveRead, LibraryIsLoadedOncePerProcessAndStays) {
  // A private copy, so that no other test's use of the library counts.
  const std::string copy = out_ / "own7z.so";
  std::filesystem::copy_file(LibraryPath(), copy);
  { CreateInArchive(szabi::CLSID_CFormatZip, copy)->OpenFile(pyZip_); }
  const int mapped = Mappings(copy);
  EXPECT_GT(mapped, 0) << "unloaded when its only archive object went";
  std::vector<I7zInArchivePtr> many;
  for (int i = 0; i < 8; ++i) many.push_back(CreateInArchive(szabi::CLSID_CFormatZip, copy));
  EXPECT_EQ(Mappings(copy), mapped) << "loaded again";
}

TEST_F(ArchiveRead, TwoThreadsReadTwoPackagesAtOnce) {
  std::atomic<int> failures{0};
  auto reader = [&](const std::string& zip) {
    try {
      auto archive = CreateInArchive(szabi::CLSID_CFormatZip, LibraryPath());
      for (int round = 0; round < 15; ++round) {
        archive->OpenFile(zip);
        if (ReadAll(*archive).files != expected_) ++failures;
        archive->Close();
      }
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
      ++failures;
    }
  };
  std::thread a(reader, pyZip_), b(reader, infoZip_);
  a.join();
  b.join();
  EXPECT_EQ(failures, 0);
}

TEST(ArchiveLibrary, LoadingErrorsNameTheLibrary) {
  const std::string missing = "/nonexistent/folder/7z.so";
  try {
    CreateInArchive(szabi::CLSID_CFormatZip, missing);
    FAIL();
  } catch (const E7zError& e) {
    EXPECT_EQ(std::string(e.what()), "Error loading library " + missing);
  }
  const std::string dir = ASHTINT_FAKE7Z_DIR;
  const std::pair<std::string, std::string> cases[] = {
      {dir + "/fake7z_no_create.so", dir + "/fake7z_no_create.so is not a 7z library"},
      {dir + "/fake7z_no_handler.so", dir + "/fake7z_no_handler.so is not a Format library"},
      {dir + "/fake7z_no_module_prop.so", dir + "/fake7z_no_module_prop.so is not a compatible 7z library"},
      {dir + "/fake7z_old_layout.so", dir + "/fake7z_old_layout.so is not a compatible 7z library"},
  };
  for (const auto& [path, text] : cases) {
    try {
      CreateInArchive(szabi::CLSID_CFormatZip, path);
      ADD_FAILURE() << path << " was accepted";
    } catch (const E7zError& e) {
      EXPECT_EQ(std::string(e.what()).substr(0, text.size()), text);
    }
  }
  // An unknown handler class is refused by CreateObject on first use, with the system's text.
  szabi::GUID unknown = szabi::CLSID_CFormatZip;
  unknown.Data4[5] = 0x77;
  auto archive = CreateInArchive(unknown, LibraryPath());
  TMemoryStream empty;
  try {
    archive->OpenStream(empty);
    FAIL();
  } catch (const E7zError& e) {
    EXPECT_STREQ(e.what(), "ClassFactory cannot supply requested class");
  }
}

TEST(ArchiveLibrary, DefaultPathFindsTheInstalledLibrary) {
  const std::string path = DefaultSevenZipLibraryPath();
  EXPECT_TRUE(std::filesystem::exists(path)) << path;
  EXPECT_EQ(ExtractFileName(path), "7z.so");
}

}  // namespace
