#pragma once
// What the About dialog tells about the running program file and the computer, and the texts
// it makes of them: the version with its build number, file date and size, the operating
// system's name, the monitors, and the fixed layout of the information copied for support.
// Facts the system cannot give are empty (or 0, or -1 for a size): the texts then say nothing.
#include "toolkit/Screen.h"

#include <cstdint>
#include <string>
#include <vector>

struct TAboutFacts {
  std::wstring ProgramFile;   // full path of the program file
  std::wstring FileVersion;   // major.minor.release.build; empty without a version resource
  std::wstring Folder;        // the program's folder with trailing "\"
  double FileDate = 0;        // last write, local time; 0 when unknown
  std::int64_t FileSize = -1;  // bytes; negative when unknown
  std::wstring ComputerName;
  std::wstring ClientName;    // the remote-desktop client's name, else the computer name
  std::wstring UserName;
  std::wstring OsText;        // see OsText below
  unsigned CodePage = 0;      // the system's ANSI code page
  std::wstring TempFolder;    // a writable temporary folder with trailing "\", or empty
};

// The facts of the running program and of this computer.
TAboutFacts ReadAboutFacts();

// ---- texts ----

// The fourth "."-separated part of a file version (the build number); empty when there is none.
std::wstring BuildNumberOf(const std::wstring& fileVersion);
// The version the dialog shows: Version (or the file version when it is empty) with
// " Build <n>" added when the file version has a build number that Version does not end with.
std::wstring AboutVersionText(const std::wstring& version, const std::wstring& fileVersion);
// The locale's short date, a blank and HH:NN:SS; empty for 0.
std::wstring ExeDateText(double dateTime);
// "1.234.567 Bytes = 1,2 MB" (the second part in the locale's separators); empty when negative.
std::wstring ExeSizeText(std::int64_t size);
// The computer's name, with ", Client: " and the client's name when they differ.
std::wstring PcNameText(const std::wstring& computer, const std::wstring& client);
// One line per monitor, "Monitor <width> x <height>", the primary one marked; joined by CR LF.
std::wstring MonitorsText(const std::vector<TMonitor>& monitors);
// A checksum as eight upper-case hexadecimal digits.
std::wstring Crc32Text(std::uint32_t crc);

// The lines of the version information, as the dialog's labels show them.
struct TVersionInfoLines {
  std::wstring AppTitle, Version, ExeVersion, ExePath, ExeName, ExeDate, ExeSize, ExeCrc32, Pc, Os, User, Codepage;
};
// The version information: the title, then one "Caption  : value" line per fact, each line
// ended by CR LF. The captions are fixed German texts padded to eleven characters.
std::wstring VersionInfoText(const TVersionInfoLines& lines);
// Everything the Copy button puts on the clipboard: the version information, an empty line,
// the extended information (each line ended by CR LF), the monitors and the time stamp Now
// ("YYYY-MM-DD HH:NN:SS").
std::wstring CopyInfoText(const std::wstring& versionInfo, const std::wstring& extendedInfo,
                          const std::wstring& monitors, double now);
// The release line a double click on a version copies: "# Release Build <exe version>, <date HH:NN>".
std::wstring ReleaseLineText(const std::wstring& exeVersion, double fileDate);

// ---- the operating system ----

struct TOsVersion {
  unsigned PlatformId = 2;  // VER_PLATFORM_WIN32_NT; 1 for Windows 95, 98 and ME
  unsigned Major = 0, Minor = 0, Build = 0;
  unsigned ServicePackMajor = 0;
  std::wstring CsdVersion;  // Windows 95 and 98: "B", "C", "A" mark the second releases
  unsigned ProductType = 1;  // VER_NT_WORKSTATION, VER_NT_DOMAIN_CONTROLLER, VER_NT_SERVER
  bool ServerR2 = false;     // Windows Server 2003 R2
  bool Arm = false;          // an ARM processor: Windows RT
  bool X64 = false;          // an x64 processor (Windows XP x64)
  std::wstring ReleaseId;    // servers of version 10: 1607, 1809, 2009 ...
  std::wstring ProductName;  // "ProductName" of the registry's CurrentVersion key
  bool Is64Bit = false;      // the operating system is 64-bit
};
TOsVersion ReadOsVersion();
// "Windows 7", "Windows Server 2019", "Windows NT 4.0" ...; empty for an unknown version.
std::wstring WindowsVersionName(const TOsVersion& os);
// The edition found in the product name ("Pro", "Home Premium", "Media Center Edition" ...).
std::wstring WindowsEdition(const std::wstring& productName);
// Version name (with "SP<n>"), edition and "64-Bit" / "32-Bit", the non-empty parts joined by blanks.
std::wstring OsText(const TOsVersion& os);

// ---- the checksum of the program file, computed once per run ----

// The cached checksum of the file as Crc32Text, empty while it has not been computed.
std::wstring CachedExeCrc32(const std::wstring& fileName);
// Computes and caches it; raises EOSError (and caches nothing) when the file cannot be read.
std::wstring ComputeExeCrc32(const std::wstring& fileName);
// Forgets the cached checksum (program end).
void ClearExeCrc32Cache();
