#pragma once
// Facts about the machine and the files of the program, read from the system; failures give
// empty texts or 0.
#include "base/Win.h"

#include <cstdint>
#include <string>

std::wstring ComputerName();
// The remote-desktop client's computer name ("CLIENTNAME"), else ComputerName.
std::wstring ClientComputerName();
// The logged-on user's account name, whatever its length.
std::wstring UserLoginName();
// True for a 32-bit process on 64-bit Windows.
bool IsWow64();
// The system's IsWow64Process, looked up at run time (none on systems without it).
using TIsWow64ProcessFunc = BOOL(WINAPI*)(HANDLE process, PBOOL wow64Process);
TIsWow64ProcessFunc SystemIsWow64Process();
// IsWow64 with the given routine asked about the current process: false without a routine or
// when the call fails.
bool IsWow64Through(TIsWow64ProcessFunc isWow64Process);
// Major.minor.release.build of the file's fixed version information (empty name: the running
// program); empty when the file has none.
std::wstring FileVersionText(const std::wstring& fileName = {});
// Release * 65536 + build of the file version; 0 when none.
std::uint32_t FileVersionBuild(const std::wstring& fileName = {});
// Keeps the system from replacing a busy window by a ghost window.
void DisableGhosting();
