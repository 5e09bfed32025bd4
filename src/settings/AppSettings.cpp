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

void SetAppExtraSettings(std::unique_ptr<TSettings> settings) {
  Release(gAppExtraSettings);
  gAppExtraSettings = std::move(settings);
}

void InitAppSettings(const std::wstring& registryKey, bool doWriteBack, const std::wstring& iniFileName) {
  InitAppSettingsFor(ProgramFileName(), registryKey, doWriteBack, iniFileName);
}

void InitAppSettingsFor(const std::wstring& programFile, const std::wstring& registryKey, bool doWriteBack,
                        const std::wstring& iniFileName) {
  std::wstring iniName = iniFileName.empty() ? ChangeFileExt(programFile, L".ini") : iniFileName;
  std::wstring keyPath = registryKey.empty() ? L"Software/Zevrik/" + FileBaseName(programFile) : registryKey;
  Release(gAppSettings);
  Release(gAppIniSettings);
  gAppIniSettings = std::make_unique<TIniSettings>(iniName, doWriteBack);
  gAppSettings = std::make_unique<TRegistrySettings>(keyPath, hkCurrentUser, rr6464);
}

void SettingsStart() {
  Release(gAppIniSettings);
  Release(gAppSettings);
  Release(gAppExtraSettings);
}

void SettingsStop() { SettingsStart(); }
