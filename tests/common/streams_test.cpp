#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "common/exceptions.h"
#include "common/streams.h"
#include "platform/file_stream.h"

using namespace ashtint;

TEST(MemoryStream, ReadWriteSeekAndGaps) {
  TMemoryStream m;
  m.WriteBuffer("abc", 3);
  EXPECT_EQ(m.Size(), 3);
  m.Seek(2, TSeekOrigin::soEnd);  // past the end: the next write leaves zeros in the gap
  m.WriteBuffer("z", 1);
  ASSERT_EQ(m.Size(), 6);
  EXPECT_EQ(std::string(m.Bytes().begin(), m.Bytes().end()), std::string("abc\0\0z", 6));
  m.SetPosition(4);  // partly over the last bytes, partly new ones
  m.Expect(100);
  m.WriteBuffer("xyz", 3);
  EXPECT_EQ(std::string(m.Bytes().begin(), m.Bytes().end()), std::string("abc\0xyz", 7));
  EXPECT_EQ(m.Position(), 7);
  m.SetSize(6);
  m.SetPosition(1);
  char buf[8] = {};
  EXPECT_EQ(m.Read(buf, 8), 5u);
  EXPECT_EQ(m.Read(buf, 8), 0u);
  EXPECT_THROW(m.Seek(-7, TSeekOrigin::soEnd), EInOutError);
  m.SetSize(2);
  EXPECT_EQ(m.Position(), 2);
  EXPECT_THROW(m.ReadBuffer(buf, 1), EInOutError);
}

TEST(FileStream, CreateReadBackAndErrors) {
  const auto path = std::filesystem::temp_directory_path() / ("ashtint_fs_" + std::to_string(::getpid()));
  {
    TFileStream f(path.string(), TFileMode::fmCreate);
    f.WriteBuffer("hello world", 11);
    f.SetSize(5);
    EXPECT_EQ(f.Size(), 5);
    EXPECT_EQ(f.Position(), 5);
  }
  {
    TFileStream f(path.string(), TFileMode::fmOpenRead);
    TMemoryStream m;
    EXPECT_EQ(m.CopyFrom(f), 5);
    EXPECT_EQ(std::string(m.Bytes().begin(), m.Bytes().end()), "hello");
    EXPECT_THROW(f.Write("x", 1), EInOutError);
  }
  std::filesystem::remove(path);
  try {
    TFileStream f(path.string(), TFileMode::fmOpenRead);
    FAIL() << "opened a missing file";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("Cannot open file \"" + path.string() + "\""), std::string::npos) << e.what();
  }
}
