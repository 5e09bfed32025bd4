// The language module: its strings and variables, the language rules, the external file.
#include "base/Unicode.h"
#include "base/Win.h"
#include "lang/DmLang.h"
#include "support/TempFolder.h"
#include "support/TestSupport.h"

#include <memory>
#include <set>

namespace {

// Tests that switch the program-wide dispatcher put German back.
class DmLang : public ::testing::Test {
protected:
  void TearDown() override { DmLangQel->LangDisp->SetActiveLanguage(1); }
};

TEST(DmLangStart, TheModuleIsGermanAfterStart) {
  ASSERT_NE(DmLangQel, nullptr);
  EXPECT_EQ(StrCopyToClipboard, L"In Zwischenablage kopieren");
  EXPECT_EQ(DmLangQel->CurLanguageTag(), L"de-DE");
  EXPECT_EQ(DmLangQel->ExternalSilFile(), L"");
  EXPECT_EQ(DmLangQel->siLang->LangDispatcher(), DmLangQel->LangDisp);
}

TEST_F(DmLang, SwitchingTheDispatcherRefreshesTheVariables) {
  DmLangQel->LangDisp->SetActiveLanguage(2);
  EXPECT_EQ(StrCopyToClipboard, L"Copy to clipboard");
  EXPECT_EQ(StrKW, L"Week");
  EXPECT_EQ(DmLangQel->CurLanguageTag(), L"en-US");
  DmLangQel->LangDisp->SetActiveLanguage(1);
  EXPECT_EQ(StrCopyToClipboard, L"In Zwischenablage kopieren");
  EXPECT_EQ(StrKW, L"KW");
}

TEST_F(DmLang, EveryNamedStringHasItsOwnTextInBothLanguages) {
  const auto vars = LangStringVariables();
  ASSERT_EQ(vars.size(), 349u);
  std::set<std::wstring> ids;
  for (int lang : {1, 2}) {
    DmLangQel->LangDisp->SetActiveLanguage(lang);
    for (const TLangStringVar& var : vars) {
      const std::string id = TextToUtf8(var.Id);
      ids.insert(var.Id);
      // The table's own text, not a fallback to the other language.
      EXPECT_FALSE(DmLangQel->siLang->Table().Text(stStrings, var.Id, lang).empty()) << id << " in language " << lang;
      EXPECT_FALSE(var.Variable->empty()) << id;
      EXPECT_NE(*var.Variable, var.Id) << id;
      EXPECT_EQ(var.Variable->find(L"TODO"), std::wstring::npos) << id;
    }
  }
  EXPECT_EQ(ids.size(), 349u);
}

TEST(DmLangTable, HoldsTheDialogCaptionsAndAllStrings) {
  const TsiTable& table = DmLangQel->siLang->Table();
  EXPECT_EQ(table.Entries(stStrings).size(), 405u);
  ASSERT_EQ(table.Entries(stDlgsCaptions).size(), 15u);
  for (const auto& entry : table.Entries(stDlgsCaptions)) {
    EXPECT_FALSE(entry.Texts.at(0).empty()) << TextToUtf8(entry.Key);
    EXPECT_TRUE(entry.Texts.at(1).empty()) << "the key is the English caption";
  }
  EXPECT_EQ(table.Text(stDlgsCaptions, L"Yes To All", 1), L"A&lle Ja");
  EXPECT_EQ(table.Text(stDlgsCaptions, L"Ok", 1), L"OK");
  int numbered = 0;
  for (const auto& entry : table.Entries(stStrings)) {
    if (entry.Key.rfind(L"IDS_", 0) != 0) continue;
    ++numbered;
    EXPECT_FALSE(entry.Texts.at(0).empty() || entry.Texts.at(1).empty()) << TextToUtf8(entry.Key);
  }
  EXPECT_EQ(numbered, 56);
  for (const wchar_t* missing : {L"IDS_14", L"IDS_18", L"IDS_62"}) EXPECT_EQ(table.Find(stStrings, missing), nullptr);
  EXPECT_EQ(table.Text(stStrings, L"StrZevrikSupportUrl", 1).rfind(L"https://support.example.com/", 0), 0u);
  EXPECT_EQ(table.Text(stStrings, L"StrZevrikSupportUrl", 2).rfind(L"https://support.example.com/", 0), 0u);
}

struct TKnownText {
  const char* name;
  const wchar_t* id;
  const wchar_t* german;
  const wchar_t* english;
};

class DmLangKnownTexts : public ::testing::TestWithParam<TKnownText> {};

// The texts that the library's dialogs and messages depend on.
TEST_P(DmLangKnownTexts, StandAsTheLibraryNeedsThem) {
  const TsiTable& table = DmLangQel->siLang->Table();
  EXPECT_EQ(table.Text(stStrings, GetParam().id, 1), GetParam().german);
  EXPECT_EQ(table.Text(stStrings, GetParam().id, 2), GetParam().english);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DmLangKnownTexts,
    ::testing::Values(
        TKnownText{"CopyToClipboard", L"StrCopyToClipboard", L"In Zwischenablage kopieren", L"Copy to clipboard"},
        TKnownText{"DirMissing", L"StrDirMissing", L"Ordner fehlt", L"Folder missing"},
        TKnownText{"DirDoesNotExist", L"StrDirDoesNotExist", L"Der Ordner \"((1))\" existiert nicht.",
                   L"The folder \"((1))\" does not exist."},
        TKnownText{"KW", L"StrKW", L"KW", L"Week"},
        TKnownText{"Ids29", L"IDS_29", L"Fernwartungs-Programm herunterladen?", L"Download Remote Support Program?"},
        TKnownText{"Ids30", L"IDS_30", L"Das Programm für die Fernwartung konnte nicht gefunden werden.",
                   L"Unable to find the Remote Support application."},
        TKnownText{"Ids33", L"IDS_33", L"Möchten Sie nun zur Support-Homepage von Zevrik, um das Programm herunterzuladen?",
                   L"Do you want to go to the Zevrik support homepage so you can download this program?"},
        TKnownText{"Ids35", L"IDS_35", L"Zum &Download|&Abbrechen", L"&Download|&Cancel"},
        TKnownText{"DialogTypeNew", L"CDialogTypeCaption_New", L"((1)) neu anlegen", L"Create ((1))"},
        TKnownText{"FileDoesNotExist", L"StrFileDoesNotExist", L"Die Datei \"((1))\" existiert nicht.",
                   L"The file \"((1))\" does not exist."},
        TKnownText{"XofY", L"StrXofY", L"((1)) von ((2))", L"((1)) of ((2))"},
        TKnownText{"January", L"StrMonth_1", L"Januar", L"January"},
        TKnownText{"MondayShort", L"StrMonday_Short", L"Mo", L"Mon"}),
    TCaseName());

// ---- language rules

struct TTagCase {
  const char* name;
  const wchar_t* tag;
  int index;
};

class DmLangTags : public ::testing::TestWithParam<TTagCase> {};

TEST_P(DmLangTags, MapToALanguage) { EXPECT_EQ(TDmLangQel::LanguageIndex(GetParam().tag), GetParam().index); }

INSTANTIATE_TEST_SUITE_P(Cases, DmLangTags,
                         ::testing::Values(TTagCase{"GermanAnyCase", L"DE-de", 1}, TTagCase{"GermanAustria", L"de-AT", 1},
                                           TTagCase{"GermanPart", L"de", 1}, TTagCase{"GermanBlanks", L" de -CH", 1},
                                           TTagCase{"EnglishUs", L"en-US", 2}, TTagCase{"EnglishUk", L"en-GB", 2},
                                           TTagCase{"French", L"fr-FR", 2}, TTagCase{"Empty", L"", 2}),
                         TCaseName());

struct TLocaleCase {
  const char* name;
  std::uint16_t langId;
  int index;
};

class DmLangLocales : public ::testing::TestWithParam<TLocaleCase> {};

TEST_P(DmLangLocales, MapToALanguage) {
  EXPECT_EQ(TDmLangQel::LocaleLanguageOf(GetParam().langId), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DmLangLocales,
    ::testing::Values(TLocaleCase{"GermanGermany", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), 1},
                      TLocaleCase{"GermanAustria", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_AUSTRIAN), 1},
                      TLocaleCase{"EnglishUs", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), 2},
                      TLocaleCase{"EnglishUk", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), 2},
                      TLocaleCase{"French", MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), 2},
                      TLocaleCase{"Japanese", MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), 2}),
    TCaseName());

TEST_F(DmLang, TheLanguageListIsGermanThenEnglish) {
  const auto list = LanguageList();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(std::wstring(list[0].Tag), L"de-DE");
  EXPECT_EQ(std::wstring(list[1].NameGerman), L"Englisch");
  EXPECT_EQ(DmLangQel->LangDisp->LangTags(), (std::vector<std::wstring>{list[0].Tag, list[1].Tag}));
}

// ---- the external file, on a module of the test's own (the program-wide one is left alone)

class DmLangExternal : public ::testing::Test {
protected:
  // A module of another library part, with a table of its own.
  class TDmPart : public TDataModule {
  public:
    explicit TDmPart(TComponent* owner) : TDataModule(owner) {
      siLang = NewComponent<TsiLang>(this, L"siLang");
      siLang->SetTable({{stStrings, L"StrHello", L"Hallo", L"Hello"}});
    }
    TsiLang* siLang = nullptr;
  };

  void SetUp() override {
    module = std::make_unique<TDmLangQel>(nullptr);
    module->LangDisp->SetActiveLanguage(2);
    good = folder.WriteFile(L"texts.sil", TextToUtf8(L"# external texts\r\n"
                                                     L"[TDmLangQel en-US]\r\n"
                                                     L"Strings.StrCopyToClipboard = Copy it\r\n"
                                                     L"[TDmPart en-US]\r\n"
                                                     L"Strings.StrHello = Hi\r\n"));
  }
  void TearDown() override {
    module.reset();
    DmLangQel->UpdateStrings();  // the variables are program-wide
  }
  std::unique_ptr<TDmPart> NewPart(TsiLangDispatcher* dispatcher) {
    auto part = std::make_unique<TDmPart>(nullptr);
    part->siLang->SetLangDispatcher(dispatcher);
    return part;
  }

  TTempFolder folder;
  std::unique_ptr<TDmLangQel> module;
  std::wstring good;
};

TEST_F(DmLangExternal, OverridesTablesLinkedBeforeAndAfter) {
  auto before = NewPart(module->LangDisp);
  EXPECT_EQ(StrCopyToClipboard, L"Copy to clipboard");
  module->SetExternalSilFile(good);
  EXPECT_EQ(module->ExternalSilFile(), good);
  EXPECT_EQ(StrCopyToClipboard, L"Copy it");
  EXPECT_EQ(before->siLang->GetText(L"StrHello"), L"Hi");
  auto after = NewPart(module->LangDisp);
  EXPECT_EQ(after->siLang->GetText(L"StrHello"), L"Hi");
  module->LangDisp->SetActiveLanguage(1);
  EXPECT_EQ(after->siLang->GetText(L"StrHello"), L"Hallo");
  EXPECT_EQ(StrCopyToClipboard, L"In Zwischenablage kopieren");
}

TEST_F(DmLangExternal, AMissingOrMalformedFileIsNotKeptAndChangesNothing) {
  const std::wstring malformed = folder.WriteFile(L"bad.sil", "[TDmLangQel en-US]\r\nStrings.StrCopyToClipboard\r\n");
  for (const std::wstring& path : {folder.Path() + L"missing.sil", malformed, std::wstring()}) {
    module->SetExternalSilFile(good);
    module->SetExternalSilFile(path);
    EXPECT_EQ(module->ExternalSilFile(), L"") << TextToUtf8(path);
  }
  auto part = NewPart(module->LangDisp);
  EXPECT_EQ(part->siLang->GetText(L"StrHello"), L"Hello") << "a table linked after an empty file name gets nothing";

  // A module that only ever saw the malformed file has the texts it was built with.
  module = std::make_unique<TDmLangQel>(nullptr);
  module->LangDisp->SetActiveLanguage(2);
  module->SetExternalSilFile(malformed);
  EXPECT_EQ(StrCopyToClipboard, L"Copy to clipboard");
  TDmLangQel pristine(nullptr);
  EXPECT_EQ(module->siLang->Table(), pristine.siLang->Table());
}

TEST_F(DmLangExternal, TheApplicationsOwnDispatcherIsKeptInStep) {
  auto appDisp = std::make_unique<TsiLangDispatcher>(nullptr);
  appDisp->SetActiveLanguage(2);
  auto early = NewPart(appDisp.get());
  module->SetAppLangDisp(appDisp.get());
  EXPECT_EQ(early->siLang->GetText(L"StrHello"), L"Hello");
  module->SetExternalSilFile(good);
  EXPECT_EQ(early->siLang->GetText(L"StrHello"), L"Hi");

  auto otherDisp = std::make_unique<TsiLangDispatcher>(nullptr);
  otherDisp->SetActiveLanguage(2);
  auto late = NewPart(otherDisp.get());
  module->SetAppLangDisp(otherDisp.get());
  EXPECT_EQ(late->siLang->GetText(L"StrHello"), L"Hi");

  otherDisp.reset();
  EXPECT_EQ(module->AppLangDisp(), nullptr) << "the module forgets a dispatcher that has gone";
  module->SetExternalSilFile(good);  // and does not reach for it
}

TEST(DmLangStop, ClearsTheVariablesAndStartFillsThemAgain) {
  DmLangStop();
  EXPECT_EQ(DmLangQel, nullptr);
  for (const TLangStringVar& var : LangStringVariables()) EXPECT_TRUE(var.Variable->empty()) << TextToUtf8(var.Id);
  DmLangStart();
  ASSERT_NE(DmLangQel, nullptr);
  EXPECT_EQ(StrCopyToClipboard, L"In Zwischenablage kopieren");
  EXPECT_EQ(StrMonday, L"Montag");
}

}  // namespace
