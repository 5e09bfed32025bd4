#pragma once
// The program-wide settings stores and their set-up.
#include "settings/IniSettings.h"
#include "settings/RegistrySettings.h"
#include "settings/Settings.h"

#include <memory>
#include <string>

// The program-wide stores; none until InitAppSettings (AppExtraSettings: none unless installed).
TRegistrySettings* AppSettings();
TIniSettings* AppIniSettings();
TSettings* AppExtraSettings();
void SetAppExtraSettings(std::unique_ptr<TSettings> settings);

// Creates (or replaces) AppIniSettings on IniFileName (empty: the program file with ".ini") and
// AppSettings below HKEY_CURRENT_USER\RegistryKey (empty: Software/Zevrik/<program base name>).
// DoWriteBack is the INI store's write-back switch; the registry store always writes back.
void InitAppSettings(const std::wstring& registryKey, bool doWriteBack, const std::wstring& iniFileName);
// The same for the program file ProgramFile (InitAppSettings: the running program's).
void InitAppSettingsFor(const std::wstring& programFile, const std::wstring& registryKey, bool doWriteBack,
                        const std::wstring& iniFileName);

// Unit start and stop (library start-up list): no stores at start, all freed at the end.
void SettingsStart();
void SettingsStop();
