// The log view's commands on the real program, clicked with the mouse and answered in the
// system's save dialog with the keyboard: what lands in files, on the clipboard, in the view
// and in the registry.
#include "base/Files.h"
#include "base/Unicode.h"
#include "e2e/RunningProgram.h"
#include "settings/SettingsTestSupport.h"
#include "support/Pump.h"
#include "support/TempFolder.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>

namespace {

constexpr int kPort = 6702;
const wchar_t kProgramKey[] = L"Software\\Zevrik\\Tavrino";

std::wstring WaitForView(HWND view, const std::wstring& expected) {
  std::wstring shown;
  PumpUntil([&] { return (shown = WindowText(view)) == expected; }, 15000);
  return shown;
}

std::wstring ClipboardText() {
  std::wstring text;
  for (int attempt = 0; attempt < 50 && !::OpenClipboard(nullptr); ++attempt) ::Sleep(20);
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = p;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

// Puts a text on the clipboard, as another program would.
void SetClipboardText(const std::wstring& text) {
  for (int attempt = 0; attempt < 50 && !::OpenClipboard(nullptr); ++attempt) ::Sleep(20);
  ::EmptyClipboard();
  if (HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t))) {
    if (auto* p = static_cast<wchar_t*>(::GlobalLock(data))) {
      std::copy(text.c_str(), text.c_str() + text.size() + 1, p);
      ::GlobalUnlock(data);
    }
    if (!::SetClipboardData(CF_UNICODETEXT, data)) ::GlobalFree(data);
  }
  ::CloseClipboard();
}

constexpr int kFileTypeCombo = 0x470;  // the save dialog's "save as type" box (cmb1)

// A fresh user profile for the program: no stored font size, no placement.
class LogCommands : public ::testing::Test {
protected:
  void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey); }
  void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey); }

  // Clicks Save, waits for the save dialog, types the name, chooses the file type if told (the
  // row below the first, picked from the opened list) and presses Enter.
  void SaveAs(TRunningProgram& program, const std::wstring& fileName, int typeRow = 0) {
    ClickWithMouse(program.Button(L"Speichern"));
    HWND dialog = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (dialog = program.WaitForWindow(L"#32770", 100)) != nullptr; }, 15000));
    ::SetForegroundWindow(dialog);
    PumpFor(200);
    TypeText(fileName);
    if (typeRow > 0) {
      HWND combo = ::GetDlgItem(dialog, kFileTypeCombo);
      ClickWithMouse(combo);
      ASSERT_TRUE(PumpUntil([&] { return ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 15000));
      for (int row = 0; row < typeRow; ++row) PressKey(VK_DOWN);
      PressKey(VK_RETURN);  // closes the list on the row
      ASSERT_TRUE(PumpUntil(
          [&] {
            return ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == 0 &&
                   ::SendMessageW(combo, CB_GETCURSEL, 0, 0) == typeRow;
          },
          15000));
    }
    PressKey(VK_RETURN);
  }
  // The question before an ANSI save that would lose characters: its text, once the button of
  // the caption has been clicked and the question is gone.
  std::wstring AnswerAnsiQuestion(TRunningProgram& program, const std::wstring& caption) {
    HWND box = nullptr;
    std::wstring question;
    PumpUntil(
        [&] {
          for (HWND wnd : program.TopLevelWindows(L"TavrinoForm", true))
            for (HWND child : ChildWindows(wnd, L"TavrinoPaintBox"))
              if (const std::wstring text = WindowText(child); text.find(L"ANSI") != std::wstring::npos) {
                box = wnd;
                question = text;
                return true;
              }
          return false;
        },
        15000);
    if (!box) return L"<no question>";
    HWND button = nullptr;
    for (HWND child : ChildWindows(box, L"Button"))
      if (WindowText(child) == caption) button = child;
    if (!button) return L"<no button " + caption + L">";
    ::SetForegroundWindow(box);
    PumpFor(100);
    ClickWithMouse(button);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 15000));
    return question;
  }
  // Pastes the text into the empty view with Ctrl+V (no datagram decoding on the way) and waits
  // for it; the clipboard gets back what it held.
  void PasteIntoView(TRunningProgram& program, const std::wstring& text) {
    const std::wstring earlier = ClipboardText();
    HWND view = program.LogView();
    SetClipboardText(text);
    ::SetForegroundWindow(program.MainWindow());
    ASSERT_TRUE(PumpUntil([&] { return FocusedWindowOf(view) == view; }));
    PressKey('V', {VK_CONTROL});
    ASSERT_EQ(WaitForView(view, text), text);
    SetClipboardText(earlier);
  }
  // Answers the question whether to replace the file with Yes, and waits until it is gone, so
  // that no key meant for it reaches the main window.
  void ConfirmReplace(TRunningProgram& program) {
    const auto asking = [&] { return program.TopLevelWindows(L"#32770", true).size() >= 2; };
    PressKey('Y', {VK_MENU});
    if (PumpUntil([&] { return !asking(); }, 5000)) return;
    PressKey('Y');  // the button's access key alone, should the Alt key not have reached it
    ASSERT_TRUE(PumpUntil([&] { return !asking(); }, 15000));
  }

  TTempFolder folder;
};

TEST_F(LogCommands, SaveWritesTheViewInTheAnsiCodePageWithCrLf) {
  TRunningProgram program;
  HWND view = program.LogView();
  ASSERT_NE(view, nullptr);

  // An empty view gives an empty file.
  const std::wstring empty = folder.Path() + L"leer.txt";
  SaveAs(program, empty);
  ASSERT_TRUE(PumpUntil([&] { return FileExists(empty); }, 15000));
  EXPECT_EQ(ReadFileBytes(empty), "");

  SendDatagram(kPort, "Gr\xFC\xDF" "e");
  SendDatagram(kPort, "zwei");
  ASSERT_EQ(WaitForView(view, L"Grüße\r\nzwei\r\n"), L"Grüße\r\nzwei\r\n");
  ClickWithMouse(program.Button(L"Hex"));
  SendDatagram(kPort, "\r\n");
  const std::wstring withHex = L"Grüße\r\nzwei\r\n0D 0A" + std::wstring(21, L' ') + L"\u2190\u2193\r\n";
  ASSERT_EQ(WaitForView(view, withHex), withHex);
  const std::wstring lines = folder.Path() + L"Zeilen.txt";
  SaveAs(program, lines);
  // The arrows of the hex dump have no place in code page 1252: asked, the user keeps ANSI, and
  // the system writes "?".
  EXPECT_EQ(AnswerAnsiQuestion(program, L"&Nein"),
            L"2 Zeichen können in ANSI nicht gespeichert werden; als UTF-8 speichern?");
  ASSERT_TRUE(PumpUntil([&] { return ReadFileBytes(lines).size() > 0; }, 15000));
  EXPECT_EQ(ReadFileBytes(lines), "Gr\xFC\xDF" "e\r\nzwei\r\n0D 0A" + std::string(21, ' ') + "??\r\n");
  EXPECT_EQ(FilesIn(folder.Path()).size(), 2u);  // no temporary file left behind
}

// Text that code page 1252 cannot write, typed or pasted by the user: saved as UTF-8 chosen in
// the dialog, it comes back byte for byte, without a byte order mark.
TEST_F(LogCommands, SaveAsUtf8ChosenInTheDialogWritesEveryCharacter) {
  TRunningProgram program;
  ASSERT_NE(program.LogView(), nullptr);
  PasteIntoView(program, L"Grüße \u2713 \U0001F600\r\n\u041F\u0440\u0438\u0432\u0435\u0442");
  const std::wstring name = folder.Path() + L"utf8.txt";
  SaveAs(program, name, 1);
  // Written without a question: every character has its place in UTF-8.
  ASSERT_TRUE(PumpUntil([&] { return FileExists(name); }, 15000));
  EXPECT_EQ(ReadFileBytes(name), "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93 \xF0\x9F\x98\x80\r\n"
                                 "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
}

TEST_F(LogCommands, TheSaveDialogOffersAnsiFirstThenUtf8) {
  TRunningProgram program;
  ClickWithMouse(program.Button(L"Speichern"));
  HWND dialog = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (dialog = program.WaitForWindow(L"#32770", 100)) != nullptr; }, 15000));
  HWND combo = ::GetDlgItem(dialog, kFileTypeCombo);
  std::vector<std::wstring> types;
  const auto count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    if (::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 256) ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    types.push_back(text);
  }
  EXPECT_EQ(types, (std::vector<std::wstring>{L"Textdatei (ANSI)", L"Textdatei (UTF-8)", L"Alle Dateien"}));
  EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
  ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(dialog); }, 15000));
}

// Saving as ANSI text with characters the code page cannot write asks first, with the count
// (a surrogate pair is one character); each answer has its own outcome.
struct TAnsiAnswer {
  const char* name;
  const wchar_t* caption;
  enum { Utf8, Ansi, Nothing } outcome;
};

class AnsiQuestion : public LogCommands, public ::testing::WithParamInterface<TAnsiAnswer> {};

TEST_P(AnsiQuestion, AnswerDecidesTheFile) {
  TRunningProgram program;
  // Found now: while the check mark shows, it is the program's first window.
  HWND view = program.LogView();
  ASSERT_NE(view, nullptr);
  const std::wstring text = L"Grüße " + std::wstring(1233, L'\u2713') + L" \U0001F600";
  PasteIntoView(program, text);
  const std::wstring name = folder.Path() + L"frage.txt";
  SaveAs(program, name);
  EXPECT_EQ(AnswerAnsiQuestion(program, GetParam().caption),
            L"1.234 Zeichen können in ANSI nicht gespeichert werden; als UTF-8 speichern?");
  switch (GetParam().outcome) {
    case TAnsiAnswer::Utf8:
      EXPECT_TRUE(PumpUntil([&] { return ReadFileBytes(name) == TextToUtf8(text); }, 15000));
      EXPECT_EQ(ReadFileBytes(name).substr(0, 8), "Gr\xC3\xBC\xC3\x9F" "e ");
      break;
    case TAnsiAnswer::Ansi:
      // Each character the code page lacks is the system's replacement.
      EXPECT_TRUE(PumpUntil([&] { return ReadFileBytes(name) == TextToAnsi(text, 1252); }, 15000));
      EXPECT_EQ(ReadFileBytes(name).substr(0, 8), "Gr\xFC\xDF" "e ??");
      break;
    case TAnsiAnswer::Nothing:
      // Once the window has answered a message after the question, nothing is on its way.
      DWORD_PTR answer = 0;
      ::SendMessageTimeoutW(program.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 15000, &answer);
      PumpFor(500);
      EXPECT_TRUE(FilesIn(folder.Path()).empty());
      break;
  }
  // The view keeps its text.
  EXPECT_TRUE(WaitForView(view, text) == text);
}

INSTANTIATE_TEST_SUITE_P(Program, AnsiQuestion,
                         ::testing::Values(TAnsiAnswer{"JaSavesUtf8", L"&Ja", TAnsiAnswer::Utf8},
                                           TAnsiAnswer{"NeinSavesAnsi", L"&Nein", TAnsiAnswer::Ansi},
                                           TAnsiAnswer{"AbbrechenSavesNothing", L"&Abbrechen", TAnsiAnswer::Nothing}),
                         TCaseName());

TEST_F(LogCommands, SaveOverAnExistingFileAsksFirst) {
  const std::wstring name = folder.WriteFile(L"alt.txt", "alter Inhalt");
  TRunningProgram program;
  HWND view = program.LogView();
  SendDatagram(kPort, "neu");
  ASSERT_EQ(WaitForView(view, L"neu\r\n"), L"neu\r\n");
  SaveAs(program, name);
  // The question whether to replace the file: a second dialog box over the save dialog.
  ASSERT_TRUE(PumpUntil([&] { return program.TopLevelWindows(L"#32770", true).size() >= 2; }, 15000));
  EXPECT_EQ(ReadFileBytes(name), "alter Inhalt");
  ConfirmReplace(program);
  EXPECT_TRUE(PumpUntil([&] { return ReadFileBytes(name) == "neu\r\n"; }, 15000));
}

TEST_F(LogCommands, AFailedSaveIsReportedAndKeepsFileAndView) {
  const std::wstring name = folder.WriteFile(L"gesperrt.txt", "bleibt");
  TRunningProgram program;
  HWND view = program.LogView();
  SendDatagram(kPort, "Zeile");
  ASSERT_EQ(WaitForView(view, L"Zeile\r\n"), L"Zeile\r\n");
  {
    // Another program holds the file open and lets nobody replace it.
    TFileHandle held = HoldOpen(name, GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(held.Valid());
    SaveAs(program, name);
    ASSERT_TRUE(PumpUntil([&] { return program.TopLevelWindows(L"#32770", true).size() >= 2; }, 15000));
    ConfirmReplace(program);
    // The exception display: a message naming the file.
    bool reported = false;
    PumpUntil(
        [&] {
          for (HWND wnd : program.TopLevelWindows(L"TavrinoForm", true))
            for (HWND child : ChildWindows(wnd, L"TavrinoPaintBox"))
              if (WindowText(child).find(L"gesperrt.txt") != std::wstring::npos) reported = true;
          for (HWND wnd : program.TopLevelWindows(L"#32770", true))
            for (HWND child : ChildWindows(wnd, L"Static"))
              if (WindowText(child).find(L"gesperrt.txt") != std::wstring::npos) reported = true;
          return reported;
        },
        15000);
    EXPECT_TRUE(reported);
    PressKey(VK_RETURN);
  }
  EXPECT_EQ(ReadFileBytes(name), "bleibt");
  EXPECT_EQ(WindowText(view), L"Zeile\r\n");
  EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::wstring>{L"gesperrt.txt"});
}

TEST_F(LogCommands, CopyPutsTheViewOnTheClipboard) {
  TRunningProgram program;
  HWND view = program.LogView();
  SendDatagram(kPort, "eins");
  SendDatagram(kPort, "zwei \xE4");
  ASSERT_EQ(WaitForView(view, L"eins\r\nzwei ä\r\n"), L"eins\r\nzwei ä\r\n");
  ClickWithMouse(program.Button(L"Protokoll in Zwischenablage kopieren"));
  EXPECT_TRUE(PumpUntil([&] { return ClipboardText() == L"eins\r\nzwei ä\r\n"; }, 15000));
}

// The popup that confirms a command, found without a message to the program (its thread waits
// while the popup shows).
HWND ConfirmationPopup(const TRunningProgram& program) {
  for (HWND wnd : program.TopLevelWindows(L"TavrinoForm", true)) {
    wchar_t text[8] = {};
    ::GetWindowTextW(wnd, text, 8);
    if (std::wstring(text) == L"\u2714") return wnd;
  }
  return nullptr;
}

// The share of a window's client height that shows the mark, read from the screen: the rows
// with a colour that is neither the background (the commonest colour) nor the frame's.
double MarkShareOfHeight(HWND popup) {
  const TScreenPixels shot = ScreenPixels(ScreenClientRect(popup));
  if (shot.Height <= 2 || shot.Width <= 2) return 0;
  std::map<COLORREF, int> counts;
  for (COLORREF c : shot.Pixels) ++counts[c];
  const COLORREF background =
      std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
  const COLORREF frame = shot.At(0, 0);
  int top = shot.Height, bottom = -1;
  for (int y = 0; y < shot.Height; ++y)
    for (int x = 0; x < shot.Width; ++x)
      if (const COLORREF c = shot.At(x, y); c != background && c != frame) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  return bottom < top ? 0 : static_cast<double>(bottom - top + 1) / shot.Height;
}

// What the user sees for a quarter of a second after Copy: the check mark, large enough to read
// as a confirmation at any display scale.
class CopyConfirmation : public LogCommands, public ::testing::WithParamInterface<int> {};

TEST_P(CopyConfirmation, TheCheckMarkCoversAtLeastHalfThePopupsHeight) {
  TDisplayScale scale(GetParam());
  TRunningProgram program;
  const TToolButtonSeen copy = program.Button(L"Protokoll in Zwischenablage kopieren");
  ASSERT_TRUE(copy);
  bool seen = false;
  double best = 0;
  // The popup shows for a quarter of a second; a busy machine may let it pass unread: again.
  for (int attempt = 0; attempt < 5 && best < 0.5; ++attempt) {
    ClickWithMouse(copy);
    HWND popup = nullptr;
    if (!PumpUntil([&] { return (popup = ConfirmationPopup(program)) != nullptr; }, 5000)) continue;
    seen = true;
    while (::IsWindow(popup) && ::IsWindowVisible(popup)) best = std::max(best, MarkShareOfHeight(popup));
    ASSERT_TRUE(PumpUntil([&] { return ConfirmationPopup(program) == nullptr; }, 5000));
  }
  ASSERT_TRUE(seen) << "no confirmation showed";
  EXPECT_GE(best, 0.5) << "the mark covers " << best << " of the popup's height";
}

INSTANTIATE_TEST_SUITE_P(Program, CopyConfirmation, ::testing::Values(96, 144),
                         [](const ::testing::TestParamInfo<int>& row) { return "At" + std::to_string(row.param); });

TEST_F(LogCommands, SeparatorGoesAfterTheLastLineWhereverTheCaretIs) {
  TRunningProgram program;
  HWND view = program.LogView();
  SendDatagram(kPort, "a");
  SendDatagram(kPort, "b");
  ASSERT_EQ(WaitForView(view, L"a\r\nb\r\n"), L"a\r\nb\r\n");
  ::SendMessageW(view, EM_SETSEL, 0, 0);  // the caret at the start
  ClickWithMouse(program.Button(L"Trennlinie einfügen"));
  const std::wstring expected = L"a\r\nb\r\n\r\n" + std::wstring(99, L'=') + L"\r\n\r\n";
  EXPECT_EQ(WaitForView(view, expected), expected);
}

TEST_F(LogCommands, ClearWhileDatagramsArriveKeepsWholeLines) {
  TRunningProgram program;
  HWND view = program.LogView();
  std::atomic<bool> sending{true};
  std::thread sender([&] {
    for (int n = 0; sending; ++n) {
      SendDatagram(kPort, "vorher " + std::to_string(n));
      ::Sleep(2);
    }
  });
  PumpUntil([&] { return WindowText(view).size() > 200; }, 15000);
  ClickWithMouse(program.Button(L"Leeren"));
  PumpFor(300);
  sending = false;
  sender.join();
  SendDatagram(kPort, "danach");
  std::wstring text;
  ASSERT_TRUE(PumpUntil([&] { return (text = WindowText(view)).ends_with(L"danach\r\n"); }, 15000));
  // What the view holds after the clear are whole lines that came after it.
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find(L"\r\n", at);
    ASSERT_NE(end, std::wstring::npos);
    const std::wstring line = text.substr(at, end - at);
    EXPECT_TRUE(line == L"danach" || line.starts_with(L"vorher ")) << testing::PrintToString(line);
    at = end + 2;
  }
}

// Edits the user made are part of what is saved and copied.
TEST_F(LogCommands, SaveAndCopyTakeTheViewAsTheUserEditedIt) {
  TRunningProgram program;
  HWND view = program.LogView();
  SendDatagram(kPort, "eins");
  SendDatagram(kPort, "zwei");
  ASSERT_EQ(WaitForView(view, L"eins\r\nzwei\r\n"), L"eins\r\nzwei\r\n");
  ::SetForegroundWindow(program.MainWindow());
  ASSERT_TRUE(PumpUntil([&] { return FocusedWindowOf(view) == view; }));
  PressKey(VK_HOME, {VK_CONTROL});
  TypeText(L"\u00C4");
  PressKey(VK_END);
  TypeText(L"!");
  const std::wstring edited = L"\u00C4eins!\r\nzwei\r\n";
  ASSERT_EQ(WaitForView(view, edited), edited);

  const std::wstring name = folder.Path() + L"bearbeitet.txt";
  SaveAs(program, name);
  EXPECT_TRUE(PumpUntil([&] { return ReadFileBytes(name) == "\xC4" "eins!\r\nzwei\r\n"; }, 15000))
      << ReadFileBytes(name);
  // The save ends with its check mark shown for a moment: the next click waits for it to go.
  DWORD_PTR answer = 0;
  ::SendMessageTimeoutW(program.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 15000, &answer);
  ClickWithMouse(program.Button(L"Protokoll in Zwischenablage kopieren"));
  EXPECT_TRUE(PumpUntil([&] { return ClipboardText() == edited; }, 15000)) << testing::PrintToString(ClipboardText());
}

// The width of a character of the view in pixels, read from outside.
int CharWidth(HWND view) {
  const LRESULT first = ::SendMessageW(view, EM_POSFROMCHAR, 0, 0);
  const LRESULT second = ::SendMessageW(view, EM_POSFROMCHAR, 1, 0);
  return static_cast<short>(LOWORD(second)) - static_cast<short>(LOWORD(first));
}

std::pair<DWORD, std::string> StoredFontSize() { return RawValue(kProgramKey + std::wstring(L"\\Settings"), L"Font Size"); }

TEST_F(LogCommands, FontSizeStepsAreStoredAndRead) {
  int widthAt8 = 0;
  {
    TRunningProgram program;
    HWND view = program.LogView();
    SendDatagram(kPort, "WWWW");
    ASSERT_EQ(WaitForView(view, L"WWWW\r\n"), L"WWWW\r\n");
    widthAt8 = CharWidth(view);
    const TToolButtonSeen larger = program.Button(L"Schrift vergrößern");
    for (int i = 0; i < 10; ++i) ClickWithMouse(larger);
    ASSERT_TRUE(PumpUntil([] { return StoredFontSize().second == DwordBytes(18); }, 15000));
    EXPECT_GT(CharWidth(view), widthAt8 * 3 / 2);
  }
  TRunningProgram again;
  HWND view = again.LogView();
  SendDatagram(kPort, "WWWW");
  ASSERT_EQ(WaitForView(view, L"WWWW\r\n"), L"WWWW\r\n");
  EXPECT_GT(CharWidth(view), widthAt8 * 3 / 2);  // 18 points after the restart
}

// A font step keeps the line at the top of the view where it is.
TEST_F(LogCommands, FontStepsKeepTheTopLine) {
  TRunningProgram program;
  HWND view = program.LogView();
  for (int i = 0; i < 300; ++i) SendDatagram(kPort, "Zeile " + std::to_string(i));
  ASSERT_TRUE(PumpUntil([&] { return ::SendMessageW(view, EM_GETLINECOUNT, 0, 0) == 301; }, 30000));
  ::SendMessageW(view, EM_LINESCROLL, 0, -1000);
  ::SendMessageW(view, EM_LINESCROLL, 0, 100);
  ASSERT_EQ(::SendMessageW(view, EM_GETFIRSTVISIBLELINE, 0, 0), 100);
  const std::pair<const wchar_t*, int> steps[] = {
      {L"Schrift vergrößern", 9}, {L"Schrift vergrößern", 10}, {L"Schrift verkleinern", 9}, {L"Schrift verkleinern", 8},
      {L"Schrift verkleinern", 7}};
  for (const auto& [button, points] : steps) {
    ClickWithMouse(program.Button(button));
    ASSERT_TRUE(PumpUntil([&] { return StoredFontSize().second == DwordBytes(points); }, 15000));
    EXPECT_EQ(::SendMessageW(view, EM_GETFIRSTVISIBLELINE, 0, 0), 100) << points << " pt";
  }
}

// After every font step, larger or smaller, the horizontal scroll bar reaches exactly the end of
// the widest line (the edit control kept the larger font's width after a smaller step).
TEST_F(LogCommands, HorizontalScrollReachesTheEndOfTheWidestLineAfterEveryFontStep) {
  TRunningProgram program;
  HWND view = program.LogView();
  SendDatagram(kPort, std::string(300, 'x'));
  ASSERT_EQ(WaitForView(view, std::wstring(300, L'x') + L"\r\n"), std::wstring(300, L'x') + L"\r\n");
  const std::pair<const wchar_t*, int> steps[] = {
      {L"Schrift vergrößern", 9}, {L"Schrift vergrößern", 10}, {L"Schrift vergrößern", 11},
      {L"Schrift verkleinern", 10}, {L"Schrift verkleinern", 9}, {L"Schrift verkleinern", 8}, {L"Schrift verkleinern", 7}};
  for (const auto& [button, points] : steps) {
    ClickWithMouse(program.Button(button));
    ASSERT_TRUE(PumpUntil([&] { return StoredFontSize().second == DwordBytes(points); }, 15000));
    ::SendMessageW(view, WM_HSCROLL, SB_LEFT, 0);
    const int cell = CharWidth(view);
    ::SendMessageW(view, WM_HSCROLL, SB_RIGHT, 0);
    RECT client;
    ::GetClientRect(view, &client);
    // The last character ends one cell (the caret's place behind it) before the right edge.
    const int lastRight = static_cast<short>(LOWORD(::SendMessageW(view, EM_POSFROMCHAR, 299, 0))) + cell;
    EXPECT_LE(lastRight, client.right - cell) << points << " pt";
    EXPECT_GT(lastRight, client.right - 2 * cell) << points << " pt";
  }
}

TEST_F(LogCommands, FontNeverGoesBelowFourPoints) {
  ASSERT_EQ(SetRawValue(kProgramKey + std::wstring(L"\\Settings"), L"Font Size", REG_DWORD, DwordBytes(5)),
            ERROR_SUCCESS);
  TRunningProgram program;
  const TToolButtonSeen smaller = program.Button(L"Schrift verkleinern");
  ASSERT_TRUE(smaller);
  ClickWithMouse(smaller);
  ASSERT_TRUE(PumpUntil([] { return StoredFontSize().second == DwordBytes(4); }, 15000));
  // At 4 points the command does nothing, so it stores nothing either.
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, (kProgramKey + std::wstring(L"\\Settings")).c_str(), L"Font Size");
  ClickWithMouse(smaller);
  PumpFor(500);
  EXPECT_EQ(StoredFontSize().first, static_cast<DWORD>(REG_NONE));
}

TEST_F(LogCommands, HostileStoredFontSizeGivesAReadableView) {
  ASSERT_EQ(SetRawValue(kProgramKey + std::wstring(L"\\Settings"), L"Font Size", REG_DWORD, DwordBytes(-7)),
            ERROR_SUCCESS);
  TRunningProgram program;
  HWND view = program.LogView();
  SendDatagram(kPort, "WWWW");
  ASSERT_EQ(WaitForView(view, L"WWWW\r\n"), L"WWWW\r\n");
  EXPECT_GT(CharWidth(view), 1);
}

TEST_F(LogCommands, WindowPlacementSurvivesARestart) {
  RECT placed{};
  {
    TRunningProgram program;
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    ::SetWindowPos(main, nullptr, 123, 87, 640, 480, SWP_NOZORDER);
    ::GetWindowRect(main, &placed);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
  }
  {
    TRunningProgram program;
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    RECT restored;
    ::GetWindowRect(main, &restored);
    EXPECT_EQ(restored.left, placed.left);
    EXPECT_EQ(restored.top, placed.top);
    EXPECT_EQ(restored.right - restored.left, placed.right - placed.left);
    EXPECT_EQ(restored.bottom - restored.top, placed.bottom - placed.top);
    ::ShowWindow(main, SW_MAXIMIZE);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
  }
  TRunningProgram program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(::IsZoomed(main));
}

}  // namespace
