// The translation engine without windows: the table layout, lookups with fallback, the
// dispatcher's language switch and links, and the external translation file.
#include "base/Unicode.h"
#include "lang/SiLang.h"
#include "support/TempFolder.h"
#include "support/TestSupport.h"
#include "toolkit/DataModule.h"

#include <memory>

namespace {

// A module that owns a table, as a window or module of the program does.
class TDmSample : public TDataModule {
public:
  explicit TDmSample(TComponent* owner) : TDataModule(owner) {
    siLang = NewComponent<TsiLang>(this, L"siLang");
    siLang->SetTable({
        {stStrings, L"StrHello", L"Hallo", L"Hello"},
        {stStrings, L"StrOnlyGerman", L"Nur Deutsch", L""},
        {stStrings, L"StrOnlyEnglish", L"", L"Only English"},
        {stDlgsCaptions, L"Cancel", L"Abbrechen", L""},
        {stDlgsCaptions, L"Yes To All", L"A&lle Ja", L"Yes to &all"},
    });
  }
  TsiLang* siLang = nullptr;
};

const std::wstring D = L"\x0001";

// ---- layout

TEST(SiLayout, WritesSectionsInOrderWithDelimitersAndCrLf) {
  TsiTable table;
  table.Add(stStrings, L"StrA", {L"Eins", L"One"});
  table.Add(stCaptions, L"BtnOK", {L"&OK", L""});
  table.Add(stStrings, L"StrB", {L"Zwei", L"Two"});
  const std::wstring text = table.LayoutText(2);

  std::wstring expected = L"stCaptions_Unicode\r\n\r\nBtnOK" + D + L"&OK" + D + D + L"\r\n";
  for (const wchar_t* s : {L"stHints_Unicode", L"stDisplayLabels_Unicode", L"stFonts_Unicode", L"stMultiLines_Unicode",
                           L"stDlgsCaptions_Unicode"})
    expected += std::wstring(s) + L"\r\n\r\n";
  expected += L"stStrings_Unicode\r\n\r\nStrA" + D + L"Eins" + D + L"One" + D + L"\r\nStrB" + D + L"Zwei" + D + L"Two" + D +
              L"\r\n";
  for (const wchar_t* s : {L"stOtherStrings_Unicode", L"stLocales_Unicode", L"stCollections_Unicode",
                           L"stCharSets_Unicode"})
    expected += std::wstring(s) + L"\r\n\r\n";
  EXPECT_EQ(text, expected);
}

TEST(SiLayout, RoundTripsEverySectionAndMultiLineTexts) {
  TsiTable table;
  for (int s = 0; s < TranslationSectionCount; ++s)
    table.Add(static_cast<TsiSection>(s), L"Key" + std::to_wstring(s), {L"De " + std::to_wstring(s), L"En"});
  table.Add(stMultiLines, L"MmoInfo", {L"Zeile 1\r\nZeile 2\r\n", L"Line 1\r\nLine 2"});
  table.Add(stStrings, L"StrSpace", {L" ", L" "});
  table.Add(stStrings, L"StrBackslash", {L"\\", L"\\"});

  const std::wstring text = table.LayoutText(2);
  EXPECT_EQ(text.find(L"Zeile 1\r\n"), std::wstring::npos) << "one line per entry";
  TsiTable back;
  ASSERT_TRUE(back.SetLayoutText(text));
  EXPECT_EQ(back, table);
  EXPECT_EQ(back.LayoutText(2), text);
  EXPECT_EQ(back.Text(stMultiLines, L"MmoInfo", 1), L"Zeile 1\r\nZeile 2\r\n");
}

TEST(SiLayout, ReadsLfOnlyTextsAndEntriesWithoutTheClosingDelimiter) {
  TsiTable table;
  ASSERT_TRUE(table.SetLayoutText(L"stStrings_Unicode\n\nStrA" + D + L"Eins" + D + L"One\nStrB" + D + L"Zwei" + D + D + L"\n"));
  EXPECT_EQ(table.Text(stStrings, L"StrA", 2), L"One");
  EXPECT_EQ(table.Text(stStrings, L"StrB", 1), L"Zwei");
  EXPECT_EQ(table.Text(stStrings, L"StrB", 2), L"");
}

struct TMalformedLayout {
  const char* name;
  std::wstring text;
};

class SiLayoutMalformed : public ::testing::TestWithParam<TMalformedLayout> {};

TEST_P(SiLayoutMalformed, LeavesTheTableAsItWas) {
  TsiTable table;
  table.Add(stStrings, L"StrKeep", {L"Bleibt", L"Stays"});
  const TsiTable before = table;
  EXPECT_FALSE(table.SetLayoutText(GetParam().text));
  EXPECT_EQ(table, before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SiLayoutMalformed,
    ::testing::Values(TMalformedLayout{"EntryBeforeAnySection", L"StrA" + D + L"Eins" + D + L"One" + D + L"\r\n"},
                      TMalformedLayout{"UnknownSection", L"stWhatever_Unicode\r\n\r\n"},
                      TMalformedLayout{"LineWithoutDelimiter", L"stStrings_Unicode\r\n\r\nStrA Eins One\r\n"},
                      TMalformedLayout{"EmptyKey", L"stStrings_Unicode\r\n\r\n" + D + L"Eins" + D + L"One" + D + L"\r\n"}),
    TCaseName());

// ---- lookups

TEST(SiLang, TextsByIdInTheActiveLanguageWithFallbackToTheFirst) {
  TDmSample module(nullptr);
  TsiLang& t = *module.siLang;
  EXPECT_EQ(t.GetText(L"StrHello"), L"Hallo");
  EXPECT_EQ(t.GetText(L"strhello"), L"Hallo") << "ids are compared without regard to case";
  t.SetActiveLanguage(2);
  EXPECT_EQ(t.GetText(L"StrHello"), L"Hello");
  EXPECT_EQ(t.GetText(L"StrOnlyGerman"), L"");
  EXPECT_EQ(t.GetTextOrDefault(L"StrOnlyGerman"), L"Nur Deutsch");
  EXPECT_EQ(t.GetTextOrDefault(L"StrOnlyEnglish"), L"Only English");
  t.SetActiveLanguage(1);
  EXPECT_EQ(t.GetTextOrDefault(L"StrOnlyEnglish"), L"") << "the first language has no fallback";
}

TEST(SiLang, UnknownIdsGiveAnEmptyText) {
  TDmSample module(nullptr);
  EXPECT_EQ(module.siLang->GetText(L"StrNoSuchId"), L"");
  EXPECT_EQ(module.siLang->GetTextOrDefault(L"StrNoSuchId"), L"");
  EXPECT_EQ(module.siLang->GetText(L""), L"");
}

TEST(SiLang, DialogCaptionsFallBackToTheirEnglishKey) {
  TDmSample module(nullptr);
  TsiLang& t = *module.siLang;
  EXPECT_EQ(t.GetDlgsCaption(L"Cancel"), L"Abbrechen");
  EXPECT_EQ(t.GetDlgsCaption(L"Help"), L"Help");
  t.SetActiveLanguage(2);
  EXPECT_EQ(t.GetDlgsCaption(L"Cancel"), L"Cancel");
  EXPECT_EQ(t.GetDlgsCaption(L"Yes To All"), L"Yes to &all");
}

TEST(SiLang, TheClassKeyIsTheOwnersClassName) {
  TDmSample module(nullptr);
  EXPECT_EQ(module.siLang->ClassKey(), L"TDmSample");
  module.siLang->SetClassKey(L"TDmOther");
  EXPECT_EQ(module.siLang->ClassKey(), L"TDmOther");
}

// ---- dispatcher

class SiDispatcher : public ::testing::Test {
protected:
  void SetUp() override {
    dispatcher = std::make_unique<TsiLangDispatcher>(nullptr);
    dispatcher->OnLinkToDispatcher = [this](TObject* sender, TsiLang* table) {
      EXPECT_EQ(sender, dispatcher.get());
      linked.push_back(table);
    };
  }
  // A module whose table counts its language changes.
  std::unique_ptr<TDmSample> NewModule(int* changes) {
    auto module = std::make_unique<TDmSample>(nullptr);
    module->siLang->OnChangeLanguage = [changes](TObject*) { ++*changes; };
    return module;
  }
  std::unique_ptr<TsiLangDispatcher> dispatcher;
  std::vector<TsiLang*> linked;
};

TEST_F(SiDispatcher, StartsGermanWithTheTwoLanguages) {
  EXPECT_EQ(dispatcher->ActiveLanguage(), 1);
  EXPECT_EQ(dispatcher->LangTags(), (std::vector<std::wstring>{L"de-DE", L"en-US"}));
}

TEST_F(SiDispatcher, SwitchesEveryLinkedTableAndTellsEachOnce) {
  int changesA = 0, changesB = 0, dispatcherChanges = 0;
  auto a = NewModule(&changesA);
  auto b = NewModule(&changesB);
  a->siLang->SetLangDispatcher(dispatcher.get());
  b->siLang->SetLangDispatcher(dispatcher.get());
  EXPECT_EQ(linked, (std::vector<TsiLang*>{a->siLang, b->siLang}));
  dispatcher->OnChangeLanguage = [&](TObject*) { ++dispatcherChanges; };

  dispatcher->SetActiveLanguage(2);
  EXPECT_EQ(a->siLang->GetText(L"StrHello"), L"Hello");
  EXPECT_EQ(b->siLang->ActiveLanguage(), 2);
  EXPECT_EQ(changesA, 1);
  EXPECT_EQ(changesB, 1);
  dispatcher->SetActiveLanguage(2);  // no change, no event
  EXPECT_EQ(changesA, 1);
  for (int outOfRange : {0, 3, -1}) dispatcher->SetActiveLanguage(outOfRange);
  EXPECT_EQ(dispatcher->ActiveLanguage(), 2);
  dispatcher->SetActiveLanguage(1);
  EXPECT_EQ(a->siLang->GetText(L"StrHello"), L"Hallo");
  EXPECT_EQ(changesB, 2);
  EXPECT_EQ(dispatcherChanges, 2);
}

TEST_F(SiDispatcher, ATableLinkedLaterTakesTheActiveLanguageAtOnce) {
  dispatcher->SetActiveLanguage(2);
  int changes = 0;
  auto module = NewModule(&changes);
  module->siLang->SetLangDispatcher(dispatcher.get());
  EXPECT_EQ(module->siLang->GetText(L"StrHello"), L"Hello");
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(linked.size(), 1u);
  EXPECT_EQ(linked[0], module->siLang);
}

TEST_F(SiDispatcher, TablesAndDispatcherMayGoInEitherOrder) {
  int changes = 0;
  auto a = NewModule(&changes);
  auto b = NewModule(&changes);
  a->siLang->SetLangDispatcher(dispatcher.get());
  b->siLang->SetLangDispatcher(dispatcher.get());
  a.reset();  // its table leaves the dispatcher
  EXPECT_EQ(dispatcher->Tables(), (std::vector<TsiLang*>{b->siLang}));
  dispatcher->SetActiveLanguage(2);
  dispatcher.reset();  // the remaining table forgets it
  EXPECT_EQ(b->siLang->LangDispatcher(), nullptr);
  b->siLang->SetActiveLanguage(1);
  EXPECT_EQ(b->siLang->GetText(L"StrHello"), L"Hallo");
}

TEST_F(SiDispatcher, AHandlerThatFreesAnotherTableDoesNotDerailTheSwitch) {
  int changes = 0;
  auto a = NewModule(&changes);
  auto b = NewModule(&changes);
  a->siLang->SetLangDispatcher(dispatcher.get());
  b->siLang->SetLangDispatcher(dispatcher.get());
  a->siLang->OnChangeLanguage = [&](TObject*) { b.reset(); };
  dispatcher->SetActiveLanguage(2);
  EXPECT_EQ(b, nullptr);
  EXPECT_EQ(dispatcher->Tables(), (std::vector<TsiLang*>{a->siLang}));
}

TEST_F(SiDispatcher, HoldersAreToldWhenItGoes) {
  bool told = false;
  int holder = 0;
  dispatcher->AddFreeNotification(&holder, [&] { told = true; });
  dispatcher.reset();
  EXPECT_TRUE(told);
}

// ---- external file

struct TFileCase {
  const char* name;
  std::wstring text;
  bool valid;
};

class SiFileFormat : public ::testing::TestWithParam<TFileCase> {};

TEST_P(SiFileFormat, IsReadOrRefusedWhole) {
  std::vector<TsiFileEntry> entries{{L"old", L"de-DE", stStrings, L"Kept", L"kept"}};
  EXPECT_EQ(ParseTranslationText(GetParam().text, entries), GetParam().valid);
  if (!GetParam().valid) {
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Key, L"Kept");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SiFileFormat,
    ::testing::Values(
        TFileCase{"Empty", L"", true}, TFileCase{"OnlyComments", L"# a\r\n; b\r\n   \r\n", true},
        TFileCase{"OneEntry", L"[TFrm en-US]\r\nStrings.StrA = A", true},
        TFileCase{"LayoutSectionName", L"[TFrm en-US]\nstStrings_Unicode.StrA=A\n", true},
        TFileCase{"EntryBeforeHeader", L"Strings.StrA = A\r\n", false},
        TFileCase{"UnknownSection", L"[TFrm en-US]\r\nTexts.StrA = A\r\n", false},
        TFileCase{"NoEquals", L"[TFrm en-US]\r\nStrings.StrA A\r\n", false},
        TFileCase{"NoSection", L"[TFrm en-US]\r\nStrA = A\r\n", false},
        TFileCase{"EmptyKey", L"[TFrm en-US]\r\nStrings. = A\r\n", false},
        TFileCase{"HeaderWithoutLanguage", L"[TFrm]\r\nStrings.StrA = A\r\n", false},
        TFileCase{"HeaderWithThreeWords", L"[TFrm en-US de-DE]\r\n", false},
        TFileCase{"UnclosedHeader", L"[TFrm en-US\r\n", false},
        TFileCase{"DelimiterInText", L"[TFrm en-US]\r\nStrings.StrA = A\x0001" L"B\r\n", false}),
    TCaseName());

TEST(SiFileFormat, TextsKeepQuotedBlanksLineBreaksAndBackslashes) {
  std::vector<TsiFileEntry> entries;
  ASSERT_TRUE(ParseTranslationText(L"\xFEFF[TFrm en-US]\r\n"
                                   L"  Strings.StrSpace =  \" \"  \r\n"
                                   L"Strings.StrLines = One\\nTwo\r\n"
                                   L"Strings.StrPath = C:\\Temp\\\\new\r\n"
                                   L"OtherStrings.LblLink.URL = https://example.com/?a=b\r\n"
                                   L"DlgsCaptions.Yes To All = Yes to &all\r\n"
                                   L"Strings.StrQuoted = \"\"x\"\"\r\n"
                                   L"Strings.StrEmpty =\r\n",
                                   entries));
  ASSERT_EQ(entries.size(), 7u);
  EXPECT_EQ(entries[0].Table, L"TFrm");
  EXPECT_EQ(entries[0].Lang, L"en-US");
  EXPECT_EQ(entries[0].Text, L" ");
  EXPECT_EQ(entries[1].Text, L"One\r\nTwo");
  EXPECT_EQ(entries[2].Text, L"C:\\Temp\\new");
  EXPECT_EQ(entries[3].Section, stOtherStrings);
  EXPECT_EQ(entries[3].Key, L"LblLink.URL");
  EXPECT_EQ(entries[3].Text, L"https://example.com/?a=b");
  EXPECT_EQ(entries[4].Key, L"Yes To All");
  EXPECT_EQ(entries[5].Text, L"\"x\"");
  EXPECT_EQ(entries[6].Text, L"");
}

class SiFile : public ::testing::Test {
protected:
  void SetUp() override {
    module = std::make_unique<TDmSample>(nullptr);
    module->siLang->OnChangeLanguage = [this](TObject*) { ++changes; };
    module->siLang->SetActiveLanguage(2);
    changes = 0;
    before = module->siLang->Table();
  }
  std::wstring Write(const std::wstring& text) { return folder.WriteFile(L"texts.sil", TextToUtf8(text)); }

  TTempFolder folder;
  std::unique_ptr<TDmSample> module;
  TsiTable before;
  int changes = 0;
};

TEST_F(SiFile, OverridesTheTextsOfItsTableAndLanguageOnly) {
  const std::wstring path = Write(
      L"[TDmSample en-US]\r\nStrings.StrHello = Hi there\r\nStrings.StrNew = Brand new\r\n"
      L"[TDmSample fr-FR]\r\nStrings.StrHello = Bonjour\r\n"
      L"[TFrmOther en-US]\r\nStrings.StrHello = Not mine\r\n"
      L"[* de-DE]\r\nStrings.StrOnlyGerman = Für alle\r\n");
  ASSERT_TRUE(module->siLang->LoadAllFromFile(path));
  EXPECT_EQ(module->siLang->GetText(L"StrHello"), L"Hi there");
  EXPECT_EQ(module->siLang->GetText(L"StrNew"), L"Brand new");
  EXPECT_EQ(module->siLang->GetTextOrDefault(L"StrOnlyGerman"), L"Für alle");
  EXPECT_EQ(module->siLang->Table().Text(stStrings, L"StrHello", 1), L"Hallo");
  EXPECT_EQ(changes, 1) << "texts derived from the table are refreshed";
}

TEST_F(SiFile, AMissingOrMalformedFileChangesNothing) {
  const std::wstring invalidUtf8 = folder.WriteFile(L"bad.sil", "[TDmSample en-US]\r\nStrings.StrHello = \xC3\x28\r\n");
  const std::wstring malformed = Write(L"[TDmSample en-US]\r\nStrings.StrHello = Changed\r\nthis line is not an entry\r\n");
  for (const std::wstring& path : {folder.Path() + L"missing.sil", std::wstring(), invalidUtf8, malformed,
                                   folder.Path()}) {
    EXPECT_FALSE(module->siLang->LoadAllFromFile(path)) << TextToUtf8(path);
    TsiLangDispatcher dispatcher(nullptr);
    dispatcher.SetActiveLanguage(2);
    module->siLang->SetLangDispatcher(&dispatcher);
    EXPECT_FALSE(dispatcher.LoadAllFromFile(path));
    module->siLang->SetLangDispatcher(nullptr);
  }
  EXPECT_EQ(module->siLang->Table(), before);
  EXPECT_EQ(changes, 0);
}

TEST_F(SiFile, TheDispatcherLoadsIntoEveryLinkedTable) {
  TsiLangDispatcher dispatcher(nullptr);
  dispatcher.SetActiveLanguage(2);
  TDmSample other(nullptr);
  other.siLang->SetClassKey(L"TDmOther");
  module->siLang->SetLangDispatcher(&dispatcher);
  other.siLang->SetLangDispatcher(&dispatcher);
  ASSERT_TRUE(dispatcher.LoadAllFromFile(
      Write(L"[TDmSample en-US]\nStrings.StrHello = Sample\n[TDmOther en-US]\nStrings.StrHello = Other\n")));
  EXPECT_EQ(module->siLang->GetText(L"StrHello"), L"Sample");
  EXPECT_EQ(other.siLang->GetText(L"StrHello"), L"Other");
}

TEST_F(SiFile, SavedTextsLoadIntoAnEmptyTableUnchanged) {
  module->siLang->SetTable({{stCaptions, L"BtnOK", L"&OK", L""},
                            {stMultiLines, L"MmoInfo", L"Zeile 1\r\nZeile 2", L"Line 1\r\nLine 2"},
                            {stStrings, L"StrSpace", L" ", L" "},
                            {stStrings, L"StrPath", L"C:\\new\\", L"\"quoted\""},
                            {stDlgsCaptions, L"Yes To All", L"A&lle Ja", L""}});
  const std::wstring path = folder.Path() + L"saved.sil";
  ASSERT_TRUE(module->siLang->SaveAllToFile(path));
  TDmSample fresh(nullptr);
  fresh.siLang->SetTable(TsiTable());
  ASSERT_TRUE(fresh.siLang->LoadAllFromFile(path));
  EXPECT_EQ(fresh.siLang->Table(), module->siLang->Table());
}

}  // namespace
