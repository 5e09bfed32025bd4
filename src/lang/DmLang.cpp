#include "lang/DmLang.h"

#include "base/Strings.h"
#include "base/Win.h"

#include <array>
#include <iterator>

#define TAVRINO_DEFINE_LANG_STRING(name) std::wstring name;
TAVRINO_LANG_STRINGS(TAVRINO_DEFINE_LANG_STRING)
#undef TAVRINO_DEFINE_LANG_STRING

TDmLangQel* DmLangQel = nullptr;

namespace {

#define TAVRINO_WIDE_(text) L##text
#define TAVRINO_WIDE(text) TAVRINO_WIDE_(text)
#define TAVRINO_LANG_STRING_VAR(name) {TAVRINO_WIDE(#name), &name},
const TLangStringVar kStringVars[] = {TAVRINO_LANG_STRINGS(TAVRINO_LANG_STRING_VAR)};
#undef TAVRINO_LANG_STRING_VAR
#undef TAVRINO_WIDE
#undef TAVRINO_WIDE_

const TLanguageInfo kLanguages[] = {
    {L"Deutsch", L"German", L"Deutsch", L"de-DE", LANG_GERMAN, SUBLANG_GERMAN},
    {L"Englisch", L"English", L"English", L"en-US", LANG_ENGLISH, SUBLANG_ENGLISH_US},
};

// Properties that the module's table and the dialogs' tables never translate.
const std::vector<std::wstring>& ExcludedProperties() {
  static const std::vector<std::wstring> list{
      L"Category",   L"SecondaryShortCuts",  L"HelpKeyword",    L"InitialDir",   L"ActivePage",
      L"ImeName",    L"DefaultExt",          L"FileName",       L"FieldName",    L"PickList",
      L"DisplayFormat", L"EditMask",         L"KeyList",        L"LookupDisplayFields", L"DropDownSpecRow",
      L"TableName",  L"DatabaseName",        L"IndexName",      L"MasterFields", L"SQL",
      L"DeleteSQL",  L"UpdateSQL",           L"ModifySQL",      L"KeyFields",    L"LookupKeyFields",
      L"LookupResultField", L"DataField",    L"KeyField",       L"ListField"};
  return list;
}

// The language part of a tag: the text before its first "-", lower-cased and trimmed.
std::wstring LanguagePart(const std::wstring& tag) {
  std::wstring part = Trim(SplitPart(tag, L"-", 1));
  if (!part.empty()) ::CharLowerBuffW(part.data(), static_cast<DWORD>(part.size()));
  return part;
}

}  // namespace

std::span<const TLanguageInfo> LanguageList() { return kLanguages; }

std::span<const TLangStringVar> LangStringVariables() { return kStringVars; }

TDmLangQel::TDmLangQel(TComponent* owner) : TDataModule(owner) {
  siLang = NewComponent<TsiLang>(this, L"siLang");
  siLang->SetTable(DmLangTableRows());
  siLang->SetExcludedProperties(ExcludedProperties());
  siLang->OnChangeLanguage = [this](TObject* sender) { siLangChangeLanguage(sender); };

  LangDisp = NewComponent<TsiLangDispatcher>(this, L"LangDisp");
  LangDisp->SetExcludedProperties({L"!TVirtualImageListItem.CollectionName", L"!TVirtualImageList.DisabledSuffix"});
  LangDisp->OnLinkToDispatcher = [this](TObject* sender, TsiLang* linked) { LangDispLinkToDispatcher(sender, linked); };
  siLang->SetLangDispatcher(LangDisp);

  OnCreate = [this](TObject* sender) { DatamoduleCreate(sender); };
  DoCreate();
}

TDmLangQel::~TDmLangQel() {
  DoDestroy();
  if (FAppLangDisp) FAppLangDisp->RemoveFreeNotification(this);
}

void TDmLangQel::DatamoduleCreate(TObject*) { UpdateStrings(); }

void TDmLangQel::siLangChangeLanguage(TObject*) { UpdateStrings(); }

void TDmLangQel::UpdateStrings() {
  for (const TLangStringVar& var : kStringVars) *var.Variable = siLang->GetTextOrDefault(var.Id);
}

int TDmLangQel::LanguageIndex(const std::wstring& langTag) {
  for (size_t i = 0; i < std::size(kLanguages); ++i)
    if (SameTextOrdinal(kLanguages[i].Tag, langTag)) return static_cast<int>(i) + 1;
  const std::wstring part = LanguagePart(langTag);
  for (size_t i = 0; i < std::size(kLanguages); ++i)
    if (LanguagePart(kLanguages[i].Tag) == part) return static_cast<int>(i) + 1;
  return 2;  // every other language: English
}

int TDmLangQel::LocaleLanguage() {
  UpdateStrings();
  return LocaleLanguageOf(::GetUserDefaultLangID());
}

int TDmLangQel::LocaleLanguageOf(std::uint16_t langId) {
  const int primary = PRIMARYLANGID(langId);
  const int sub = SUBLANGID(langId);
  for (size_t i = 0; i < std::size(kLanguages); ++i)
    if (kLanguages[i].PrimaryLangId == primary && kLanguages[i].SubLangId == sub) return static_cast<int>(i) + 1;
  for (size_t i = 0; i < std::size(kLanguages); ++i)
    if (kLanguages[i].PrimaryLangId == primary) return static_cast<int>(i) + 1;
  return 2;  // every other locale: English
}

std::wstring TDmLangQel::CurLanguageTag() const {
  const auto& tags = LangDisp->LangTags();
  const int index = LangDisp->ActiveLanguage();
  return index >= 1 && index <= static_cast<int>(tags.size()) ? tags[static_cast<size_t>(index - 1)] : std::wstring();
}

void TDmLangQel::SetAppLangDisp(TsiLangDispatcher* d) {
  if (FAppLangDisp) FAppLangDisp->RemoveFreeNotification(this);
  FAppLangDisp = d;
  if (!d) return;
  // The host may free its dispatcher first: then the module forgets it.
  d->AddFreeNotification(this, [this] { FAppLangDisp = nullptr; });
  if (!FExternalSilFile.empty()) d->LoadAllFromFile(FExternalSilFile);
}

void TDmLangQel::SetExternalSilFile(const std::wstring& path) {
  // The file is read once here; a file that cannot be read or is malformed is treated like a
  // missing one, so that tables linked later do not try it again and again.
  std::vector<TsiFileEntry> entries;
  if (path.empty() || !ReadTranslationFile(path, entries)) {
    FExternalSilFile.clear();
    return;
  }
  FExternalSilFile = path;
  LangDisp->ApplyFileEntries(entries);
  if (FAppLangDisp && FAppLangDisp != LangDisp) FAppLangDisp->ApplyFileEntries(entries);
  UpdateStrings();
}

void TDmLangQel::LangDispLinkToDispatcher(TObject*, TsiLang* linked) {
  if (linked && !FExternalSilFile.empty()) linked->LoadAllFromFile(FExternalSilFile);
}

void DmLangStart() {
  if (!DmLangQel) DmLangQel = new TDmLangQel(nullptr);
}

void DmLangStop() {
  delete DmLangQel;
  DmLangQel = nullptr;
  for (const TLangStringVar& var : kStringVars) *var.Variable = std::wstring();
}
