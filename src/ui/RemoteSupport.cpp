#include "ui/RemoteSupport.h"

#include "base/Files.h"
#include "base/Misc.h"
#include "base/Strings.h"
#include "lang/DmLang.h"
#include "settings/AppSettings.h"
#include "toolkit/Forms.h"
#include "ui/WinHelpers.h"

#include <shlobj.h>

namespace {

constexpr TSupportProgram kSupportPrograms[] = {
    {L'T', L"TeamViewerQS.exe", L"--ProxyIP ", L" --ProxyUser ", L" --ProxyPassword "},
    {L'F', L"FastClient.exe", L"/proxy:", L" /proxyuser:", L" /proxypass:"},
};

TSupportFoldersProc gFoldersProc = nullptr;

std::wstring DesktopFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return IncludeTrailingBackslash(path);
}

bool KeyAllowed(wchar_t key, const std::wstring& allowed) {
  if (allowed.empty()) return true;
  std::wstring_view cursor = allowed;
  std::wstring item;
  while (NextToken(cursor, L",", item, false))
    if (SameTextOrdinal(item, std::wstring(1, key))) return true;
  return false;
}

std::wstring LangText(const wchar_t* id) { return DmLangQel ? DmLangQel->siLang->GetTextOrDefault(id) : L""; }

// The supporter wants to see the whole main window.
void MaximizeMainForm(TForm* main) {
  if (main && (main->BorderStyle() == bsSizeable || main->BorderStyle() == bsSizeToolWin))
    main->SetWindowState(wsMaximized);
}

bool NeedsQuotes(const std::wstring& value) {
  if (value.empty()) return true;
  for (wchar_t c : value)
    if (c <= L' ' || c == L'"' || c == 0x7F) return true;
  return false;
}

}  // namespace

std::span<const TSupportProgram> SupportPrograms() { return kSupportPrograms; }

std::wstring FindSupportProgram(const std::wstring& folder, const std::wstring& allowed) {
  std::wstring allowedText;
  for (wchar_t c : allowed)
    if (c == L',' || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z')) allowedText += c;
  for (const TSupportProgram& program : kSupportPrograms) {
    if (!KeyAllowed(program.Key, allowedText)) continue;
    const std::wstring path = folder + program.FileName;
    if (FileExists(path)) return path;
  }
  return {};
}

int SupportProgramKind(const std::wstring& path) {
  const std::wstring name = FileNameOf(path);
  for (size_t i = 0; i < std::size(kSupportPrograms); ++i)
    if (SameTextOrdinal(name, kSupportPrograms[i].FileName)) return static_cast<int>(i);
  return 0;
}

void ReadProxySettings(TSettings* store, TProxyChoice& choice) {
  if (!store) return;
  const std::wstring port = store->RdString(kProxyPortEntry);
  const std::wstring server = store->RdString(kProxyServerEntry);
  const std::wstring proxy = JoinNonEmpty(server, port, L":");
  const std::wstring user = store->RdString(kProxyUserEntry);
  const std::wstring password = store->RdString(kProxyPasswordEntry);
  const int priority = store->RdInteger(kProxyPriorityEntry);
  if (choice.Best < priority && !proxy.empty()) {
    choice.Proxy = proxy;
    choice.User = user;
    choice.Password = password;
    choice.Best = priority;
  }
}

std::wstring QuoteCommandArgument(const std::wstring& value) {
  std::wstring text;
  for (wchar_t c : value)
    if (c != L'\0') text += c;
  if (!NeedsQuotes(text)) return text;
  // Backslashes are literal unless they stand before a quote: there (and before the closing
  // quote) each one is doubled, and an inner quote gets one of its own.
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : text) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      quoted.append(backslashes * 2 + 1, L'\\');
    } else {
      quoted.append(backslashes, L'\\');
    }
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  quoted += L'"';
  return quoted;
}

std::wstring SupportArguments(int kind, const TProxyChoice& choice) {
  if (choice.Proxy.empty() || kind < 0 || kind >= static_cast<int>(std::size(kSupportPrograms))) return {};
  const TSupportProgram& program = kSupportPrograms[kind];
  std::wstring arguments = program.ProxyOption + QuoteCommandArgument(choice.Proxy);
  if (!choice.User.empty()) arguments += program.UserOption + QuoteCommandArgument(choice.User);
  if (!choice.Password.empty()) arguments += program.PasswordOption + QuoteCommandArgument(choice.Password);
  return arguments;
}

void SetSupportFoldersProc(TSupportFoldersProc proc) noexcept { gFoldersProc = proc; }

TSupportFolders SupportFolders() {
  if (gFoldersProc) return gFoldersProc();
  return {ProgramFolder(), DesktopFolder()};
}

void StartRemoteSupport() {
  TSettings* extra = AppExtraSettings();
  const std::wstring allowed = extra ? extra->RdString(kSupportProgramEntry) : std::wstring();
  const TSupportFolders folders = SupportFolders();
  std::wstring path;
  if (!folders.Program.empty()) path = FindSupportProgram(IncludeTrailingBackslash(folders.Program), allowed);
  if (path.empty() && !folders.Desktop.empty())
    path = FindSupportProgram(IncludeTrailingBackslash(folders.Desktop), allowed);
  TForm* main = Application().MainForm();

  if (!path.empty()) {
    TProxyChoice choice;
    ReadProxySettings(AppIniSettings(), choice);
    ReadProxySettings(AppSettings(), choice);
    ReadProxySettings(extra, choice);
    MaximizeMainForm(main);
    ShellExecuteVerb(L"open", path, SupportArguments(SupportProgramKind(path), choice));
    return;
  }

  const std::wstring message = LangText(L"IDS_30") + L"\r\n\r\n" + LangText(L"IDS_33");
  bool download;
  if (MsgBox3Available())
    download = MsgBox3(LangText(L"IDS_29"), message, LangText(L"IDS_35"), MB_ICONEXCLAMATION, main) == -1;
  else
    download = MsgBox3(message, MB_ICONEXCLAMATION | MB_OKCANCEL, main) == IDOK;
  if (!download) return;
  MaximizeMainForm(main);
  OpenUrl(StrZevrikSupportUrl);
}
