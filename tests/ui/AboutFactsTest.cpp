// The About dialog's facts and texts: the version with its build number, sizes and dates,
// the operating system's names, the fixed layout of the copied information, and the checksum
// of the program file computed once.
#include "base/DateTime.h"
#include "base/Exception.h"
#include "base/Files.h"
#include "base/Strings.h"
#include "base/Win32.h"
#include "support/TempFolder.h"
#include "support/TestSupport.h"
#include "ui/AboutFacts.h"

namespace {

// ---- the version ----

struct TVersionCase {
  const char* name;
  const wchar_t* version;
  const wchar_t* fileVersion;
  const wchar_t* shown;
};

class AboutVersion : public ::testing::TestWithParam<TVersionCase> {};

TEST_P(AboutVersion, Text) {
  const TVersionCase& c = GetParam();
  EXPECT_EQ(AboutVersionText(c.version, c.fileVersion), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    About, AboutVersion,
    ::testing::Values(TVersionCase{"BuildAdded", L"2.0.6", L"1.5.0.204", L"2.0.6 Build 204"},
                      TVersionCase{"NoVersionGivenTheFileVersion", L"", L"1.5.0.204", L"1.5.0.204"},
                      TVersionCase{"NoVersionResource", L"2.0.6", L"", L"2.0.6"},
                      TVersionCase{"NeitherIsEmpty", L"", L"", L""},
                      TVersionCase{"EndsWithTheBuildAlready", L"2.0.6.204", L"1.5.0.204", L"2.0.6.204"},
                      TVersionCase{"EndsWithTheDigitsOnly", L"2.0.1204", L"1.5.0.204", L"2.0.1204 Build 204"},
                      TVersionCase{"BuildZero", L"2.0.6", L"2.0.6.0", L"2.0.6 Build 0"}),
    TCaseName());

TEST(About, BuildNumberIsTheFourthPartOfTheFileVersion) {
  EXPECT_EQ(BuildNumberOf(L"2.0.6.77"), L"77");
  EXPECT_EQ(BuildNumberOf(L"2.0.6"), L"");
  EXPECT_EQ(BuildNumberOf(L""), L"");
  // A file with a version resource: the fourth part is the build of its file version.
  wchar_t system[MAX_PATH];
  ASSERT_GT(::GetSystemDirectoryW(system, MAX_PATH), 0u);
  const std::wstring kernel = std::wstring(system) + L"\\kernel32.dll";
  const std::wstring fileVersion = FileVersionText(kernel);
  ASSERT_FALSE(fileVersion.empty());
  EXPECT_EQ(BuildNumberOf(fileVersion), std::to_wstring(FileVersionBuild(kernel) & 0xFFFF));
  EXPECT_EQ(AboutVersionText(L"2.0.6", fileVersion), L"2.0.6 Build " + BuildNumberOf(fileVersion));
}

TEST(About, TheTestProgramHasNoVersionResource) {
  const TAboutFacts facts = ReadAboutFacts();
  EXPECT_EQ(facts.ProgramFile, ProgramFileName());
  EXPECT_EQ(facts.FileVersion, L"");
  EXPECT_EQ(AboutVersionText(L"2.0.6", facts.FileVersion), L"2.0.6");
  EXPECT_EQ(facts.Folder, ProgramFolder());
  EXPECT_GT(facts.FileSize, 0);
  EXPECT_NE(facts.FileDate, 0);
  EXPECT_EQ(facts.CodePage, ::GetACP());
  EXPECT_FALSE(facts.OsText.empty());
}

// ---- sizes, dates, names, monitors ----

TEST(About, SizeTextGroupsTheBytesAndNamesTheUnit) {
  EXPECT_EQ(ExeSizeText(1234567), L"1.234.567 Bytes = " + FormatByteSize(0, 1, 0, 1234567));
  EXPECT_EQ(ExeSizeText(999), L"999 Bytes = " + FormatByteSize(0, 1, 0, 999));
  EXPECT_EQ(ExeSizeText(5368709120LL), L"5.368.709.120 Bytes = " + FormatByteSize(0, 1, 0, 5368709120LL));
  // An unknown size says nothing rather than "-1 Bytes".
  EXPECT_EQ(ExeSizeText(-1), L"");
  EXPECT_EQ(ExeSizeText(-2), L"");
}

TEST(About, DateTextIsEmptyForAnUnknownDate) {
  const double date = EncodeDateExt(2026, 12, 10) + EncodeTime(14, 5, 9, 0);
  EXPECT_EQ(ExeDateText(date), FormatDateTime(L"ddddd", date) + L" 14:05:09");
  EXPECT_EQ(ExeDateText(0), L"");
  EXPECT_EQ(ReleaseLineText(L"2.0.6.81", date), L"# Release Build 2.0.6.81, " + FormatDateTime(L"ddddd", date) + L" 14:05");
  EXPECT_EQ(ReleaseLineText(L"2.0.6.81", 0), L"# Release Build 2.0.6.81");
}

TEST(About, PcNameWithTheRemoteDesktopClient) {
  EXPECT_EQ(PcNameText(L"BUERO1", L"BUERO1"), L"BUERO1");
  EXPECT_EQ(PcNameText(L"BUERO1", L"LAPTOP7"), L"BUERO1, Client: LAPTOP7");
  EXPECT_EQ(PcNameText(L"BUERO1", L""), L"BUERO1");
  EXPECT_EQ(PcNameText(L"", L""), L"");
}

TEST(About, MonitorsInTheSystemsOrderThePrimaryMarked) {
  TMonitor left, right;
  left.Bounds = {-1280, 0, 0, 1024};
  right.Bounds = {0, 0, 1920, 1080};
  right.Primary = true;
  EXPECT_EQ(MonitorsText({left, right}), L"Monitor 1280 x 1024\r\nMonitor 1920 x 1080 (Primärer Monitor)");
  EXPECT_EQ(MonitorsText({right}), L"Monitor 1920 x 1080 (Primärer Monitor)");
  EXPECT_EQ(MonitorsText({}), L"");
}

// ---- the copied layout ----

const TVersionInfoLines kLines{L"Tavrino",
                               L"2.0.6 Build 204",
                               L"1.5.0.204",
                               L"C:\\Programme\\Zevrik\\",
                               L"Tavrino.exe",
                               L"10.12.2026 14:05:09",
                               L"1.234.567 Bytes = 1,2 MB",
                               L"AD13F0CA",
                               L"BUERO1, Client: LAPTOP7",
                               L"Windows 10 Pro 64-Bit",
                               L"anna",
                               L"1252"};

const wchar_t* const kVersionLayout =
    L"Tavrino\r\n"
    L"Version    : 2.0.6 Build 204\r\n"
    L"Exe-Version: 1.5.0.204\r\n"
    L"Exe-Ordner : C:\\Programme\\Zevrik\\\r\n"
    L"Exe-Name   : Tavrino.exe\r\n"
    L"Exe-Datum  : 10.12.2026 14:05:09\r\n"
    L"Exe-Größe  : 1.234.567 Bytes = 1,2 MB\r\n"
    L"Exe-CRC32  : AD13F0CA\r\n"
    L"PC         : BUERO1, Client: LAPTOP7\r\n"
    L"OS         : Windows 10 Pro 64-Bit\r\n"
    L"User       : anna\r\n"
    L"Codepage   : 1252\r\n";

TEST(About, VersionInformationLayout) { EXPECT_EQ(VersionInfoText(kLines), kVersionLayout); }

TEST(About, CopiedLayoutWithAndWithoutExtendedInformation) {
  const double now = EncodeDateExt(2026, 12, 10) + EncodeTime(9, 5, 3, 0);
  const std::wstring monitors = L"Monitor 1920 x 1080 (Primärer Monitor)\r\nMonitor 1280 x 1024";
  const std::wstring extended = L"Aktueller UDP-Port: 6702\r\n\r\nKommandozeilen-Parameter:";
  EXPECT_EQ(CopyInfoText(kVersionLayout, extended, monitors, now),
            std::wstring(kVersionLayout) +
                L"\r\n"
                L"Aktueller UDP-Port: 6702\r\n"
                L"\r\n"
                L"Kommandozeilen-Parameter:\r\n"
                L"\r\n"
                L"Monitor 1920 x 1080 (Primärer Monitor)\r\n"
                L"Monitor 1280 x 1024\r\n"
                L"2026-12-10 09:05:03\r\n");
  // The memo's text as the memo gives it (every line ended) reads the same.
  EXPECT_EQ(CopyInfoText(kVersionLayout, extended + L"\r\n", monitors, now),
            CopyInfoText(kVersionLayout, extended, monitors, now));
  // Without: the version lines, an empty line, the monitors and the time stamp.
  EXPECT_EQ(CopyInfoText(kVersionLayout, L"", monitors, now),
            std::wstring(kVersionLayout) +
                L"\r\n"
                L"Monitor 1920 x 1080 (Primärer Monitor)\r\n"
                L"Monitor 1280 x 1024\r\n"
                L"2026-12-10 09:05:03\r\n");
}

// ---- the operating system ----

struct TOsCase {
  const char* name;
  TOsVersion os;
  const wchar_t* versionName;
};

TOsVersion Nt(unsigned major, unsigned minor, unsigned build = 0, unsigned productType = VER_NT_WORKSTATION) {
  TOsVersion os;
  os.Major = major;
  os.Minor = minor;
  os.Build = build;
  os.ProductType = productType;
  return os;
}

TOsVersion With(TOsVersion os, void (*change)(TOsVersion&)) {
  change(os);
  return os;
}

TOsVersion Nine(unsigned minor, const wchar_t* csd) {
  TOsVersion os;
  os.PlatformId = VER_PLATFORM_WIN32_WINDOWS;
  os.Major = 4;
  os.Minor = minor;
  os.CsdVersion = csd;
  return os;
}

class WindowsName : public ::testing::TestWithParam<TOsCase> {};

TEST_P(WindowsName, FromTheVersionNumbers) {
  const TOsCase& c = GetParam();
  EXPECT_EQ(WindowsVersionName(c.os), c.versionName);
}

constexpr unsigned kServer = VER_NT_SERVER;

INSTANTIATE_TEST_SUITE_P(
    About, WindowsName,
    ::testing::Values(
        TOsCase{"Win95", Nine(0, L""), L"Windows 95"}, TOsCase{"Win95Osr2", Nine(0, L" B"), L"Windows 95 OSR2"},
        TOsCase{"Win98", Nine(10, L""), L"Windows 98"}, TOsCase{"Win98Se", Nine(10, L" A "), L"Windows 98 SE"},
        TOsCase{"WinMe", Nine(90, L""), L"Windows ME"}, TOsCase{"Nt351", Nt(3, 51), L"Windows NT 3.51"},
        TOsCase{"Nt40", Nt(4, 0), L"Windows NT 4.0"}, TOsCase{"Win2000", Nt(5, 0), L"Windows 2000"},
        TOsCase{"WinXp", Nt(5, 1), L"Windows XP"}, TOsCase{"Server2003", Nt(5, 2, 3790, kServer), L"Windows Server 2003"},
        TOsCase{"XpX64", With(Nt(5, 2), [](TOsVersion& o) { o.X64 = true; }), L"Windows XP x64"},
        TOsCase{"Server2003R2", With(Nt(5, 2, 3790, kServer), [](TOsVersion& o) { o.ServerR2 = true; }),
                L"Windows Server 2003 R2"},
        TOsCase{"Vista", Nt(6, 0), L"Windows Vista"}, TOsCase{"Server2008", Nt(6, 0, 6001, kServer), L"Windows Server 2008"},
        TOsCase{"Win7", Nt(6, 1), L"Windows 7"}, TOsCase{"Server2008R2", Nt(6, 1, 7600, kServer), L"Windows Server 2008 R2"},
        TOsCase{"Win8", Nt(6, 2), L"Windows 8"},
        TOsCase{"WinRt", With(Nt(6, 2), [](TOsVersion& o) { o.Arm = true; }), L"Windows RT"},
        TOsCase{"Server2012", Nt(6, 2, 9200, VER_NT_DOMAIN_CONTROLLER), L"Windows Server 2012"},
        TOsCase{"Win81", Nt(6, 3), L"Windows 8.1"},
        TOsCase{"WinRt81", With(Nt(6, 3), [](TOsVersion& o) { o.Arm = true; }), L"Windows RT 8.1"},
        TOsCase{"Server2012R2", Nt(6, 3, 9600, kServer), L"Windows Server 2012 R2"},
        TOsCase{"Win10", Nt(10, 0, 19045), L"Windows 10"}, TOsCase{"Win10LastBuild", Nt(10, 0, 21999), L"Windows 10"},
        TOsCase{"Win11", Nt(10, 0, 22000), L"Windows 11"}, TOsCase{"Win11Later", Nt(10, 0, 26100), L"Windows 11"},
        TOsCase{"Server2016", Nt(10, 0, 14393, kServer), L"Windows Server 2016"},
        TOsCase{"Server2019", Nt(10, 0, 17763, kServer), L"Windows Server 2019"},
        TOsCase{"Server2022", Nt(10, 0, 20348, kServer), L"Windows Server 2022"},
        // Windows Server 2025 reports the release id 2009 of 2022 as well: it is no 2022.
        TOsCase{"ServerLater", Nt(10, 0, 26100, kServer), L"Windows Server"},
        TOsCase{"SemiAnnualServer", Nt(10, 0, 17134, kServer), L"Windows Server"},
        TOsCase{"UnknownMajor", Nt(11, 0), L""}, TOsCase{"UnknownMinor", Nt(6, 4), L""},
        TOsCase{"Unknown", TOsVersion{}, L""}),
    TCaseName());

struct TEditionCase {
  const char* name;
  const wchar_t* productName;
  const wchar_t* edition;
};

class WindowsEditionOf : public ::testing::TestWithParam<TEditionCase> {};

TEST_P(WindowsEditionOf, ProductName) {
  const TEditionCase& c = GetParam();
  EXPECT_EQ(WindowsEdition(c.productName), c.edition);
}

INSTANTIATE_TEST_SUITE_P(
    About, WindowsEditionOf,
    ::testing::Values(
        TEditionCase{"XpHome", L"Microsoft Windows XP Home Edition", L"Home Edition"},
        TEditionCase{"XpProfessional", L"Microsoft Windows XP Professional", L"Professional"},
        TEditionCase{"XpProfessionalN", L"Microsoft Windows XP Professional N", L"Professional N"},
        TEditionCase{"XpHomeKN", L"Microsoft Windows XP Home Edition KN", L"Home Edition KN"},
        TEditionCase{"XpProfessionalK", L"Microsoft Windows XP Professional K", L"Professional K"},
        TEditionCase{"XpMediaCenter", L"Microsoft Windows XP Media Center Edition", L"Media Center Edition"},
        TEditionCase{"XpTablet", L"Microsoft Windows XP Tablet PC Edition", L"Tablet PC Edition"},
        TEditionCase{"XpStarter", L"Microsoft Windows XP Starter Edition", L"Starter Edition"},
        TEditionCase{"VistaTrademark", L"Windows Vista (TM) Home Premium", L"Home Premium"},
        TEditionCase{"VistaTrademarkAnyCase", L"Windows Vista (tm) Ultimate", L"Ultimate"},
        TEditionCase{"VistaBusinessN", L"Windows Vista (TM) Business N", L"Business N"},
        TEditionCase{"VistaHomeBasicN", L"Windows Vista (TM) Home Basic N", L"Home Basic N"},
        TEditionCase{"Seven", L"Windows 7 Professional", L"Professional"},
        TEditionCase{"SevenBusinessIsNoEdition", L"Windows 7 Business", L""},
        TEditionCase{"Eight", L"Windows 8 Pro", L"Pro"},
        TEditionCase{"EightOne", L"Windows 8.1 Enterprise", L"Enterprise"},
        TEditionCase{"Rt", L"Windows RT", L"RT"}, TEditionCase{"Rt81", L"Windows RT 8.1", L"RT"},
        TEditionCase{"TenHome", L"Windows 10 Home", L"Home"}, TEditionCase{"TenPro", L"Windows 10 Pro", L"Pro"},
        TEditionCase{"TenEducation", L"Windows 10 Education", L"Education"},
        TEditionCase{"TenEnterprise", L"Windows 10 Enterprise LTSC", L"Enterprise"},
        TEditionCase{"ElevenCallsItselfTen", L"Windows 10 Pro", L"Pro"},
        TEditionCase{"Eleven", L"Windows 11 Home", L"Home"},
        TEditionCase{"Server", L"Windows Server 2019 Standard", L""}, TEditionCase{"Empty", L"", L""},
        TEditionCase{"Other", L"ReactOS", L""}),
    TCaseName());

TEST(About, OsTextJoinsNameServicePackEditionAndBitness) {
  TOsVersion os = Nt(6, 1);
  os.ServicePackMajor = 1;
  os.ProductName = L"Windows 7 Ultimate";
  os.Is64Bit = true;
  EXPECT_EQ(OsText(os), L"Windows 7 SP1 Ultimate 64-Bit");
  os.ServicePackMajor = 0;
  os.ProductName = L"";
  os.Is64Bit = false;
  EXPECT_EQ(OsText(os), L"Windows 7 32-Bit");
  EXPECT_EQ(OsText(TOsVersion{}), L"32-Bit");  // nothing false about an unknown version
  // This system: a 64-bit program runs on a 64-bit system.
  EXPECT_TRUE(ReadOsVersion().Is64Bit);
}

// ---- the checksum ----

TEST(About, ChecksumOfTheProgramFileComputedOnceAndKeptPerFile) {
  ClearExeCrc32Cache();
  TTempFolder folder;
  const std::wstring abc = folder.WriteFile(L"abc.exe", "abc");
  const std::wstring empty = folder.WriteFile(L"empty.exe", "");
  EXPECT_EQ(CachedExeCrc32(abc), L"");
  EXPECT_EQ(ComputeExeCrc32(abc), L"AD13F0CA");
  EXPECT_EQ(CachedExeCrc32(abc), L"AD13F0CA");
  EXPECT_EQ(CachedExeCrc32(empty), L"");  // the cache belongs to its file
  // Kept: the file changing afterwards does not matter within the run.
  WriteFileBytes(abc, "abcd");
  EXPECT_EQ(ComputeExeCrc32(abc), L"AD13F0CA");
  EXPECT_EQ(ComputeExeCrc32(empty), L"00000000");
  EXPECT_EQ(Crc32Text(0x0000ABCD), L"0000ABCD");
  ClearExeCrc32Cache();
  EXPECT_EQ(CachedExeCrc32(empty), L"");
}

TEST(About, AnUnreadableProgramFileCachesNothing) {
  ClearExeCrc32Cache();
  TTempFolder folder;
  EXPECT_THROW(ComputeExeCrc32(folder.Path() + L"missing.exe"), EOSError);
  EXPECT_EQ(CachedExeCrc32(folder.Path() + L"missing.exe"), L"");
  const std::wstring locked = folder.WriteFile(L"locked.exe", "abc");
  {
    TFileHandle hold(::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold);
    EXPECT_THROW(ComputeExeCrc32(locked), EOSError);
    EXPECT_EQ(CachedExeCrc32(locked), L"");
  }
  EXPECT_EQ(ComputeExeCrc32(locked), L"AD13F0CA");
  ClearExeCrc32Cache();
}

}  // namespace
