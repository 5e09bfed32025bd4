#include "base/Files.h"
#include "settings/AppSettings.h"

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

void InitAppSettings(const std::wstring& RegistryKey, bool DoWriteBack, const std::wstring& IniFileName) {
  InitAppSettingsFor(ProgramFileName(), RegistryKey, DoWriteBack, IniFileName);
}

void InitAppSettingsFor(const std::wstring& ProgramFile, const std::wstring& RegistryKey, bool DoWriteBack,
                        const std::wstring& IniFileName) {
  std::wstring iniName = IniFileName.empty() ? ChangeFileExt(ProgramFile, L".ini") : IniFileName;
  std::wstring registryKey = RegistryKey.empty() ? L"Software/Zevrik/" + FileBaseName(ProgramFile) : RegistryKey;
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
