#include "base/Exception.h"
#include "base/Streams.h"

#include "support/TestSupport.h"

namespace {

std::string ReadAll(TStream& stream) {
  stream.SetPosition(0);
  std::string bytes(static_cast<size_t>(stream.Size()), '\0');
  bytes.resize(stream.Read(bytes.data(), bytes.size()));
  return bytes;
}

TEST(MemoryStream, ReadWriteSeekAndSize) {
  TMemoryStream stream;
  EXPECT_EQ(stream.Write("hello", 5), 5u);
  EXPECT_EQ(stream.Position(), 5);
  EXPECT_EQ(stream.Seek(-3, soEnd), 2);
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 3u);
  EXPECT_EQ(std::string(buffer, 3), "llo");
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0u);  // at the end
  EXPECT_EQ(stream.Seek(-10, soCurrent), 0);          // clamped to the start
  stream.SetPosition(1);
  stream.Write("EY", 2);
  EXPECT_EQ(stream.DataString(), "hEYlo");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(stream.Memory()), 5), "hEYlo");
}

TEST(MemoryStream, WritePastEndFillsGapWithZeros) {
  TMemoryStream stream("ab");
  stream.Seek(2, soEnd);
  stream.Write("c", 1);
  EXPECT_EQ(stream.DataString(), std::string("ab\0\0c", 5));
}

TEST(MemoryStream, SetSizeCutsAndKeepsPositionInside) {
  TMemoryStream stream("abcdef");
  stream.Seek(0, soEnd);
  stream.SetSize(2);
  EXPECT_EQ(stream.Size(), 2);
  EXPECT_EQ(stream.Position(), 2);
  stream.SetSize(4);
  EXPECT_EQ(stream.DataString(), std::string("ab\0\0", 4));
  stream.Clear();
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Position(), 0);
}

class FileStream : public ::testing::Test {
protected:
  void SetUp() override {
    wchar_t folder[MAX_PATH], name[MAX_PATH];
    ASSERT_NE(::GetTempPathW(MAX_PATH, folder), 0u);
    ASSERT_NE(::GetTempFileNameW(folder, L"tvs", 0, name), 0u);
    FPath = name;
  }
  void TearDown() override { ::DeleteFileW(FPath.c_str()); }
  std::wstring FPath;
};

TEST_F(FileStream, CreateWriteReopenRead) {
  {
    TFileStream stream(FPath, fmCreate);
    EXPECT_EQ(stream.Write("hello world", 11), 11u);
    EXPECT_EQ(stream.Size(), 11);
    stream.SetSize(5);
    EXPECT_EQ(stream.Position(), 5);
  }
  TFileStream stream(FPath, fmOpenRead);
  EXPECT_EQ(ReadAll(stream), "hello");
  EXPECT_EQ(stream.Seek(-2, soEnd), 3);
  EXPECT_THROW(stream.Write("x", 1), EOSError);  // opened for reading only
}

TEST_F(FileStream, OpenWriteKeepsContentCreateTruncates) {
  { TFileStream(FPath, fmCreate).Write("abc", 3); }
  {
    TFileStream stream(FPath, fmOpenWrite);
    stream.Seek(1, soBeginning);
    stream.Write("X", 1);
  }
  {
    TFileStream readBack(FPath, fmOpenReadWrite);
    EXPECT_EQ(ReadAll(readBack), "aXc");
    // Others may read the open file, but not write it.
    EXPECT_EQ(TFileStream(FPath, fmOpenRead).Size(), 3);
    EXPECT_THROW(TFileStream(FPath, fmOpenWrite), EOSError);
  }
  { TFileStream truncated(FPath, fmCreate); }
  EXPECT_EQ(TFileStream(FPath, fmOpenRead).Size(), 0);
}

TEST_F(FileStream, MissingFileRaisesWithName) {
  std::wstring missing = FPath + L".missing";
  try {
    TFileStream stream(missing, fmOpenRead);
    FAIL() << "opened a missing file";
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_NE(e.Message().find(missing), std::wstring::npos);
  }
}

}  // namespace
