// Cost of the settings stores: one integer read and write on each store (the INI file holding a
// few dozen other keys, as a real one does), and a blob of 1 MB written and read (in an INI file
// of its own), each beside the bare system calls it needs.
#include "base/Files.h"
#include "base/Streams.h"
#include "bench/micro/MicroBench.h"
#include "settings/IniSettings.h"
#include "settings/RegistrySettings.h"

#include <filesystem>
#include <memory>

namespace {

// A throwaway registry key and INI file for the run, removed at the end.
struct TBenchStores {
  std::wstring Key = L"Software\\TavrinoBench\\" + std::to_wstring(::GetCurrentProcessId());
  std::wstring Folder = SystemTempFolder() + L"TavrinoBench" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
  std::unique_ptr<TRegistrySettings> Registry;
  std::unique_ptr<TIniSettings> Ini;
  std::unique_ptr<TIniSettings> BlobIni;
  std::string Blob;

  TBenchStores() {
    std::filesystem::create_directories(Folder);
    Registry = std::make_unique<TRegistrySettings>(Key);
    Ini = std::make_unique<TIniSettings>(Folder + L"bench.ini", false);
    BlobIni = std::make_unique<TIniSettings>(Folder + L"blob.ini", false);
    for (int i = 0; i < 50; ++i) Ini->WrString(L"Other\rKey" + std::to_wstring(i), L"some value of a setting");
    Blob.resize(1 << 20);
    for (size_t i = 0; i < Blob.size(); ++i) Blob[i] = static_cast<char>(i * 2654435761u >> 13);
    // The readers find a blob whatever order the benchmarks run in.
    for (TSettings* store : {static_cast<TSettings*>(Registry.get()), static_cast<TSettings*>(BlobIni.get())}) {
      TMemoryStream in(Blob);
      store->WrBlob(L"Data\rBlob", in);
    }
    Registry->WrInteger(L"Settings\rFont Size", 8);
    Ini->WrInteger(L"Settings\rFont Size", 8);
  }
  ~TBenchStores() {
    Registry.reset();
    Ini.reset();
    BlobIni.reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, Key.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, Key.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TavrinoBench");
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
  }
};

TBenchStores& Stores() {
  static TBenchStores stores;
  return stores;
}

constexpr int kRounds = 100;

std::int64_t Integers(TSettings& store, bool write) {
  std::int32_t sum = 0;
  for (int i = 0; i < kRounds; ++i) {
    if (write)
      store.WrInteger(L"Settings\rFont Size\r8", i);
    else
      sum += store.RdInteger(L"Settings\rFont Size\r8");
  }
  KeepResult(sum);
  return kRounds;
}

std::int64_t BlobRoundTrip(TSettings& store, bool write) {
  if (write) {
    TMemoryStream in(Stores().Blob);
    store.WrBlob(L"Data\rBlob", in);
  } else {
    TMemoryStream out;
    store.RdBlob(L"Data\rBlob", out);
    KeepResult(out.Size());
  }
  return 1 << 20;
}

}  // namespace

// Baselines: the bare system calls that one store operation cannot do without.
MICRO_BENCH("Settings baseline RegOpenKeyEx+RegQueryValueEx") {
  std::wstring key = Stores().Key + L"\\Settings";
  for (int i = 0; i < kRounds; ++i) {
    HKEY handle = nullptr;
    DWORD value = 0, size = sizeof(value);
    ::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle);
    ::RegQueryValueExW(handle, L"Font Size", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(handle);
  }
  return kRounds;
}
MICRO_BENCH("Settings baseline GetPrivateProfileStringW") {
  std::wstring file = Stores().Ini->FileName();
  wchar_t buffer[64];
  for (int i = 0; i < kRounds; ++i)
    ::GetPrivateProfileStringW(L"Settings", L"Font Size", L"", buffer, 64, file.c_str());
  return kRounds;
}
MICRO_BENCH("Settings baseline WritePrivateProfileStringW") {
  std::wstring file = Stores().Ini->FileName();
  for (int i = 0; i < kRounds; ++i)
    ::WritePrivateProfileStringW(L"Settings", L"Font Size", std::to_wstring(i).c_str(), file.c_str());
  return kRounds;
}

MICRO_BENCH("Settings registry WrInteger") { return Integers(*Stores().Registry, true); }
MICRO_BENCH("Settings registry RdInteger") { return Integers(*Stores().Registry, false); }
MICRO_BENCH("Settings INI WrInteger") { return Integers(*Stores().Ini, true); }
MICRO_BENCH("Settings INI RdInteger") { return Integers(*Stores().Ini, false); }
// A text outside the ANSI code page: the store checks that the file is UTF-16 before writing.
MICRO_BENCH("Settings INI WrString non-ANSI") {
  for (int i = 0; i < kRounds; ++i) Stores().Ini->WrString(L"Settings\rName", L"Gr\u00FC\u00DFe \u4E2D " + std::to_wstring(i));
  return kRounds;
}
MICRO_BENCH("Settings registry WrBlob 1 MB (bytes)") { return BlobRoundTrip(*Stores().Registry, true); }
MICRO_BENCH("Settings registry RdBlob 1 MB (bytes)") { return BlobRoundTrip(*Stores().Registry, false); }
MICRO_BENCH("Settings INI WrBlob 1 MB (bytes)") { return BlobRoundTrip(*Stores().BlobIni, true); }
MICRO_BENCH("Settings INI RdBlob 1 MB (bytes)") { return BlobRoundTrip(*Stores().BlobIni, false); }
