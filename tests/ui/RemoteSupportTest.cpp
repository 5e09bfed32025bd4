// The remote-support launcher: which client it starts from where, with which proxy arguments
// from which store, and the download question when there is none. The shell call and the
// message box are recorded instead of made; the stores are throwaway files and a throwaway key.
#include "base/Files.h"
#include "base/Misc.h"
#include "lang/DmLang.h"
#include "settings/AppSettings.h"
#include "support/Pump.h"
#include "support/TempFolder.h"
#include "support/TestSupport.h"
#include "toolkit/Forms.h"
#include "ui/RemoteSupport.h"
#include "ui/WinHelpers.h"

#include <shellapi.h>

#include <memory>
#include <optional>
#include <vector>

namespace {

// ---- quoting: every value arrives as exactly one argument ----

// The arguments a client gets for its command line, read by the system's own rules.
std::vector<std::wstring> ArgvOf(const std::wstring& commandLine) {
  int count = 0;
  LPWSTR* argv = ::CommandLineToArgvW(commandLine.c_str(), &count);
  std::vector<std::wstring> result;
  if (!argv) return result;
  for (int i = 0; i < count; ++i) result.emplace_back(argv[i]);
  ::LocalFree(argv);
  return result;
}

struct TQuoteCase {
  const char* name;
  std::wstring value;
  std::wstring arrives;  // what the client reads (zero characters cannot be passed)
};

void PrintTo(const TQuoteCase& c, std::ostream* os) { *os << c.name; }

class QuoteArgument : public ::testing::TestWithParam<TQuoteCase> {};

TEST_P(QuoteArgument, ArrivesAsExactlyOneArgumentWhereverItStands) {
  const TQuoteCase& c = GetParam();
  const std::wstring client = L"\"C:\\Program Files\\Support\\TeamViewerQS.exe\" ";
  // As proxy, user and password at once: each stays in its place.
  TProxyChoice choice{c.value + L"1", c.value + L"2", c.value + L"3", 1};
  const std::vector<std::wstring> expected{L"C:\\Program Files\\Support\\TeamViewerQS.exe",
                                           L"--ProxyIP",
                                           c.arrives + L"1",
                                           L"--ProxyUser",
                                           c.arrives + L"2",
                                           L"--ProxyPassword",
                                           c.arrives + L"3"};
  EXPECT_EQ(ArgvOf(client + SupportArguments(0, choice)), expected) << SupportArguments(0, choice);
  // The value alone, at the end of the line (a trailing backslash meets the closing quote).
  EXPECT_EQ(ArgvOf(client + QuoteCommandArgument(c.value)),
            (std::vector<std::wstring>{expected[0], c.arrives}));
  // After an option glued to it, as the other client takes it.
  const std::vector<std::wstring> glued = ArgvOf(client + SupportArguments(1, choice));
  EXPECT_EQ(glued, (std::vector<std::wstring>{expected[0], L"/proxy:" + c.arrives + L"1",
                                               L"/proxyuser:" + c.arrives + L"2",
                                               L"/proxypass:" + c.arrives + L"3"}));
}

INSTANTIATE_TEST_SUITE_P(
    RemoteSupport, QuoteArgument,
    ::testing::Values(
        TQuoteCase{"Plain", L"proxy.example.com:8080", L"proxy.example.com:8080"},
        TQuoteCase{"Blank", L"pass word", L"pass word"},
        TQuoteCase{"OnlyBlanks", L"   ", L"   "},
        TQuoteCase{"Quotes", L"say \"hi\"", L"say \"hi\""},
        TQuoteCase{"LoneQuote", L"\"", L"\""},
        TQuoteCase{"QuoteThatClosesAndAddsAnOption", L"x\" --ProxyIP evil \"", L"x\" --ProxyIP evil \""},
        TQuoteCase{"AnotherProgram", L"x\" & calc.exe & \"", L"x\" & calc.exe & \""},
        TQuoteCase{"TrailingBackslash", L"C:\\Temp\\", L"C:\\Temp\\"},
        TQuoteCase{"TrailingBackslashAndBlank", L"C:\\My Temp\\", L"C:\\My Temp\\"},
        TQuoteCase{"BackslashesBeforeAQuote", L"a\\\\\"b c", L"a\\\\\"b c"},
        TQuoteCase{"BackslashesAlone", L"\\\\server\\share", L"\\\\server\\share"},
        TQuoteCase{"Tab", L"a\tb", L"a\tb"},
        TQuoteCase{"LineBreaks", L"line1\r\nline2", L"line1\r\nline2"},
        TQuoteCase{"ControlCharacters", L"a\x01\x1B\x7F" L"b", L"a\x01\x1B\x7F" L"b"},
        TQuoteCase{"ZeroCharacterDropped", std::wstring(L"ab\0--ProxyUser evil", 19), L"ab--ProxyUser evil"},
        TQuoteCase{"LooksLikeAnOption", L"--ProxyPassword", L"--ProxyPassword"},
        TQuoteCase{"Umlauts", L"Müller Straße", L"Müller Straße"}),
    TCaseName());

TEST(RemoteSupport, AnEmptyValueIsStillOneArgument) {
  EXPECT_EQ(ArgvOf(L"c.exe " + QuoteCommandArgument(L"")), (std::vector<std::wstring>{L"c.exe", L""}));
}

TEST(RemoteSupport, KindByFileNameIgnoringCase) {
  EXPECT_EQ(SupportProgramKind(L"C:\\x\\TeamViewerQS.exe"), 0);
  EXPECT_EQ(SupportProgramKind(L"C:\\x\\fastclient.EXE"), 1);
  EXPECT_EQ(SupportProgramKind(L"C:\\FastClient.exe\\other.exe"), 0);  // the file name counts
  EXPECT_EQ(SupportProgramKind(L""), 0);
}

// ---- the launcher end to end, behind the shell and message-box seams ----

struct TShellCall {
  std::wstring Verb, Target, Parameters;
  bool operator==(const TShellCall&) const = default;
};
void PrintTo(const TShellCall& c, std::ostream* os) {
  *os << testing::PrintToString(c.Verb) << " " << testing::PrintToString(c.Target) << " "
      << testing::PrintToString(c.Parameters);
}

struct TAsked {
  std::wstring Headline, Message, Buttons;
  std::uint32_t Flags = 0;
  TForm* Owner = nullptr;
};

std::vector<TShellCall> gShellCalls;
std::vector<TAsked> gAsked;
int gAnswer = 0;
TSupportFolders gFolders;

// One store's proxy entries; null: not written.
struct TProxyEntries {
  const wchar_t* Server = nullptr;
  const wchar_t* Port = nullptr;
  const wchar_t* User = nullptr;
  const wchar_t* Password = nullptr;
  const wchar_t* Priority = nullptr;
};

struct TLaunchCase {
  const char* name;
  std::vector<const wchar_t*> programFolder = {};  // files next to the program
  std::vector<const wchar_t*> desktop = {};        // files on the desktop
  bool extraStore = false;
  const wchar_t* choice = nullptr;  // the program-choice entry (extra store)
  const wchar_t* choiceElsewhere = nullptr;  // the same entry in the INI file and the registry
  TProxyEntries ini = {}, registry = {}, extra = {};
  bool dialogHook = true;  // caller-given buttons available
  int answer = 0;          // the message box's answer
  // Expected: the client started ("P\" program folder, "D\" desktop) with these arguments,
  const wchar_t* started = nullptr;
  const wchar_t* arguments = L"";
  // or the question asked, and the page opened.
  bool asked = false;
  bool pageOpened = false;
};

void PrintTo(const TLaunchCase& c, std::ostream* os) { *os << c.name; }

constexpr const wchar_t* TV = L"TeamViewerQS.exe";
constexpr const wchar_t* FC = L"FastClient.exe";

class RemoteSupportLaunch : public ::testing::TestWithParam<TLaunchCase> {
protected:
  void SetUp() override {
    gShellCalls.clear();
    gAsked.clear();
    registryKey = L"Software\\TavrinoTest\\" + UniqueTestName(L"Support");
    InitAppSettingsFor(programFolder.Path() + L"Tavrino.exe", registryKey, false, L"");
    SetShellExecuteProc([](HWND, const std::wstring& verb, const std::wstring& target, const std::wstring& params) {
      gShellCalls.push_back({verb, target, params});
    });
    gFolders = {programFolder.Path(), desktop.Path()};
    SetSupportFoldersProc([] { return gFolders; });
    main = std::make_unique<TForm>(nullptr);
    main->SetClientSize(300, 200);
    previousMain = Application().MainForm();
    Application().SetMainForm(main.get());
    main->Show();
  }
  void TearDown() override {
    Application().SetMainForm(previousMain);
    main.reset();
    SetSupportFoldersProc(nullptr);
    SetShellExecuteProc(nullptr);
    SettingsStop();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, registryKey.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TavrinoTest");  // only when empty
  }

  static void Write(TSettings* store, const TProxyEntries& e) {
    if (e.Server) store->WrString(kProxyServerEntry, e.Server);
    if (e.Port) store->WrString(kProxyPortEntry, e.Port);
    if (e.User) store->WrString(kProxyUserEntry, e.User);
    if (e.Password) store->WrString(kProxyPasswordEntry, e.Password);
    if (e.Priority) store->WrInteger(kProxyPriorityEntry, std::stoi(e.Priority));
  }

  TTempFolder programFolder{L"TavrinoProgram"};
  TTempFolder desktop{L"TavrinoDesktop"};
  TTempFolder extraFolder{L"TavrinoExtra"};
  std::wstring registryKey;
  std::unique_ptr<TForm> main;
  TForm* previousMain = nullptr;
  TKeepMsgBoxProcs keepHooks;
};

TEST_P(RemoteSupportLaunch, StartsTheRightClientOrAsks) {
  const TLaunchCase& c = GetParam();
  auto place = [](const TTempFolder& folder, const std::wstring& name) {
    if (name.ends_with(L"\\"))
      ::CreateDirectoryW((folder.Path() + name).c_str(), nullptr);
    else
      folder.WriteFile(name, "MZ");
  };
  for (const wchar_t* name : c.programFolder) place(programFolder, name);
  for (const wchar_t* name : c.desktop) place(desktop, name);
  Write(AppIniSettings(), c.ini);
  Write(AppSettings(), c.registry);
  if (c.choiceElsewhere) {
    AppIniSettings()->WrString(kSupportProgramEntry, c.choiceElsewhere);
    AppSettings()->WrString(kSupportProgramEntry, c.choiceElsewhere);
  }
  if (c.extraStore) {
    auto extra = std::make_unique<TIniSettings>(extraFolder.Path() + L"Extra.ini", false);
    if (c.choice) extra->WrString(kSupportProgramEntry, c.choice);
    Write(extra.get(), c.extra);
    SetAppExtraSettings(std::move(extra));
  }
  gAnswer = c.answer;
  if (c.dialogHook)
    SetMsgBoxProcs(nullptr, nullptr,
                   [](const std::wstring& headline, const std::wstring& message, const std::wstring& buttons,
                      std::uint32_t flags, TForm* owner) {
                     gAsked.push_back({headline, message, buttons, flags, owner});
                     return gAnswer;
                   });
  else
    SetMsgBoxProcs(
        [](const std::wstring& text, std::uint32_t flags, HWND) {
          gAsked.push_back({L"", text, L"", flags, nullptr});
          return gAnswer;
        },
        nullptr, nullptr);

  StartRemoteSupport();
  PumpFor(20);

  std::vector<TShellCall> expectedCalls;
  if (c.started) {
    const std::wstring started = c.started;
    const std::wstring folder = started.starts_with(L"D\\") ? desktop.Path() : programFolder.Path();
    expectedCalls.push_back({L"open", folder + started.substr(2), c.arguments});
  }
  if (c.pageOpened) expectedCalls.push_back({L"open", StrZevrikSupportUrl, L""});
  EXPECT_EQ(gShellCalls, expectedCalls);

  ASSERT_EQ(gAsked.size(), c.asked ? 1u : 0u);
  if (c.asked) {
    const std::wstring message = L"Das Programm für die Fernwartung konnte nicht gefunden werden.\r\n\r\n"
                                 L"Möchten Sie nun zur Support-Homepage von Zevrik, um das Programm herunterzuladen?";
    if (c.dialogHook) {
      EXPECT_EQ(gAsked[0].Headline, L"Fernwartungs-Programm herunterladen?");
      EXPECT_EQ(gAsked[0].Message, message);
      EXPECT_EQ(gAsked[0].Buttons, L"Zum &Download|&Abbrechen");
      EXPECT_EQ(gAsked[0].Flags, 48u);
      EXPECT_EQ(gAsked[0].Owner, main.get());
    } else {
      EXPECT_EQ(gAsked[0].Message, message);
      EXPECT_EQ(gAsked[0].Flags, 49u);
    }
  }
  // A started client or an opened page shows the sizeable main window in full.
  EXPECT_EQ(::IsZoomed(main->Handle()) != FALSE, c.started != nullptr || c.pageOpened);
}

const TProxyEntries kHost{L"H", L"8080", L"U", nullptr, nullptr};

INSTANTIATE_TEST_SUITE_P(
    RemoteSupport, RemoteSupportLaunch,
    ::testing::Values(
        // Which client, from where.
        TLaunchCase{.name = "BothInProgramFolderTakesTheFirst", .programFolder = {TV, FC}, .started = L"P\\TeamViewerQS.exe"},
        TLaunchCase{.name = "ChoiceF", .programFolder = {TV, FC}, .extraStore = true, .choice = L"F",
                    .started = L"P\\FastClient.exe"},
        TLaunchCase{.name = "ChoiceLowerCaseF", .programFolder = {TV, FC}, .extraStore = true, .choice = L"f",
                    .started = L"P\\FastClient.exe"},
        TLaunchCase{.name = "ChoiceListWithBlanks", .programFolder = {TV, FC}, .extraStore = true, .choice = L"x, F",
                    .started = L"P\\FastClient.exe"},
        TLaunchCase{.name = "ChoiceBothInOtherOrder", .programFolder = {TV, FC}, .extraStore = true, .choice = L"F,T",
                    .started = L"P\\TeamViewerQS.exe"},
        TLaunchCase{.name = "ChoiceXAllowsNone", .programFolder = {TV, FC}, .extraStore = true, .choice = L"X",
                    .answer = -2, .asked = true},
        TLaunchCase{.name = "ChoiceOutsideTheExtraStoreCountsNot", .programFolder = {TV, FC}, .extraStore = true,
                    .choiceElsewhere = L"F", .started = L"P\\TeamViewerQS.exe"},
        TLaunchCase{.name = "OnlyOnTheDesktop", .desktop = {FC}, .started = L"D\\FastClient.exe"},
        TLaunchCase{.name = "ProgramFolderBeforeDesktop", .programFolder = {FC}, .desktop = {TV},
                    .started = L"P\\FastClient.exe"},
        TLaunchCase{.name = "DesktopWhenTheChoiceRulesOutTheProgramFolder", .programFolder = {FC}, .desktop = {TV},
                    .extraStore = true, .choice = L"T", .started = L"D\\TeamViewerQS.exe"},
        TLaunchCase{.name = "AFolderOfTheClientsNameIsNoClient", .programFolder = {L"TeamViewerQS.exe\\"},
                    .answer = -2, .asked = true},
        // Proxy arguments.
        TLaunchCase{.name = "ProxyForTeamViewer", .programFolder = {TV}, .ini = kHost, .started = L"P\\TeamViewerQS.exe",
                    .arguments = L"--ProxyIP H:8080 --ProxyUser U"},
        TLaunchCase{.name = "ProxyForFastClient", .programFolder = {FC}, .ini = kHost, .started = L"P\\FastClient.exe",
                    .arguments = L"/proxy:H:8080 /proxyuser:U"},
        TLaunchCase{.name = "PasswordWithBlankInQuotes", .programFolder = {TV},
                    .ini = {L"H", L"8080", L"U", L"geheim wort", nullptr}, .started = L"P\\TeamViewerQS.exe",
                    .arguments = L"--ProxyIP H:8080 --ProxyUser U --ProxyPassword \"geheim wort\""},
        TLaunchCase{.name = "PortOnly", .programFolder = {TV}, .ini = {nullptr, L"3128", nullptr, nullptr, nullptr},
                    .started = L"P\\TeamViewerQS.exe", .arguments = L"--ProxyIP 3128"},
        TLaunchCase{.name = "ServerOnly", .programFolder = {TV}, .ini = {L"proxy", nullptr, nullptr, L"pw", nullptr},
                    .started = L"P\\TeamViewerQS.exe", .arguments = L"--ProxyIP proxy --ProxyPassword pw"},
        TLaunchCase{.name = "NoServerNoPortNoArguments", .programFolder = {TV},
                    .ini = {nullptr, nullptr, L"U", L"pw", nullptr}, .registry = {nullptr, nullptr, L"U2", L"p2", L"5"},
                    .started = L"P\\TeamViewerQS.exe"},
        TLaunchCase{.name = "HigherPriorityInRegistryWinsWhole", .programFolder = {TV},
                    .ini = {L"ini", L"1", L"iu", L"ip", L"1"}, .registry = {L"reg", L"2", L"ru", nullptr, L"2"},
                    .started = L"P\\TeamViewerQS.exe", .arguments = L"--ProxyIP reg:2 --ProxyUser ru"},
        TLaunchCase{.name = "EqualPrioritiesTheIniFileWins", .programFolder = {TV},
                    .ini = {L"ini", L"1", L"iu", L"ip", nullptr}, .registry = {L"reg", L"2", L"ru", L"rp", nullptr},
                    .started = L"P\\TeamViewerQS.exe", .arguments = L"--ProxyIP ini:1 --ProxyUser iu --ProxyPassword ip"},
        TLaunchCase{.name = "ExtraStoreWithHighestPriority", .programFolder = {TV}, .extraStore = true,
                    .ini = {L"ini", L"1", nullptr, nullptr, L"2"}, .registry = {L"reg", L"2", nullptr, nullptr, L"3"},
                    .extra = {L"extra", L"3", nullptr, nullptr, L"4"}, .started = L"P\\TeamViewerQS.exe",
                    .arguments = L"--ProxyIP extra:3"},
        TLaunchCase{.name = "PriorityZeroNeverWins", .programFolder = {TV},
                    .ini = {L"ini", L"1", nullptr, nullptr, L"0"}, .started = L"P\\TeamViewerQS.exe"},
        TLaunchCase{.name = "NegativePriorityLosesToTheDefault", .programFolder = {TV},
                    .ini = {L"ini", L"1", nullptr, nullptr, L"-5"}, .registry = {L"reg", L"2", nullptr, nullptr, nullptr},
                    .started = L"P\\TeamViewerQS.exe", .arguments = L"--ProxyIP reg:2"},
        TLaunchCase{.name = "HostileValuesStayOneArgumentEach", .programFolder = {TV},
                    .registry = {L"h\" & calc.exe & \"", L"1", L"C:\\x\\", L"a\r\nb", nullptr},
                    .started = L"P\\TeamViewerQS.exe",
                    .arguments = L"--ProxyIP \"h\\\" & calc.exe & \\\":1\" --ProxyUser C:\\x\\ --ProxyPassword \"a\r\nb\""},
        // No client: the question.
        TLaunchCase{.name = "NoClientCancelled", .answer = -2, .asked = true},
        TLaunchCase{.name = "NoClientDownload", .answer = -1, .asked = true, .pageOpened = true},
        TLaunchCase{.name = "NoClientPlainBoxCancelled", .dialogHook = false, .answer = IDCANCEL, .asked = true},
        TLaunchCase{.name = "NoClientPlainBoxOk", .dialogHook = false, .answer = IDOK, .asked = true,
                    .pageOpened = true}),
    TCaseName());

TEST(RemoteSupport, FixedWindowIsNotMaximised) {
  gShellCalls.clear();
  SetShellExecuteProc([](HWND, const std::wstring& verb, const std::wstring& target, const std::wstring& params) {
    gShellCalls.push_back({verb, target, params});
  });
  TTempFolder folder{L"TavrinoProgram"};
  folder.WriteFile(L"FastClient.exe", "MZ");
  gFolders = {folder.Path(), L""};
  SetSupportFoldersProc([] { return gFolders; });
  TForm form(nullptr);
  form.SetBorderStyle(bsDialog);
  form.SetClientSize(200, 100);
  TForm* previousMain = Application().MainForm();
  Application().SetMainForm(&form);
  form.Show();
  StartRemoteSupport();  // no stores at all: no proxy
  Application().SetMainForm(previousMain);
  SetSupportFoldersProc(nullptr);
  SetShellExecuteProc(nullptr);
  EXPECT_EQ(gShellCalls, (std::vector<TShellCall>{{L"open", folder.Path() + L"FastClient.exe", L""}}));
  EXPECT_FALSE(::IsZoomed(form.Handle()));
}

}  // namespace
