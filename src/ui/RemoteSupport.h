#pragma once
// The remote-support launcher: finds a known remote-support client next to the program or on
// the user's desktop, starts it through the shell with the proxy named in the program's settings
// stores, or offers the maker's download page when there is none.
#include <span>
#include <string>

class TSettings;

// A known client: its key letter (for the program-choice entry), file name and the options that
// put a proxy, its user and its password on the client's command line.
struct TSupportProgram {
  wchar_t Key;
  const wchar_t* FileName;
  const wchar_t* ProxyOption;
  const wchar_t* UserOption;
  const wchar_t* PasswordOption;
};
// In search order: 0 TeamViewer QuickSupport, 1 FastClient.
std::span<const TSupportProgram> SupportPrograms();

// Which clients may be used (comma-separated key letters; empty: all), read from the extra store.
inline constexpr const wchar_t* kSupportProgramEntry = L"REMOTE SUPPORT\rREMOTE SUPPORT PROGRAM";
// The proxy entries, read from every store.
inline constexpr const wchar_t* kProxyServerEntry = L"Remote Support\rProxy Server";
inline constexpr const wchar_t* kProxyPortEntry = L"Remote Support\rProxy Server Port";
inline constexpr const wchar_t* kProxyUserEntry = L"Remote Support\rProxy Server Username";
inline constexpr const wchar_t* kProxyPasswordEntry = L"Remote Support\rProxy Server Password";
inline constexpr const wchar_t* kProxyPriorityEntry = L"Remote Support\rProxy Server Priority\r1";

// Full path of the first allowed known client in Folder (which ends with "\"), or empty.
std::wstring FindSupportProgram(const std::wstring& folder, const std::wstring& allowed);
// Index of the known client whose file name is the file-name part of Path (ignoring case);
// 0 when none is.
int SupportProgramKind(const std::wstring& path);

// The proxy the stores name: the store with the highest priority that names one wins; on equal
// priorities the one read first.
struct TProxyChoice {
  std::wstring Proxy;  // host:port, or the one of them that is set
  std::wstring User;
  std::wstring Password;
  int Best = 0;  // the priority of the store that won; a store needs more to win
};
// One store's contribution to the choice; nothing for a null store.
void ReadProxySettings(TSettings* store, TProxyChoice& choice);

// Value as exactly one argument under the command-line rules of Windows (CommandLineToArgvW and
// the C runtime): in double quotes, with quotes and the backslashes before them escaped, when
// it is empty or holds blanks, quotes or control characters; as it is otherwise. Zero
// characters, which would cut the command line short, are dropped.
std::wstring QuoteCommandArgument(const std::wstring& value);
// The client's proxy arguments for the choice (none without a proxy), every value quoted.
std::wstring SupportArguments(int kind, const TProxyChoice& choice);

// Where StartRemoteSupport looks for clients (each with trailing "\"); tests give their own.
struct TSupportFolders {
  std::wstring Program;
  std::wstring Desktop;
};
using TSupportFoldersProc = TSupportFolders (*)();
void SetSupportFoldersProc(TSupportFoldersProc proc) noexcept;
// The program folder and the user's desktop folder (empty when the system names none).
TSupportFolders SupportFolders();

// Starts the first client found with the proxy arguments, or asks whether to open the download page.
void StartRemoteSupport();
