#include "base/Exception.h"
#include "base/Files.h"
#include "base/Handle.h"
#include "base/Win.h"

#include "support/TempFolder.h"
#include "support/TestSupport.h"

#include <sddl.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace {

struct TBaseNameCase {
  const char* name;
  std::wstring path;
  std::wstring expected;
};

class FileBaseNameOf : public ::testing::TestWithParam<TBaseNameCase> {};

TEST_P(FileBaseNameOf, Path) { EXPECT_EQ(FileBaseName(GetParam().path), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Files, FileBaseNameOf,
    ::testing::Values(TBaseNameCase{"LastDotOnly", L"C:\\a\\b.c.exe", L"b.c"},
                      TBaseNameCase{"NoExtension", L"C:\\a\\noext", L"noext"},
                      TBaseNameCase{"Empty", L"", L""},
                      TBaseNameCase{"NameOnly", L"Tavrino.exe", L"Tavrino"},
                      TBaseNameCase{"DotInFolderOnly", L"C:\\a.b\\name", L"name"},
                      TBaseNameCase{"DriveRelative", L"C:name.txt", L"name"}),
    TCaseName());

struct TPathPartsCase {
  const char* name;
  std::wstring path;
  std::wstring folder, fileName, withIni;
};

class PathParts : public ::testing::TestWithParam<TPathPartsCase> {};

TEST_P(PathParts, Split) {
  const TPathPartsCase& c = GetParam();
  EXPECT_EQ(FileFolder(c.path), c.folder);
  EXPECT_EQ(FileNameOf(c.path), c.fileName);
  EXPECT_EQ(ChangeFileExt(c.path, L".ini"), c.withIni);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PathParts,
    ::testing::Values(TPathPartsCase{"Program", L"C:\\Tools\\Tavrino.exe", L"C:\\Tools\\", L"Tavrino.exe", L"C:\\Tools\\Tavrino.ini"},
                      TPathPartsCase{"LastDot", L"C:\\x\\a.b.exe", L"C:\\x\\", L"a.b.exe", L"C:\\x\\a.b.ini"},
                      TPathPartsCase{"DotInFolderOnly", L"C:\\x.y\\tool", L"C:\\x.y\\", L"tool", L"C:\\x.y\\tool.ini"},
                      TPathPartsCase{"ForwardSlash", L"C:/x/t.txt", L"C:/x/", L"t.txt", L"C:/x/t.ini"},
                      TPathPartsCase{"DriveRelative", L"C:t.txt", L"C:", L"t.txt", L"C:t.ini"},
                      TPathPartsCase{"NameOnly", L"t", L"", L"t", L"t.ini"},
                      TPathPartsCase{"Empty", L"", L"", L"", L".ini"}),
    TCaseName());

// The chained block checksum computed bit by bit, independent of the table.
std::uint32_t ReferenceBlock(const std::string& block, std::uint32_t chained) {
  std::uint32_t r = 0xFFFFFFFFu;
  auto step = [&](unsigned char b) {
    std::uint32_t t = r >> 24 << 24;
    for (int bit = 0; bit < 8; ++bit) t = (t & 0x80000000u) ? (t << 1) ^ 0x04C11DB7u : (t << 1);
    r = t ^ (r << 8) ^ b;
  };
  for (unsigned char b : block) step(b);
  for (int shift = 24; shift >= 0; shift -= 8) step(static_cast<unsigned char>(chained >> shift));
  return r;
}

// A file written in parts replaces the old one as a whole, or not at all when a part fails.
TEST(WriteFileReplacing, PartsMakeTheNewFileAndAFailureKeepsTheOld) {
  TTempFolder folder;
  const std::wstring name = folder.WriteFile(L"log.txt", "alt");
  WriteFileReplacing(name, [](const TByteSink& write) {
    write("eins\r\n");
    write("");
    write("zwei\r\n");
  });
  EXPECT_EQ(ReadFileBytes(name), "eins\r\nzwei\r\n");
  EXPECT_THROW(WriteFileReplacing(name,
                                  [](const TByteSink& write) {
                                    write("halb");
                                    throw std::runtime_error("the text could not be read");
                                  }),
               std::runtime_error);
  EXPECT_EQ(ReadFileBytes(name), "eins\r\nzwei\r\n");
  EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::wstring>{L"log.txt"});  // no part left behind
}

TEST(FileCrc32, KnownVectors) {
  TTempFolder folder;
  EXPECT_EQ(FileCrc32(folder.WriteFile(L"abc.bin", "abc")), 0xAD13F0CAu);
  EXPECT_EQ(FileCrc32(folder.WriteFile(L"empty.bin", "")), 0u);
}

TEST(FileCrc32, BlocksAreChained) {
  TTempFolder folder;
  std::string block1(1048576, '\0');
  for (size_t i = 0; i < block1.size(); ++i) block1[i] = static_cast<char>(i * 7 + (i >> 11));
  // Exactly one block: the empty read after it adds nothing.
  EXPECT_EQ(FileCrc32(folder.WriteFile(L"one.bin", block1)), ReferenceBlock(block1, 0));
  std::string tail = "tail";
  EXPECT_EQ(FileCrc32(folder.WriteFile(L"two.bin", block1 + tail)), ReferenceBlock(tail, ReferenceBlock(block1, 0)));
}

TEST(FileCrc32, MissingFileRaisesTheSystemError) {
  TTempFolder folder;
  try {
    FileCrc32(folder.Path() + L"missing.bin");
    FAIL() << "no error";
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  }
}

TEST(FileSize64, EmptyMissingAndLarge) {
  TTempFolder folder;
  EXPECT_EQ(FileSize64(L""), -2);
  EXPECT_EQ(FileSize64(folder.Path() + L"missing"), -1);
  EXPECT_EQ(FileSize64(folder.WriteFile(L"five", "12345")), 5);
  // A sparse 5 GB file: the size needs all 64 bits.
  std::wstring big = folder.WriteFile(L"big", "");
  {
    TFileHandle file(::CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size;
    size.QuadPart = 5LL << 30;
    ASSERT_TRUE(::SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(file.Get()));
  }
  EXPECT_EQ(FileSize64(big), 5LL << 30);
}

TEST(FileDateOf, LocalTimeOfLastWrite) {
  TTempFolder folder;
  EXPECT_EQ(FileDateOf(folder.Path() + L"missing"), 0);
  EXPECT_EQ(FileDateOf(L""), 0);
  std::wstring name = folder.WriteFile(L"dated.txt", "x");
  // 1 July 2024 12:00 UTC = 45474.5 days since 30.12.1899.
  SYSTEMTIME utc = {2024, 7, 1, 1, 12, 0, 0, 0};
  FILETIME ft;
  ASSERT_TRUE(::SystemTimeToFileTime(&utc, &ft));
  {
    TFileHandle file(::CreateFileW(name.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(::SetFileTime(file.Get(), nullptr, nullptr, &ft));
  }
  double local = FileDateOf(name);
  double offsetMinutes = (local - 45474.5) * 1440;
  EXPECT_LE(std::fabs(offsetMinutes), 14 * 60);
  EXPECT_NEAR(std::fmod(std::fabs(offsetMinutes) + 0.001, 15.0), 0.0, 0.01) << "offset " << offsetMinutes;
  TIME_ZONE_INFORMATION zone;
  if (::GetTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID && zone.Bias == 0 && zone.DaylightBias == 0) {
    EXPECT_NEAR(local, 45474.5, 1e-6);
  }
}

TEST(LongPathOf, OnDiskSpellingOfEveryPart) {
  TTempFolder folder;
  std::filesystem::create_directories(folder.Path() + L"Sub Folder");
  folder.WriteFile(L"Sub Folder\\File.Txt", "x");
  std::wstring lower = folder.Path() + L"sub folder\\file.txt";
  EXPECT_EQ(LongPathOf(lower), folder.Path() + L"Sub Folder\\File.Txt");
  EXPECT_EQ(LongPathOf(folder.Path() + L"SUB FOLDER\\"), folder.Path() + L"Sub Folder\\");
  // Parts that do not exist keep their spelling.
  EXPECT_EQ(LongPathOf(folder.Path() + L"sub folder\\not there\\x.TXT"), folder.Path() + L"Sub Folder\\not there\\x.TXT");
  // Wildcards are no names: they must not pick some other file.
  EXPECT_EQ(LongPathOf(folder.Path() + L"sub*"), folder.Path() + L"sub*");
  EXPECT_EQ(LongPathOf(L"c:\\"), L"C:\\");
  EXPECT_EQ(LongPathOf(L"\\\\server\\share\\"), L"\\\\server\\share\\");
  EXPECT_EQ(LongPathOf(L""), L"");
}

TEST(ProgramFolder, IsTheProgramsFolderWithBackslash) {
  std::wstring program = ProgramFileName();
  ASSERT_FALSE(ProgramFolder().empty());
  EXPECT_EQ(ProgramFolder().back(), L'\\');
  EXPECT_EQ(::CompareStringOrdinal(ProgramFolder().c_str(), -1,
                                   program.substr(0, program.find_last_of(L'\\') + 1).c_str(), -1, TRUE),
            CSTR_EQUAL);
}

TEST(SystemTempFolder, ExistsWithBackslash) {
  std::wstring temp = SystemTempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), L'\\');
  EXPECT_TRUE(FolderExists(temp));
}

TEST(EnvironmentFolder, OnlyExistingFolders) {
  TTempFolder folder;
  std::wstring plain = folder.Path().substr(0, folder.Path().size() - 1);
  ::SetEnvironmentVariableW(L"TAVRINO_TEST_FOLDER", plain.c_str());
  EXPECT_EQ(EnvironmentFolder(L"TAVRINO_TEST_FOLDER"), folder.Path());
  ::SetEnvironmentVariableW(L"TAVRINO_TEST_FOLDER", (folder.Path() + L"missing").c_str());
  EXPECT_EQ(EnvironmentFolder(L"TAVRINO_TEST_FOLDER"), L"");
  ::SetEnvironmentVariableW(L"TAVRINO_TEST_FOLDER", nullptr);
  EXPECT_EQ(EnvironmentFolder(L"TAVRINO_TEST_FOLDER"), L"");
}

TEST(CreateUniqueFile, FirstPlainThenNumbered) {
  TTempFolder folder;
  std::wstring first = CreateUniqueFile(folder.Path(), L"ZevrikWriteTest", L".tmp");
  EXPECT_EQ(first, folder.Path() + L"ZevrikWriteTest.tmp");
  EXPECT_TRUE(FileExists(first));
  EXPECT_EQ(FileSize64(first), 0);
  std::wstring second = CreateUniqueFile(folder.Path(), L"ZevrikWriteTest", L".tmp");
  std::wstring name = second.substr(folder.Path().size());
  ASSERT_EQ(name.size(), std::wstring(L"ZevrikWriteTest_0000.tmp").size()) << second;
  EXPECT_TRUE(name.starts_with(L"ZevrikWriteTest_"));
  EXPECT_EQ(name.find_first_not_of(L"0123456789ABCDEF", 16), 20u);
  EXPECT_TRUE(FileExists(second));
}

struct TUniqueNameCase {
  const char* name;
  std::wstring prefix;
  std::wstring ext;
  std::wstring firstName;   // name of the first file
  std::wstring secondHead;  // the second file's name before its four hex digits
};

class CreateUniqueFileName : public ::testing::TestWithParam<TUniqueNameCase> {};

TEST_P(CreateUniqueFileName, PrefixAndExtension) {
  const TUniqueNameCase& c = GetParam();
  TTempFolder folder;
  EXPECT_EQ(CreateUniqueFile(folder.Path(), c.prefix, c.ext), folder.Path() + c.firstName);
  std::wstring second = CreateUniqueFile(folder.Path(), c.prefix, c.ext).substr(folder.Path().size());
  EXPECT_EQ(second.substr(0, c.secondHead.size()), c.secondHead) << second;
  EXPECT_EQ(second.size(), c.secondHead.size() + 4 + (c.firstName.size() - c.firstName.rfind(L'.')));
}

INSTANTIATE_TEST_SUITE_P(
    Files, CreateUniqueFileName,
    ::testing::Values(TUniqueNameCase{"UnderscoreNotDoubled", L"a_", L".tmp", L"a_.tmp", L"a_"},
                      TUniqueNameCase{"ExtensionGetsDot", L"log", L" txt ", L"log.txt", L"log_"},
                      TUniqueNameCase{"EmptyExtensionIsTmp", L"x", L"", L"x.tmp", L"x_"},
                      TUniqueNameCase{"ForbiddenCharactersRemoved", L" a*b?c:d|e ", L".tmp", L"abcde.tmp", L"abcde_"},
                      TUniqueNameCase{"ControlCharactersBecomeSpaces", L"a\tb", L".tmp", L"a b.tmp", L"a b_"},
                      TUniqueNameCase{"EmptyPrefixIsTemp", L"\\/", L".tmp", L"Temp.tmp", L"Temp_"}),
    TCaseName());

TEST(CreateUniqueFile, MissingFolderGivesEmpty) {
  TTempFolder folder;
  EXPECT_EQ(CreateUniqueFile(folder.Path() + L"missing", L"a", L".tmp"), L"");
  EXPECT_FALSE(FolderExists(folder.Path() + L"missing"));
}

TEST(FolderWritable, CreatesMissingFoldersAndLeavesNoFile) {
  TTempFolder folder;
  std::wstring checked;
  std::wstring target = folder.Path() + L"a\\b\\c";
  EXPECT_TRUE(FolderWritable(target, checked));
  EXPECT_EQ(checked, target + L"\\");
  EXPECT_TRUE(FolderExists(target));
  EXPECT_TRUE(FilesIn(target).empty());
}

TEST(FolderWritable, EmptyOrImpossibleFolder) {
  TTempFolder folder;
  std::wstring checked = L"old";
  EXPECT_FALSE(FolderWritable(L"", checked));
  EXPECT_EQ(checked, L"");
  // A folder below a file can never be made.
  std::wstring file = folder.WriteFile(L"plain.txt", "x");
  EXPECT_FALSE(FolderWritable(file + L"\\sub", checked));
  EXPECT_EQ(checked, file + L"\\sub\\");
  EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::wstring>{L"plain.txt"});
}

// Makes a folder read-only for one scope: the read-only attribute and an entry that denies
// everybody the creation of files in it.
class TReadOnlyFolder {
public:
  explicit TReadOnlyFolder(const std::wstring& folder) : FFolder(folder) {
    SetSecurity(L"D:(D;;0x2;;;WD)(A;OICI;FA;;;WD)");  // 0x2: FILE_ADD_FILE
    ::SetFileAttributesW(FFolder.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
  }
  TReadOnlyFolder(const TReadOnlyFolder&) = delete;
  TReadOnlyFolder& operator=(const TReadOnlyFolder&) = delete;
  ~TReadOnlyFolder() {
    ::SetFileAttributesW(FFolder.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    SetSecurity(L"D:(A;OICI;FA;;;WD)");
  }

private:
  void SetSecurity(const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr)) return;
    std::unique_ptr<void, decltype(&::LocalFree)> owner(sd, &::LocalFree);
    ::SetFileSecurityW(FFolder.c_str(), DACL_SECURITY_INFORMATION, sd);
  }

  std::wstring FFolder;
};

TEST(FolderWritable, ReadOnlyFolderIsNotWritableAndKeepsNoProbe) {
  TTempFolder folder;
  std::wstring target = folder.Path() + L"locked";
  ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
  TReadOnlyFolder readOnly(target);
  {
    TFileHandle probe(::CreateFileW((target + L"\\probe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (probe)
      GTEST_SKIP() << "skipped because the tests run as root (as in CI): Wine then makes files in a read-only, "
                      "write-denied folder; the folder-path test covers the refusal";
  }
  std::wstring checked;
  EXPECT_FALSE(FolderWritable(target, checked));
  EXPECT_EQ(checked, target + L"\\");
  EXPECT_TRUE(FilesIn(target).empty());
}

TEST(WritableTempFolder, FindsTheSystemTempFolder) {
  EXPECT_EQ(WritableTempFolder(), SystemTempFolder());
}

}  // namespace
