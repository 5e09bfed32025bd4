#include "ui/AboutFacts.h"

#include "base/DateTime.h"
#include "base/Files.h"
#include "base/Strings.h"
#include "base/Win32.h"

#include <cstdio>
#include <cwchar>
#include <iterator>

namespace {

struct TEditionMatch {
  const wchar_t* Found;  // searched for in the product name
  const wchar_t* Edition;
};

// The editions of each version, searched in this order: a longer name before the shorter one
// it contains ("Home Edition KN" before "Home Edition K"), so that the first match is right.
constexpr TEditionMatch kXpEditions[] = {
    {L"Home Edition KN", L"Home Edition KN"}, {L"Professional KN", L"Professional KN"},
    {L"Home Edition N", L"Home Edition N"},   {L"Professional N", L"Professional N"},
    {L"Home Edition K", L"Home Edition K"},   {L"Professional K", L"Professional K"},
    {L"Home", L"Home Edition"},               {L"Professional", L"Professional"},
    {L"Starter", L"Starter Edition"},         {L"Media Center", L"Media Center Edition"},
    {L"Tablet", L"Tablet PC Edition"},
};
constexpr TEditionMatch kVistaEditions[] = {
    {L"Starter", L"Starter"},       {L"Home Basic N", L"Home Basic N"}, {L"Home Basic", L"Home Basic"},
    {L"Home Premium", L"Home Premium"}, {L"Business N", L"Business N"},  {L"Business", L"Business"},
    {L"Enterprise", L"Enterprise"}, {L"Ultimate", L"Ultimate"},
};
constexpr TEditionMatch kSevenEditions[] = {
    {L"Starter", L"Starter"},           {L"Home Basic", L"Home Basic"}, {L"Home Premium", L"Home Premium"},
    {L"Professional", L"Professional"}, {L"Enterprise", L"Enterprise"}, {L"Ultimate", L"Ultimate"},
};
constexpr TEditionMatch kEightEditions[] = {{L"Pro", L"Pro"}, {L"Enterprise", L"Enterprise"}};
constexpr TEditionMatch kTenEditions[] = {
    {L"Home", L"Home"}, {L"Pro", L"Pro"}, {L"Enterprise", L"Enterprise"}, {L"Education", L"Education"}};
// "Windows RT" names its edition in the version itself.
constexpr TEditionMatch kRtEditions[] = {{L"", L"RT"}};

struct TEditionList {
  const wchar_t* Prefix;  // what the product name starts with
  const TEditionMatch* First;
  size_t Count;
};

template <size_t N>
constexpr TEditionList List(const wchar_t* prefix, const TEditionMatch (&matches)[N]) {
  return {prefix, matches, N};
}

// Longer prefixes first ("Windows 8.1" before "Windows 8"). Windows 11 still calls itself
// "Windows 10 ..." in its product name; "Windows 11" is there for when it stops doing so.
constexpr TEditionList kEditionLists[] = {
    List(L"Windows XP", kXpEditions),     List(L"Windows Vista", kVistaEditions),
    List(L"Windows 7", kSevenEditions),   List(L"Windows 8.1", kEightEditions),
    List(L"Windows 8", kEightEditions),   List(L"Windows 10", kTenEditions),
    List(L"Windows 11", kTenEditions),    List(L"Windows RT", kRtEditions),
};

std::wstring RegistryText(const wchar_t* key, const wchar_t* name) {
  DWORD size = 0;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS ||
      size < sizeof(wchar_t))
    return {};
  std::wstring text(size / sizeof(wchar_t), L'\0');
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, text.data(), &size) != ERROR_SUCCESS)
    return {};
  text.resize(size / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

std::wstring RemoveIgnoringCase(std::wstring text, std::wstring_view part) {
  for (;;) {
    const std::wstring upper = LocaleUpperCase(text);
    const size_t at = upper.find(LocaleUpperCase(part));
    if (at == std::wstring::npos) return text;
    text.erase(at, part.size());
  }
}

std::wstring gCrcFile;
std::wstring gCrcText;

}  // namespace

TAboutFacts ReadAboutFacts() {
  TAboutFacts facts;
  facts.ProgramFile = ProgramFileName();
  facts.FileVersion = FileVersionText(facts.ProgramFile);
  facts.Folder = ProgramFolder();
  facts.FileDate = FileDateOf(facts.ProgramFile);
  facts.FileSize = FileSize64(facts.ProgramFile);
  facts.ComputerName = ComputerName();
  facts.ClientName = ClientComputerName();
  facts.UserName = UserLoginName();
  facts.OsText = OsText(ReadOsVersion());
  facts.CodePage = ::GetACP();
  facts.TempFolder = WritableTempFolder();
  return facts;
}

// ---- texts ----

std::wstring BuildNumberOf(const std::wstring& fileVersion) { return GetToken(fileVersion, L".", 4); }

std::wstring AboutVersionText(const std::wstring& version, const std::wstring& fileVersion) {
  if (version.empty()) return fileVersion;
  const std::wstring build = BuildNumberOf(fileVersion);
  if (build.empty() || version.ends_with(L"." + build)) return version;
  return version + L" Build " + build;
}

std::wstring ExeDateText(double dateTime) {
  if (dateTime == 0) return {};
  return FormatDateTime(L"ddddd hh:nn:ss", dateTime);
}

std::wstring ExeSizeText(std::int64_t size) {
  if (size < 0) return {};
  return FormatNumber(0, L',', L'.', static_cast<double>(size)) + L" Bytes = " + FormatByteSize(0, 1, 0, size);
}

std::wstring PcNameText(const std::wstring& computer, const std::wstring& client) {
  if (client.empty() || client == computer) return computer;
  return computer + L", Client: " + client;
}

std::wstring MonitorsText(const std::vector<TMonitor>& monitors) {
  std::wstring text;
  for (const TMonitor& monitor : monitors) {
    if (!text.empty()) text += L"\r\n";
    text += L"Monitor " + std::to_wstring(monitor.Width()) + L" x " + std::to_wstring(monitor.Height());
    if (monitor.Primary) text += L" (Primärer Monitor)";
  }
  return text;
}

std::wstring Crc32Text(std::uint32_t crc) {
  wchar_t text[9];
  std::swprintf(text, std::size(text), L"%08X", static_cast<unsigned>(crc));
  return text;
}

std::wstring VersionInfoText(const TVersionInfoLines& lines) {
  const std::pair<const wchar_t*, const std::wstring*> rows[] = {
      {L"Version    : ", &lines.Version},  {L"Exe-Version: ", &lines.ExeVersion}, {L"Exe-Ordner : ", &lines.ExePath},
      {L"Exe-Name   : ", &lines.ExeName},  {L"Exe-Datum  : ", &lines.ExeDate},    {L"Exe-Größe  : ", &lines.ExeSize},
      {L"Exe-CRC32  : ", &lines.ExeCrc32}, {L"PC         : ", &lines.Pc},         {L"OS         : ", &lines.Os},
      {L"User       : ", &lines.User},     {L"Codepage   : ", &lines.Codepage},
  };
  std::wstring text = lines.AppTitle + L"\r\n";
  for (const auto& [caption, value] : rows) text += caption + *value + L"\r\n";
  return text;
}

std::wstring CopyInfoText(const std::wstring& versionInfo, const std::wstring& extendedInfo,
                          const std::wstring& monitors, double now) {
  std::wstring text = versionInfo + L"\r\n";
  // The extended information as lines of its own, set off from the monitors by an empty line.
  if (!extendedInfo.empty()) {
    text += extendedInfo;
    if (!extendedInfo.ends_with(L"\r\n")) text += L"\r\n";
    text += L"\r\n";
  }
  return text + monitors + L"\r\n" + FormatDateTime(L"yyyy\"-\"mm\"-\"dd hh\":\"nn\":\"ss", now) + L"\r\n";
}

std::wstring ReleaseLineText(const std::wstring& exeVersion, double fileDate) {
  std::wstring text = L"# Release Build " + exeVersion;
  if (fileDate != 0) text += L", " + FormatDateTime(L"ddddd hh:nn", fileDate);
  return text;
}

// ---- the operating system ----

TOsVersion ReadOsVersion() {
  TOsVersion os;
  // RtlGetVersion tells the truth; GetVersionEx answers what the manifest lets it.
  using TRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  auto rtlGetVersion = ntdll ? reinterpret_cast<TRtlGetVersion>(
                                   reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
                             : nullptr;
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (rtlGetVersion && rtlGetVersion(&info) == 0) {
    os.PlatformId = info.dwPlatformId;
    os.Major = info.dwMajorVersion;
    os.Minor = info.dwMinorVersion;
    os.Build = info.dwBuildNumber;
    os.ServicePackMajor = info.wServicePackMajor;
    os.CsdVersion = info.szCSDVersion;
    os.ProductType = info.wProductType;
  }
  os.ServerR2 = ::GetSystemMetrics(SM_SERVERR2) != 0;
  SYSTEM_INFO system{};
  ::GetNativeSystemInfo(&system);
  const WORD arch = system.wProcessorArchitecture;
  os.Arm = arch == PROCESSOR_ARCHITECTURE_ARM || arch == PROCESSOR_ARCHITECTURE_ARM64;
  os.X64 = arch == PROCESSOR_ARCHITECTURE_AMD64;
  os.Is64Bit = arch == PROCESSOR_ARCHITECTURE_AMD64 || arch == PROCESSOR_ARCHITECTURE_IA64 ||
               arch == PROCESSOR_ARCHITECTURE_ARM64;
  os.ProductName = RegistryText(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"ProductName");
  return os;
}

std::wstring WindowsVersionName(const TOsVersion& os) {
  const bool workstation = os.ProductType == VER_NT_WORKSTATION;
  if (os.PlatformId == VER_PLATFORM_WIN32_WINDOWS) {
    if (os.Major != 4) return {};
    // The second releases carry a letter in their service-pack text.
    if (os.Minor == 0)
      return os.CsdVersion.find_first_of(L"BC") != std::wstring::npos ? L"Windows 95 OSR2" : L"Windows 95";
    if (os.Minor == 10) return os.CsdVersion.find(L'A') != std::wstring::npos ? L"Windows 98 SE" : L"Windows 98";
    if (os.Minor == 90) return L"Windows ME";
    return {};
  }
  if (os.PlatformId != VER_PLATFORM_WIN32_NT) return {};
  switch (os.Major) {
    case 3:
    case 4:
      return L"Windows NT " + std::to_wstring(os.Major) + L"." + std::to_wstring(os.Minor);
    case 5:
      if (os.Minor == 0) return L"Windows 2000";
      if (os.Minor == 1) return L"Windows XP";
      if (os.Minor == 2) {
        if (os.ServerR2) return L"Windows Server 2003 R2";
        if (workstation && os.X64) return L"Windows XP x64";
        return L"Windows Server 2003";
      }
      return {};
    case 6:
      switch (os.Minor) {
        case 0:
          return workstation ? L"Windows Vista" : L"Windows Server 2008";
        case 1:
          return workstation ? L"Windows 7" : L"Windows Server 2008 R2";
        case 2:
          return workstation ? (os.Arm ? L"Windows RT" : L"Windows 8") : L"Windows Server 2012";
        case 3:
          return workstation ? (os.Arm ? L"Windows RT 8.1" : L"Windows 8.1") : L"Windows Server 2012 R2";
        default:
          return {};
      }
    case 10:
      if (os.Minor != 0) return {};
      if (workstation) return os.Build >= 22000 ? L"Windows 11" : L"Windows 10";
      // Servers by their build: the release id stopped at 2009, which later servers report too.
      switch (os.Build) {
        case 14393:
          return L"Windows Server 2016";
        case 17763:
          return L"Windows Server 2019";
        case 20348:
          return L"Windows Server 2022";
        default:
          return L"Windows Server";
      }
    default:
      return {};
  }
}

std::wstring WindowsEdition(const std::wstring& productName) {
  std::wstring name = Trim(RemoveIgnoringCase(productName, L"(TM) "));
  // Older systems call themselves "Microsoft Windows XP ...".
  if (LocaleUpperCase(name).starts_with(L"MICROSOFT ")) name = Trim(name.substr(10));
  for (const TEditionList& list : kEditionLists) {
    if (!name.starts_with(list.Prefix)) continue;
    const std::wstring rest = name.substr(std::wcslen(list.Prefix));
    for (size_t i = 0; i < list.Count; ++i)
      if (rest.find(list.First[i].Found) != std::wstring::npos) return list.First[i].Edition;
    return {};
  }
  return {};
}

std::wstring OsText(const TOsVersion& os) {
  std::wstring name = WindowsVersionName(os);
  if (os.ServicePackMajor > 0) name = Trim(name + L" SP" + std::to_wstring(os.ServicePackMajor));
  return JoinNonEmptyArray({name, WindowsEdition(os.ProductName), os.Is64Bit ? L"64-Bit" : L"32-Bit"}, L" ");
}

// ---- the checksum ----

std::wstring CachedExeCrc32(const std::wstring& fileName) {
  return !gCrcText.empty() && SameTextOrdinal(gCrcFile, fileName) ? gCrcText : std::wstring();
}

std::wstring ComputeExeCrc32(const std::wstring& fileName) {
  std::wstring cached = CachedExeCrc32(fileName);
  if (!cached.empty()) return cached;
  const std::wstring text = Crc32Text(FileCrc32(fileName));
  gCrcFile = fileName;
  gCrcText = text;
  return text;
}

void ClearExeCrc32Cache() {
  gCrcFile.clear();
  gCrcText.clear();
}
