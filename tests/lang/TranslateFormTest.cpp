// An open window follows the language module's dispatcher: captions, hints, memo lines and the
// context menu of a form with a translation table.
#include "base/Unicode.h"
#include "lang/DmLang.h"
#include "support/Pump.h"
#include "support/TempFolder.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

#include <atomic>
#include <memory>
#include <thread>

namespace {

class TFrmLangSample : public TForm {
public:
  explicit TFrmLangSample(TComponent* owner) : TForm(owner) {
    SetClientSize(320, 200);
    SetCaption(L"Beispiel");
    LblName = NewComponent<TLabel>(this, L"LblName");
    LblName->SetBounds(8, 8, 120, 17);
    LblName->SetCaption(L"&Bezeichnung:");
    LblName->SetParent(this);
    BtnApply = NewComponent<TButton>(this, L"BtnApply");
    BtnApply->SetBounds(8, 160, 120, 25);
    BtnApply->SetCaption(L"&Übernehmen");
    BtnApply->SetHint(L"Eingaben übernehmen");
    BtnApply->SetParent(this);
    MmoInfo = NewComponent<TMemo>(this, L"MmoInfo");
    MmoInfo->SetBounds(8, 32, 300, 100);
    MmoInfo->SetParent(this);
    MmoInfo->Lines().SetText(L"Zeile eins\r\nZeile zwei");
    MnuText = NewComponent<TPopupMenu>(this, L"MnuText");
    MnuCopy = MnuText->AddItem(L"MnuCopy", L"&Kopieren");  // owned by the menu, not the form
    MnuCopy->SetHint(L"Text kopieren");
    SetPopupMenu(MnuText);

    siLang = NewComponent<TsiLang>(this, L"siLang");
    siLang->SetTable({
        {stCaptions, L"TFrmLangSample", L"Beispiel", L"Sample"},
        {stCaptions, L"LblName", L"&Bezeichnung:", L"&Name:"},
        {stCaptions, L"BtnApply", L"&Übernehmen", L"&Apply"},
        {stHints, L"BtnApply", L"Eingaben übernehmen", L"Apply the entries"},
        {stCaptions, L"MnuCopy", L"&Kopieren", L"&Copy"},
        {stHints, L"MnuCopy", L"Text kopieren", L"Copy the text"},
        {stMultiLines, L"MmoInfo", L"Zeile eins\r\nZeile zwei", L"Line one\r\nLine two"},
        {stStrings, L"StrGreeting", L"Guten Tag", L"Good day"},
    });
    siLang->OnChangeLanguage = [this](TObject*) { UpdateStrings(); };
    siLang->SetLangDispatcher(DmLangQel->LangDisp);
    OnCreate = [this](TObject*) { UpdateStrings(); };
    DoCreate();
  }

  void UpdateStrings() {
    Greeting = siLang->GetTextOrDefault(L"StrGreeting");
    ++Updates;
  }

  TLabel* LblName = nullptr;
  TButton* BtnApply = nullptr;
  TMemo* MmoInfo = nullptr;
  TPopupMenu* MnuText = nullptr;
  TMenuItem* MnuCopy = nullptr;
  TsiLang* siLang = nullptr;
  std::wstring Greeting;
  int Updates = 0;
};

std::wstring WindowText(HWND wnd) {
  wchar_t buffer[256] = {};
  ::GetWindowTextW(wnd, buffer, 256);
  return buffer;
}

class TranslateForm : public ::testing::Test {
protected:
  void TearDown() override {
    DmLangQel->LangDisp->SetActiveLanguage(1);
    DmLangQel->SetExternalSilFile(L"");
  }
  static std::unique_ptr<TFrmLangSample> ShownForm() {
    auto form = std::make_unique<TFrmLangSample>(nullptr);
    form->Show();
    PumpFor(50);
    return form;
  }
  // What the form shows, read from its windows and parts.
  static void ExpectTexts(const TFrmLangSample& form, bool english) {
    EXPECT_EQ(WindowText(form.Handle()), english ? L"Sample" : L"Beispiel");
    EXPECT_EQ(WindowText(form.LblName->Handle()), english ? L"&Name:" : L"&Bezeichnung:");
    EXPECT_EQ(WindowText(form.BtnApply->Handle()), english ? L"&Apply" : L"&Übernehmen");
    EXPECT_EQ(form.BtnApply->Hint(), english ? L"Apply the entries" : L"Eingaben übernehmen");
    const std::vector<std::wstring> lines =
        english ? std::vector<std::wstring>{L"Line one", L"Line two"} : std::vector<std::wstring>{L"Zeile eins", L"Zeile zwei"};
    EXPECT_EQ(form.MmoInfo->Lines().ToVector(), lines);
    EXPECT_EQ(form.MnuCopy->Caption(), english ? L"&Copy" : L"&Kopieren");
    EXPECT_EQ(form.MnuCopy->Hint(), english ? L"Copy the text" : L"Text kopieren");
    EXPECT_EQ(form.Greeting, english ? L"Good day" : L"Guten Tag");
  }
};

TEST_F(TranslateForm, AnOpenFormFollowsTheDispatcherToEnglishAndBack) {
  auto form = ShownForm();
  ExpectTexts(*form, false);
  const int updates = form->Updates;
  DmLangQel->LangDisp->SetActiveLanguage(2);
  PumpFor(20);
  ExpectTexts(*form, true);
  EXPECT_EQ(form->Updates, updates + 1);
  DmLangQel->LangDisp->SetActiveLanguage(1);
  PumpFor(20);
  ExpectTexts(*form, false);
  EXPECT_EQ(form->Updates, updates + 2);
}

TEST_F(TranslateForm, AFormCreatedAfterTheSwitchIsEnglishAtOnce) {
  DmLangQel->LangDisp->SetActiveLanguage(2);
  auto form = ShownForm();
  ExpectTexts(*form, true);
}

TEST_F(TranslateForm, TheContextMenuPopsUpTranslated) {
  auto form = ShownForm();
  DmLangQel->LangDisp->SetActiveLanguage(2);
  // The menu runs its own modal loop: read it and close it from another thread, with the
  // Esc key as a user would.
  std::atomic<bool> read{false};
  std::wstring shown;
  std::thread reader([&] {
    for (int i = 0; i < 500 && !read; ++i) {
      HWND menuWnd = ::FindWindowW(L"#32768", nullptr);
      if (menuWnd && ::IsWindowVisible(menuWnd)) {
        auto menu = reinterpret_cast<HMENU>(::SendMessageW(menuWnd, MN_GETHMENU, 0, 0));
        wchar_t buffer[64] = {};
        if (menu && ::GetMenuStringW(menu, 0, buffer, 64, MF_BYPOSITION) > 0) {
          shown = buffer;
          read = true;
          PressKey(VK_ESCAPE);
          break;
        }
      }
      ::Sleep(20);
    }
  });
  RECT r;
  ::GetWindowRect(form->Handle(), &r);
  form->MnuText->SetPopupComponent(form.get());
  form->MnuText->Popup(r.left + 20, r.top + 20, form->Handle());
  reader.join();
  EXPECT_TRUE(read);
  EXPECT_EQ(shown, L"&Copy");
}

TEST_F(TranslateForm, TheExternalFileReachesFormsOpenBeforeAndCreatedAfter) {
  TTempFolder folder;
  const std::wstring path = folder.WriteFile(
      L"texts.sil", TextToUtf8(L"[TFrmLangSample en-US]\r\nCaptions.BtnApply = &Take over\r\nMultiLines.MmoInfo = Only\\nlines\r\n"));
  auto before = ShownForm();
  DmLangQel->LangDisp->SetActiveLanguage(2);
  DmLangQel->SetExternalSilFile(path);
  ASSERT_EQ(DmLangQel->ExternalSilFile(), path);
  EXPECT_EQ(WindowText(before->BtnApply->Handle()), L"&Take over");
  EXPECT_EQ(before->MmoInfo->Lines().ToVector(), (std::vector<std::wstring>{L"Only", L"lines"}));
  auto after = ShownForm();
  EXPECT_EQ(WindowText(after->BtnApply->Handle()), L"&Take over");
  EXPECT_EQ(WindowText(after->LblName->Handle()), L"&Name:") << "texts the file does not name stay";
  DmLangQel->LangDisp->SetActiveLanguage(1);
  EXPECT_EQ(WindowText(after->BtnApply->Handle()), L"&Übernehmen");
}

}  // namespace
