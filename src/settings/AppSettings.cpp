#include "base/Files.h"
#include "settings/Settings.h"

namespace {

std::unique_ptr<TRegistrySettings> gAppSettings;
std::unique_ptr<TIniSettings> gAppIniSettings;
std::unique_ptr<TSettings> gAppExtraSettings;

// The variable is none before its object is freed, so that nothing reaches a store while it goes.
template <class T>
void Release(std::unique_ptr<T>& store) {
  std::unique_ptr<T> old = std::move(store);
  old.reset();
}

}  // namespace

TRegistrySettings* AppSettings() { return gAppSettings.get(); }
TIniSettings* AppIniSettings() { return gAppIniSettings.get(); }
TSettings* AppExtraSettings() { return gAppExtraSettings.get(); }

void SetAppExtraSettings(std::unique_ptr<TSettings> Settings) {
  Release(gAppExtraSettings);
  gAppExtraSettings = std::move(Settings);
}

std::wstring ChangeFileExt(const std::wstring& FileName, const std::wstring& Ext) {
  size_t nameStart = FileName.find_last_of(L"\\/:");
  nameStart = nameStart == std::wstring::npos ? 0 : nameStart + 1;
  size_t dot = FileName.rfind(L'.');
  if (dot == std::wstring::npos || dot < nameStart) return FileName + Ext;
  return FileName.substr(0, dot) + Ext;
}

void InitAppSettings(const std::wstring& RegistryKey, bool DoWriteBack, const std::wstring& IniFileName) {
  std::wstring program = ProgramFileName();
  std::wstring iniName = IniFileName.empty() ? ChangeFileExt(program, L".ini") : IniFileName;
  std::wstring registryKey = RegistryKey.empty() ? L"Software/Zevrik/" + FileBaseName(program) : RegistryKey;
  Release(gAppSettings);
  Release(gAppIniSettings);
  gAppIniSettings = std::make_unique<TIniSettings>(iniName, DoWriteBack);
  gAppSettings = std::make_unique<TRegistrySettings>(registryKey, hkCurrentUser, rr6464);
}

void SettingsStart() {
  Release(gAppIniSettings);
  Release(gAppSettings);
  Release(gAppExtraSettings);
}

void SettingsStop() { SettingsStart(); }
