#pragma once
// Facts about the machine and the files of the program, read from the system; failures give
// empty texts or 0.
#include <cstdint>
#include <string>

std::wstring ComputerName();
// The remote-desktop client's computer name ("CLIENTNAME"), else ComputerName.
std::wstring ClientComputerName();
// The logged-on user's account name, whatever its length.
std::wstring UserLoginName();
// True for a 32-bit process on 64-bit Windows.
bool IsWow64();
// Major.minor.release.build of the file's fixed version information (empty name: the running
// program); empty when the file has none.
std::wstring FileVersionText(const std::wstring& FileName = {});
// Release * 65536 + build of the file version; 0 when none.
std::uint32_t FileVersionBuild(const std::wstring& FileName = {});
// Keeps the system from replacing a busy window by a ghost window.
void DisableGhosting();
