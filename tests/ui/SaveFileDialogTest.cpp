// The system's save dialog as SaveFileDialog opens it, answered by a user on another thread with
// the mouse and the keyboard: the file type shown first and the one chosen.
#include "support/Pump.h"
#include "support/TempFolder.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "ui/WinHelpers.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {

constexpr int kFileTypeCombo = 0x470;  // the dialog's "save as type" box (cmb1)
const std::wstring kFilter = L"Textdatei (ANSI)|*.txt|Textdatei (UTF-8)|*.txt|Alle Dateien|*.*";

// Polls on the user's thread (no messages of its own to pump) with a generous limit.
bool WaitFor(const std::function<bool()>& done, int limitMsec = 20000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMsec);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    ::Sleep(20);
  }
  return true;
}

HWND ShownDialogOf(DWORD threadId) {
  HWND found = nullptr;
  ::EnumThreadWindows(
      threadId,
      [](HWND wnd, LPARAM param) -> BOOL {
        wchar_t cls[16] = {};
        ::GetClassNameW(wnd, cls, 16);
        if (std::wstring(cls) != L"#32770" || !::IsWindowVisible(wnd)) return TRUE;
        *reinterpret_cast<HWND*>(param) = wnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// What the user does in the dialog, on a thread of its own while the test's thread waits in it.
struct TUserAnswer {
  std::wstring Name;   // typed into the name field
  int TypeSteps = 0;   // rows the file type moves down, chosen from its opened list
  bool Cancel = false; // Esc instead of Enter
};

class SaveDialog : public ::testing::Test {
protected:
  // Opens the dialog with the index given, lets the user answer and returns the dialog's result.
  bool Run(const TUserAnswer& answer, std::wstring& fileName, int& filterIndex) {
    const DWORD threadId = ::GetCurrentThreadId();
    std::thread user([&] { Answer(threadId, answer); });
    const bool saved = SaveFileDialog(nullptr, L"", folder.Path(), L"txt", kFilter, fileName, &filterIndex);
    user.join();
    return saved;
  }

  void Answer(DWORD threadId, const TUserAnswer& answer) {
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = ShownDialogOf(threadId)) != nullptr; })) {
      ADD_FAILURE() << "no save dialog";
      return;
    }
    HWND combo = ::GetDlgItem(dialog, kFileTypeCombo);
    shownFirst = static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
    ::SetForegroundWindow(dialog);
    if (WaitFor([&] { return ::GetForegroundWindow() == dialog && ::IsChild(dialog, FocusedWindowOf(dialog)); })) {
      TypeText(answer.Name);
      if (answer.TypeSteps > 0) {
        ClickWithMouse(combo);
        EXPECT_TRUE(WaitFor([&] { return ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
        for (int step = 0; step < answer.TypeSteps; ++step) PressKey(VK_DOWN);
        PressKey(VK_RETURN);  // closes the list on the row
        const int wanted = shownFirst + answer.TypeSteps;
        EXPECT_TRUE(WaitFor([&] {
          return ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == 0 && ::SendMessageW(combo, CB_GETCURSEL, 0, 0) == wanted;
        }));
      }
      PressKey(answer.Cancel ? VK_ESCAPE : VK_RETURN);
    } else {
      ADD_FAILURE() << "the dialog never had the focus";
    }
    // A dialog the keys did not reach is cancelled, so that the test ends.
    if (!WaitFor([&] { return !::IsWindow(dialog); })) {
      ADD_FAILURE() << "the dialog stayed open";
      ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
  }

  TTempFolder folder;
  std::atomic<int> shownFirst{-1};
};

TEST_F(SaveDialog, ShowsTheGivenTypeFirstAndReportsTheChosenOne) {
  std::wstring fileName;
  int filterIndex = 2;
  ASSERT_TRUE(Run({L"probe.txt", 1, false}, fileName, filterIndex));
  EXPECT_EQ(shownFirst, 1);  // the second pair, 0-based in the box
  EXPECT_EQ(filterIndex, 3);
  EXPECT_EQ(fileName, folder.Path() + L"probe.txt");
}

TEST_F(SaveDialog, WithoutAGivenTypeTheDefaultExtensionsPairIsShownAndReported) {
  std::wstring fileName;
  int filterIndex = 0;
  ASSERT_TRUE(Run({L"probe", 0, false}, fileName, filterIndex));
  EXPECT_EQ(shownFirst, 0);
  EXPECT_EQ(filterIndex, 1);
  EXPECT_EQ(fileName, folder.Path() + L"probe.txt");
}

TEST_F(SaveDialog, CancelLeavesNameAndTypeAlone) {
  std::wstring fileName = folder.Path() + L"vorher.txt";
  int filterIndex = 2;
  EXPECT_FALSE(Run({L"x", 1, true}, fileName, filterIndex));
  EXPECT_EQ(filterIndex, 2);
  EXPECT_EQ(fileName, folder.Path() + L"vorher.txt");
}

}  // namespace
