#include <gtest/gtest.h>

#include <thread>

#include "archive/seven_zip_error.h"
#include "archive/seven_zip_in_archive.h"
#include "archive/seven_zip_out_archive.h"
#include "archive_test_support.h"
#include "common/exceptions.h"
#include "platform/file_stream.h"

using namespace ashtint;
using namespace ashtint::test;

namespace {

// Builds "prefix<n>suffix" (also avoids a false -Wrestrict of g++ 12 on literal + temporary).
std::string Numbered(const char* prefix, int n, const char* suffix) {
  std::string r(prefix);
  r.append(std::to_string(n)).append(suffix);
  return r;
}

std::vector<std::string> ItemPaths(const TBatchList& batch) {
  std::vector<std::string> r;
  for (const auto& item : batch) r.push_back(item.ArchivePath);
  return r;
}

std::vector<std::uint64_t> Sizes(const TBatchList& batch) {
  std::vector<std::uint64_t> r;
  for (const auto& item : batch) r.push_back(item.Size);
  return r;
}

I7zOutArchivePtr StoredWriter() {
  auto archive = CreateOutArchive(szabi::CLSID_CFormatZip, LibraryPath());
  SetCompressionMethod(*archive, 0);
  return archive;
}

// The package tree of a mod: subfolders, root descriptors, and things that must stay out.
void MakeModTree(const std::string& root) {
  WriteFile(root + "a/x.txt", "x-data");
  WriteFile(root + "b/y.txt", std::string(5000, 'y'));
  WriteFile(root + "b/deep/z.dds", std::string(70000, 'z'));
  WriteFile(root + "meta.xml", "<root><id>mod.test</id></root>");
  WriteFile(root + "properties.xml", "<props/>");
  WriteFile(root + ".git/config", "hidden folder content");
}

TEST(ArchiveWrite, AddFilesPutsSubfoldersFirstAndSkipsDotFolders) {
  TempFolder src;
  MakeModTree(src.Path());
  auto archive = StoredWriter();
  archive->AddFiles(src.Path(), "", "*.*", true);
  ASSERT_EQ(archive->GetBatchList().size(), 1u);
  EXPECT_EQ(ItemPaths(archive->GetBatchList()[0]),
            (std::vector<std::string>{"a\\x.txt", "b\\deep\\z.dds", "b\\y.txt", "meta.xml", "properties.xml"}));

  // A prefix, masks applied in their order (a file matching two masks comes twice), no recursion.
  auto other = StoredWriter();
  other->AddFiles(src.Path().substr(0, src.Path().size() - 1), "res\\", "*.XML;meta*", false);
  EXPECT_EQ(ItemPaths(other->GetBatchList()[0]),
            (std::vector<std::string>{"res\\meta.xml", "res\\properties.xml", "res\\meta.xml"}));
  const T7zBatchItem& item = other->GetBatchList()[0][0];
  EXPECT_EQ(item.Kind, T7zBatchItem::kFile);
  EXPECT_EQ(item.SourceFile, src.Path() + "meta.xml");
  EXPECT_EQ(item.Size, 30u);
  EXPECT_FALSE(item.IsFolder);

  EXPECT_THROW(other->AddFiles(src / "no-such-folder", "", "*.*", true), EInOutError);
}

TEST(ArchiveWrite, MasksFollowWindowsRules) {
  EXPECT_TRUE(MatchesMask("noext", "*.*"));
  EXPECT_TRUE(MatchesMask("Tank.DDS", "*.dds"));
  EXPECT_FALSE(MatchesMask("tank.dds.bak", "*.dds"));
  EXPECT_TRUE(MatchesMask("a1.txt", "a?.t*"));
  EXPECT_FALSE(MatchesMask("a12.txt", "a?.txt"));
}

TEST(ArchiveWrite, BatchesSplitWhereTheSumReachesTheLimit) {
  TempFolder src;
  WriteFile(src / "1.bin", std::string(100, '1'));
  WriteFile(src / "2.bin", std::string(200, '2'));
  WriteFile(src / "3.bin", std::string(300, '3'));
  auto archive = StoredWriter();
  archive->SetBatchSize(300);
  archive->AddFiles(src.Path(), "", "*.bin", false);
  const ATBatchList& batches = archive->GetBatchList();
  ASSERT_EQ(batches.size(), 3u);
  EXPECT_EQ(Sizes(batches[0]), std::vector<std::uint64_t>{100});
  EXPECT_EQ(Sizes(batches[1]), std::vector<std::uint64_t>{200});
  EXPECT_EQ(Sizes(batches[2]), std::vector<std::uint64_t>{300});

  // 100 + 199 stays below the limit; an item reaching the limit alone leaves the first batch empty.
  TempFolder small;
  WriteFile(small / "1.bin", std::string(100, '1'));
  WriteFile(small / "2.bin", std::string(199, '2'));
  auto one = StoredWriter();
  one->SetBatchSize(300);
  one->AddFiles(small.Path(), "", "*.*", false);
  EXPECT_EQ(one->GetBatchList().size(), 1u);
  auto first = StoredWriter();
  first->SetBatchSize(300);
  first->AddFiles(src.Path(), "", "3.bin", false);
  ASSERT_EQ(first->GetBatchList().size(), 2u);
  EXPECT_TRUE(first->GetBatchList()[0].Empty());
  auto unlimited = StoredWriter();
  unlimited->AddFiles(src.Path(), "", "*.*", false);
  EXPECT_EQ(unlimited->GetBatchList().size(), 1u);
}

TEST(ArchiveWrite, StoredZipIsAcceptedByIndependentReaders) {
  TempFolder src, out;
  MakeModTree(src.Path());
  WriteFile(src.Path() + "b/caf\xC3\xA9.txt", "utf-8 name");
  auto archive = StoredWriter();
  archive->SetProperty("tp", std::uint32_t{2});  // options add up: still stored, now DOS times only
  archive->AddFiles(src.Path(), "", "*.*", true);
  archive->SaveToFile(out / "pack.wotmod");
  ASSERT_TRUE(std::filesystem::exists(out / "pack.wotmod"));
  EXPECT_FALSE(std::filesystem::exists(out / "pack_Part01.wotmod"));

  bool testOk = false;
  const auto entries = PythonList(out / "pack.wotmod", &testOk);
  EXPECT_TRUE(testOk);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"a/x.txt", "x-data"},
      {"b/deep/z.dds", std::string(70000, 'z')},
      {"b/caf\xC3\xA9.txt", "utf-8 name"},
      {"b/y.txt", std::string(5000, 'y')},
      {"meta.xml", "<root><id>mod.test</id></root>"},
      {"properties.xml", "<props/>"},
  };
  ASSERT_EQ(entries.size(), expected.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(entries[i].name);
    EXPECT_EQ(entries[i].name, expected[i].first);
    EXPECT_EQ(entries[i].method, 0);  // stored
    EXPECT_EQ(entries[i].size, expected[i].second.size());
    EXPECT_EQ(entries[i].mode, "100644");  // readable once extracted
    EXPECT_EQ(entries[i].extras.find("000a"), std::string::npos);  // "tp" took effect
  }
  EXPECT_EQ(entries[2].flags, "800");  // the non-ASCII name is marked UTF-8

  int rc = 0;
  const std::string unzipTest = Capture("unzip -t " + Quote(out / "pack.wotmod") + " 2>&1", &rc);
  EXPECT_EQ(rc, 0) << unzipTest;
  const std::string info = Capture("unzip -Z " + Quote(out / "pack.wotmod") + " 2>&1", &rc);
  EXPECT_EQ(rc, 0) << info;
  EXPECT_NE(info.find("-rw-r--r--"), std::string::npos) << info;
  EXPECT_EQ(info.find("defN"), std::string::npos) << info;
  const std::string crc = Capture("unzip -p " + Quote(out / "pack.wotmod") + " b/deep/z.dds | cksum", &rc);
  EXPECT_EQ(crc, Capture("cksum < " + Quote(src.Path() + "b/deep/z.dds")));
}

TEST(ArchiveWrite, SplitPackageWritesNumberedParts) {
  TempFolder src, out;
  for (int i = 0; i < 5; ++i) WriteFile(src / Numbered("f", i, ".dds"), std::string(400, static_cast<char>('a' + i)));
  auto archive = StoredWriter();
  archive->SetBatchSize(1000);
  archive->AddFiles(src.Path(), "", "*.dds", false);
  ASSERT_EQ(archive->GetBatchList().size(), 3u);
  archive->SetBatchIndex(2);  // a stale index must not make a part serve another batch's items
  archive->SaveToFile(out / "pack.wotmod");
  EXPECT_FALSE(std::filesystem::exists(out / "pack.wotmod"));
  const std::vector<std::vector<std::string>> parts = {{"f0.dds", "f1.dds"}, {"f2.dds", "f3.dds"}, {"f4.dds"}};
  for (std::size_t p = 0; p < parts.size(); ++p) {
    const std::string name = out / Numbered("pack_Part0", static_cast<int>(p + 1), ".wotmod");
    bool ok = false;
    const auto entries = PythonList(name, &ok);
    EXPECT_TRUE(ok) << name;
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.name);
    EXPECT_EQ(names, parts[p]) << name;
  }
  TMemoryStream m;
  EXPECT_THROW(archive->SaveToStream(m, 3), ERangeError);
}

TEST(ArchiveWrite, StreamItemsRoundTripThroughOurReader) {
  auto archive = StoredWriter();
  auto data = std::make_shared<TMemoryStream>();
  data->WriteBuffer("stream payload", 14);  // the position is at the end: the writer rewinds it
  archive->AddStream(data, "\\folder\\from stream.bin");
  TMemoryStream zip;
  archive->SaveToStream(zip, 0);

  auto reader = CreateInArchive(szabi::CLSID_CFormatZip, LibraryPath());
  reader->OpenStream(zip);
  ASSERT_EQ(reader->ItemCount(), 1u);
  EXPECT_EQ(reader->ItemPath(0), "folder\\from stream.bin");  // no leading separator is stored
  TMemoryStream back;
  reader->ExtractItem(0, back, false);
  EXPECT_EQ(std::string(back.Bytes().begin(), back.Bytes().end()), "stream payload");
}

TEST(ArchiveWrite, FailuresRaiseAndLeaveNoHalfWrittenFile) {
  TempFolder src, out;
  WriteFile(src / "a.txt", "aaa");
  WriteFile(src / "b.txt", "bbb");
  auto archive = StoredWriter();
  archive->AddFiles(src.Path(), "", "*.txt", false);
  std::filesystem::remove(src / "b.txt");  // gone before the library asks for it
  try {
    archive->SaveToFile(out / "pack.wotmod");
    FAIL() << "saved with a missing source file";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("b.txt"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(std::filesystem::exists(out / "pack.wotmod"));
  EXPECT_THROW(archive->SaveToFile(out / "no-such-folder/pack.wotmod"), EInOutError);

  // An unknown method is accepted as an option and refused when writing.
  auto bad = CreateOutArchive(szabi::CLSID_CFormatZip, LibraryPath());
  bad->SetProperty("M", std::string("NoSuchMethod"));
  bad->AddFiles(src.Path(), "", "*.txt", false);
  try {
    bad->SaveToFile(out / "bad.zip");
    FAIL();
  } catch (const E7zError& e) {
    EXPECT_STREQ(e.what(), "Not implemented");
  }
  EXPECT_FALSE(std::filesystem::exists(out / "bad.zip"));
  EXPECT_THROW(SetCompressionMethod(*bad, 4), ERangeError);
}

TEST(ArchiveWrite, SourcesOfAnotherSizeFailAndTheArchiveThereStays) {
  TempFolder src, out;
  const std::string target = out / "pack.wotmod";
  WriteFile(src / "a.txt", std::string(100, 'a'));
  auto good = StoredWriter();
  good->AddFiles(src.Path(), "", "*.txt", false);
  good->SaveToFile(target);
  const std::string before = ReadFile(target);

  const auto saveFails = [&](I7zOutArchive& archive, const std::string& expected) {
    try {
      archive.SaveToFile(target);
      ADD_FAILURE() << "saved: " << expected;
    } catch (const EInOutError& e) {
      EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadFile(target), before) << expected;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.Path()), {}), 1) << "nothing left beside it";
  };
  // A file cut or grown after it was added.
  auto cut = StoredWriter();
  cut->AddFiles(src.Path(), "", "*.txt", false);
  WriteFile(src / "a.txt", std::string(40, 'a'));
  saveFails(*cut, "ended after 40 of the 100 bytes announced");
  auto grown = StoredWriter();
  grown->AddFiles(src.Path(), "", "*.txt", false);
  WriteFile(src / "a.txt", std::string(400, 'a'));
  saveFails(*grown, "holds more than the 40 bytes announced");

  // A short stream; while it is read, the final name still holds the old archive.
  auto stream = std::make_shared<TTestSource>(std::string(10, 's'), 64);
  bool targetTouched = false;
  stream->beforeRead = [&] { targetTouched = targetTouched || ReadFile(target) != before; };
  auto shortOne = StoredWriter();
  shortOne->AddStream(stream, "s.bin");
  saveFails(*shortOne, "for item s.bin ended after 10 of the 64 bytes announced");
  EXPECT_FALSE(targetTouched);
}

TEST(ArchiveWrite, FilesOf2GiBAreRefusedNotWrapped) {
  TempFolder src;
  WriteFile(src / "small.txt", "s");
  {
    TFileStream big(src / "huge.dds", TFileMode::fmCreate);
    big.SetSize(std::int64_t{1} << 31);  // sparse: no real disk space
  }
  auto archive = StoredWriter();
  try {
    archive->AddFiles(src.Path(), "", "*.*", false);
    FAIL() << "a 2 GiB file was accepted";
  } catch (const ERangeError& e) {
    EXPECT_NE(std::string(e.what()).find("huge.dds"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("2147483648"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(archive->GetBatchList()[0].Empty());  // nothing half-added
}

// Writes more than 4 GiB; run with ASHTINT_LARGE_TESTS=1.
TEST(ArchiveWrite, ArchivesAbove4GiBStayWhole) {
  if (!std::getenv("ASHTINT_LARGE_TESTS")) GTEST_SKIP() << "set ASHTINT_LARGE_TESTS=1 to write a 4.5 GiB archive";
  TempFolder src, out;
  for (const char* name : {"p1.bin", "p2.bin", "p3.bin"}) {
    TFileStream f(src / name, TFileMode::fmCreate);
    f.SetSize((std::int64_t{3} << 29) - 1);  // just under 1.5 GiB, sparse
    f.SetPosition(12345);
    f.WriteBuffer(name, 6);
  }
  WriteFile(src / "tail.txt", "after the 4 GiB mark");
  auto archive = StoredWriter();
  archive->AddFiles(src.Path(), "", "*.*", false);
  archive->SaveToFile(out / "big.zip");
  EXPECT_GT(std::filesystem::file_size(out / "big.zip"), std::uint64_t{4} << 30);
  bool ok = false;
  const auto entries = PythonList(out / "big.zip", &ok);
  EXPECT_TRUE(ok);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[3].name, "tail.txt");
  auto reader = CreateInArchive(szabi::CLSID_CFormatZip, LibraryPath());
  reader->OpenFile(out / "big.zip");
  TMemoryStream m;
  reader->ExtractItem(3, m, false);
  EXPECT_EQ(std::string(m.Bytes().begin(), m.Bytes().end()), "after the 4 GiB mark");
}

TEST(ArchiveWrite, WriterAndReaderInTwoThreadsAtOnce) {
  TempFolder src, out;
  MakeModTree(src.Path());
  auto reference = StoredWriter();
  reference->AddFiles(src.Path(), "", "*.*", true);
  reference->SaveToFile(out / "ref.zip");
  std::atomic<int> failures{0};
  std::thread writer([&] {
    try {
      for (int round = 0; round < 10; ++round) {
        auto archive = StoredWriter();
        archive->AddFiles(src.Path(), "", "*.*", true);
        archive->SaveToFile(out / Numbered("w", round, ".zip"));
      }
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
      ++failures;
    }
  });
  std::thread reader([&] {
    try {
      auto archive = CreateInArchive(szabi::CLSID_CFormatZip, LibraryPath());
      for (int round = 0; round < 20; ++round) {
        archive->OpenFile(out / "ref.zip");
        TMemoryStream m;
        archive->ExtractItem(1, m, false);  // b/deep/z.dds
        if (m.Size() != 70000) ++failures;
        archive->Close();
      }
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
      ++failures;
    }
  });
  writer.join();
  reader.join();
  EXPECT_EQ(failures, 0);
  for (int round = 0; round < 10; ++round) {
    bool ok = false;
    EXPECT_EQ(PythonList(out / Numbered("w", round, ".zip"), &ok).size(), 5u);
    EXPECT_TRUE(ok);
  }
}

}  // namespace
