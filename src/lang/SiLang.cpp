#include "lang/SiLang.h"

#include "base/Exception.h"
#include "base/Files.h"
#include "base/Streams.h"
#include "base/StringList.h"
#include "base/Strings.h"
#include "base/Unicode.h"
#include "base/Win.h"
#include "toolkit/Controls.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/ToolPanel.h"

#include <algorithm>
#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace {

constexpr wchar_t kDelimiter = L'\x0001';
constexpr wchar_t kLineSeparator = L'\x2028';
constexpr std::int64_t kMaxFileSize = 16 * 1024 * 1024;

const wchar_t* const kSectionNames[TranslationSectionCount] = {
    L"stCaptions_Unicode",     L"stHints_Unicode",   L"stDisplayLabels_Unicode", L"stFonts_Unicode",
    L"stMultiLines_Unicode",   L"stDlgsCaptions_Unicode", L"stStrings_Unicode", L"stOtherStrings_Unicode",
    L"stLocales_Unicode",      L"stCollections_Unicode",  L"stCharSets_Unicode"};

// Keys are compared without regard to case: the map holds them upper-cased one code unit at a
// time, as the ordinal comparison of component names does.
std::wstring FoldKey(std::wstring_view key) {
  std::wstring folded(key);
  if (!folded.empty()) ::CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
  return folded;
}

bool HasControlChar(std::wstring_view s) {
  return std::any_of(s.begin(), s.end(), [](wchar_t c) { return c < 32; });
}

bool IsBlank(wchar_t c) { return c <= 32; }

std::wstring_view TrimView(std::wstring_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Splits at CR LF, CR or LF; a final break adds no empty line.
std::vector<std::wstring_view> LinesOf(std::wstring_view text) {
  std::vector<std::wstring_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n') ? 2 : 1);
  }
  return lines;
}

// A text as the layout keeps it: no line breaks, no delimiters.
std::wstring EncodeLayoutText(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (c == L'\r') {
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      out += kLineSeparator;
    } else if (c == L'\n') {
      out += kLineSeparator;
    } else if (c != kDelimiter) {
      out += c;
    }
  }
  return out;
}

std::wstring DecodeLayoutText(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (c == kLineSeparator)
      out += L"\r\n";
    else
      out += c;
  }
  return out;
}

// ---- the external file's texts

std::wstring DecodeFileText(std::wstring_view text) {
  if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') text = text.substr(1, text.size() - 2);
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\' && i + 1 < text.size()) {
      if (text[i + 1] == L'n') {
        out += L"\r\n";
        ++i;
        continue;
      }
      if (text[i + 1] == L'\\') {
        out += L'\\';
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::wstring EncodeFileText(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size() + 2);
  for (size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (c == L'\\') {
      out += L"\\\\";
    } else if (c == L'\r' || c == L'\n') {
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      out += L"\\n";
    } else if (c != kDelimiter) {
      out += c;
    }
  }
  // Quotes keep the blanks at the ends, and a text that is quoted itself keeps its quotes.
  if (!out.empty() && (IsBlank(out.front()) || IsBlank(out.back()) ||
                       (out.size() >= 2 && out.front() == L'"' && out.back() == L'"')))
    out = L'"' + out + L'"';
  return out;
}

// Strict UTF-8: a file with a broken sequence is malformed, not half read.
bool DecodeUtf8Strict(const std::string& bytes, std::wstring& text) {
  text.clear();
  if (bytes.empty()) return true;
  const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                      nullptr, 0);
  if (n <= 0) return false;
  text.resize(static_cast<size_t>(n));
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return true;
}

// The C++ class name of an object without namespaces ("TFrmMsgBox").
std::wstring ClassNameOf(const TObject& object) {
  const char* mangled = typeid(object).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  std::string name = status == 0 && demangled ? demangled.get() : mangled;
  size_t templateStart = name.find('<');
  size_t scope = name.rfind("::", templateStart);
  if (scope != std::string::npos) name.erase(0, scope + 2);
  return std::wstring(name.begin(), name.end());
}

int IndexOfTag(const std::vector<std::wstring>& tags, std::wstring_view tag) {
  for (size_t i = 0; i < tags.size(); ++i)
    if (SameTextOrdinal(tags[i], tag)) return static_cast<int>(i) + 1;
  return 0;
}

bool OwnsTable(const TComponent* component) {
  for (const TComponent* c : component->Components())
    if (dynamic_cast<const TsiLang*>(c)) return true;
  return false;
}

// The components below the owner by folded name (the first one of a name wins); a component
// that has a table of its own keeps its components to itself.
void CollectByName(const TComponent* parent, const TsiLang* self,
                   std::unordered_map<std::wstring, TComponent*>& byName) {
  for (TComponent* c : parent->Components()) {
    if (c == self) continue;
    if (!c->Name().empty()) byName.emplace(FoldKey(c->Name()), c);
    if (!OwnsTable(c)) CollectByName(c, self, byName);
  }
}

const std::wstring& TextOrFirst(const std::vector<std::wstring>& texts, int lang) {
  static const std::wstring empty;
  if (lang >= 1 && lang <= static_cast<int>(texts.size()) && !texts[lang - 1].empty()) return texts[lang - 1];
  return texts.empty() ? empty : texts[0];
}

bool WriteUtf8File(const std::wstring& path, const std::wstring& text) {
  try {
    TFileStream stream(path, fmCreate);
    WriteTextUtf8(stream, text);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace

// ---- sections

const wchar_t* TranslationSectionName(TsiSection section) noexcept {
  return section < TranslationSectionCount ? kSectionNames[section] : L"";
}

bool FindTranslationSection(std::wstring_view name, TsiSection& section) {
  for (int i = 0; i < TranslationSectionCount; ++i) {
    std::wstring_view full = kSectionNames[i];                             // stStrings_Unicode
    std::wstring_view plain = full.substr(0, full.size() - 8);             // stStrings
    std::wstring_view bare = plain.substr(2);                              // Strings
    if (SameTextOrdinal(name, full) || SameTextOrdinal(name, plain) || SameTextOrdinal(name, bare)) {
      section = static_cast<TsiSection>(i);
      return true;
    }
  }
  return false;
}

const std::vector<std::wstring>& DefaultLangTags() {
  static const std::vector<std::wstring> tags{L"de-DE", L"en-US"};
  return tags;
}

// ---- TsiTable

bool TsiTable::Add(TsiSection section, const std::wstring& key, std::vector<std::wstring> texts) {
  if (section >= TranslationSectionCount || key.empty() || HasControlChar(key)) return false;
  auto [it, added] = FIndex[section].emplace(FoldKey(key), FEntries[section].size());
  if (added)
    FEntries[section].push_back({key, std::move(texts)});
  else
    FEntries[section][it->second].Texts = std::move(texts);
  return true;
}

bool TsiTable::SetText(TsiSection section, const std::wstring& key, int lang, const std::wstring& text) {
  if (lang < 1 || section >= TranslationSectionCount || key.empty() || HasControlChar(key)) return false;
  auto [it, added] = FIndex[section].emplace(FoldKey(key), FEntries[section].size());
  if (added) FEntries[section].push_back({key, {}});
  auto& texts = FEntries[section][it->second].Texts;
  if (static_cast<int>(texts.size()) < lang) texts.resize(static_cast<size_t>(lang));
  texts[static_cast<size_t>(lang - 1)] = text;
  return true;
}

const TsiTable::TEntry* TsiTable::Find(TsiSection section, std::wstring_view key) const {
  if (section >= TranslationSectionCount) return nullptr;
  auto it = FIndex[section].find(FoldKey(key));
  return it == FIndex[section].end() ? nullptr : &FEntries[section][it->second];
}

std::wstring TsiTable::Text(TsiSection section, std::wstring_view key, int lang) const {
  const TEntry* entry = Find(section, key);
  if (!entry || lang < 1 || lang > static_cast<int>(entry->Texts.size())) return std::wstring();
  return entry->Texts[static_cast<size_t>(lang - 1)];
}

int TsiTable::Count() const noexcept {
  int n = 0;
  for (const auto& entries : FEntries) n += static_cast<int>(entries.size());
  return n;
}

void TsiTable::Clear() {
  for (auto& entries : FEntries) entries.clear();
  for (auto& index : FIndex) index.clear();
}

bool TsiTable::operator==(const TsiTable& other) const {
  return std::equal(std::begin(FEntries), std::end(FEntries), std::begin(other.FEntries));
}

std::wstring TsiTable::LayoutText(int langCount) const {
  std::wstring text;
  for (int s = 0; s < TranslationSectionCount; ++s) {
    text += kSectionNames[s];
    text += L"\r\n\r\n";
    for (const TEntry& entry : FEntries[s]) {
      text += entry.Key;
      for (int lang = 0; lang < langCount; ++lang) {
        text += kDelimiter;
        if (lang < static_cast<int>(entry.Texts.size())) text += EncodeLayoutText(entry.Texts[static_cast<size_t>(lang)]);
      }
      text += kDelimiter;
      text += L"\r\n";
    }
  }
  return text;
}

bool TsiTable::SetLayoutText(std::wstring_view text) {
  TsiTable table;
  int section = -1;
  for (std::wstring_view line : LinesOf(text)) {
    if (line.empty()) continue;
    size_t delimiter = line.find(kDelimiter);
    if (delimiter == std::wstring_view::npos) {
      TsiSection found;
      if (!FindTranslationSection(line, found)) return false;
      section = found;
      continue;
    }
    if (section < 0) return false;
    std::wstring key(line.substr(0, delimiter));
    std::vector<std::wstring> texts;
    std::wstring_view rest = line.substr(delimiter + 1);
    // Each text runs to the next delimiter; the delimiter that closes the line ends the last.
    while (!rest.empty()) {
      size_t next = rest.find(kDelimiter);
      texts.push_back(DecodeLayoutText(rest.substr(0, next)));
      if (next == std::wstring_view::npos) break;
      rest.remove_prefix(next + 1);
    }
    if (!table.Add(static_cast<TsiSection>(section), key, std::move(texts))) return false;
  }
  *this = std::move(table);
  return true;
}

// ---- the external file

bool ParseTranslationText(std::wstring_view text, std::vector<TsiFileEntry>& entries) {
  while (!text.empty() && text.front() == L'\xFEFF') text.remove_prefix(1);
  std::vector<TsiFileEntry> parsed;
  std::wstring table, lang;
  bool inBlock = false;
  for (std::wstring_view raw : LinesOf(text)) {
    std::wstring_view line = TrimView(raw);
    if (line.empty() || line.front() == L'#' || line.front() == L';') continue;
    if (line.front() == L'[') {
      if (line.back() != L']') return false;
      std::wstring_view inner = TrimView(line.substr(1, line.size() - 2));
      size_t gap = inner.find_first_of(L" \t");
      if (gap == std::wstring_view::npos) return false;
      std::wstring_view second = TrimView(inner.substr(gap));
      if (second.find_first_of(L" \t") != std::wstring_view::npos || HasControlChar(second)) return false;
      table.assign(inner.substr(0, gap));
      lang.assign(second);
      inBlock = true;
      continue;
    }
    size_t equals = line.find(L'=');
    if (!inBlock || equals == std::wstring_view::npos) return false;
    std::wstring_view name = TrimView(line.substr(0, equals));
    size_t dot = name.find(L'.');
    TsiSection section;
    if (dot == std::wstring_view::npos || !FindTranslationSection(TrimView(name.substr(0, dot)), section))
      return false;
    std::wstring_view key = TrimView(name.substr(dot + 1));
    if (key.empty() || HasControlChar(key)) return false;
    std::wstring value = DecodeFileText(TrimView(line.substr(equals + 1)));
    if (value.find(kDelimiter) != std::wstring::npos) return false;
    parsed.push_back({table, lang, section, std::wstring(key), std::move(value)});
  }
  entries = std::move(parsed);
  return true;
}

bool ReadTranslationFile(const std::wstring& path, std::vector<TsiFileEntry>& entries) {
  if (path.empty() || !FileExists(path)) return false;
  std::string bytes;
  try {
    TFileStream stream(path, fmOpenRead);
    if (stream.Size() > kMaxFileSize) return false;
    bytes = ReadStreamBytes(stream);
  } catch (const Exception&) {
    return false;
  }
  std::wstring text;
  return DecodeUtf8Strict(bytes, text) && ParseTranslationText(text, entries);
}

std::wstring TranslationFileText(std::span<const TsiLang* const> tables) {
  std::wstring text =
      L"# Tavrino translations: UTF-8, one text per line.\r\n"
      L"# [Table Language] starts the texts of one table (the class name of its window or module, or *)\r\n"
      L"# in one language; Section.Key = Text sets one text. In a text \\n is a line break and \\\\ a\r\n"
      L"# backslash; double quotes keep the spaces at its ends. An empty text means: not translated.\r\n";
  for (const TsiLang* table : tables) {
    const std::wstring classKey = table->ClassKey();
    if (classKey.empty() || classKey.find_first_of(L" \t[]") != std::wstring::npos) continue;
    for (int lang = 1; lang <= table->LangCount(); ++lang) {
      text += L"\r\n[" + classKey + L' ' + table->LangTags()[static_cast<size_t>(lang - 1)] + L"]\r\n";
      for (int s = 0; s < TranslationSectionCount; ++s) {
        std::wstring_view bare = kSectionNames[s];
        bare = bare.substr(2, bare.size() - 10);  // stStrings_Unicode -> Strings
        for (const auto& entry : table->Table().Entries(static_cast<TsiSection>(s))) {
          // A key with "=" or blanks at its ends could not be read back.
          if (entry.Key.find(L'=') != std::wstring::npos || TrimView(entry.Key) != entry.Key) continue;
          std::wstring value = lang <= static_cast<int>(entry.Texts.size()) ? entry.Texts[static_cast<size_t>(lang - 1)] : L"";
          text += std::wstring(bare) + L'.' + entry.Key + L" = " + EncodeFileText(value) + L"\r\n";
        }
      }
    }
  }
  return text;
}

// ---- TsiLang

TsiLang::TsiLang(TComponent* owner) : TComponent(owner), FLangTags(DefaultLangTags()) {}

TsiLang::~TsiLang() {
  if (FDispatcher) FDispatcher->Unlink(this);
}

void TsiLang::SetActiveLanguage(int lang) {
  if (lang < 1 || lang > LangCount()) return;
  ChangeLanguage(lang);
}

void TsiLang::ChangeLanguage(int lang) {
  if (lang < 1 || lang > LangCount() || lang == FActiveLanguage) return;
  FActiveLanguage = lang;
  Translate();
  if (OnChangeLanguage) OnChangeLanguage(this);
}

void TsiLang::SetLangTags(std::vector<std::wstring> tags) {
  FLangTags = std::move(tags);
  if (FActiveLanguage > LangCount()) FActiveLanguage = 1;
}

void TsiLang::SetLangDispatcher(TsiLangDispatcher* dispatcher) {
  if (dispatcher == FDispatcher) return;
  if (FDispatcher) FDispatcher->Unlink(this);
  FDispatcher = nullptr;
  if (!dispatcher) return;
  dispatcher->Link(this);
  FDispatcher = dispatcher;
  const int lang = dispatcher->ActiveLanguage();
  const bool changed = lang != FActiveLanguage && lang >= 1 && lang <= LangCount();
  if (changed) FActiveLanguage = lang;
  Translate();
  if (changed && OnChangeLanguage) OnChangeLanguage(this);
  if (dispatcher->OnLinkToDispatcher && FDispatcher == dispatcher) dispatcher->OnLinkToDispatcher(dispatcher, this);
}

void TsiLang::SetTable(std::span<const TsiRow> rows) {
  TsiTable table;
  for (const TsiRow& row : rows)
    table.Add(row.Section, row.Key ? row.Key : L"", {row.German ? row.German : L"", row.English ? row.English : L""});
  FTable = std::move(table);
}

void TsiLang::SetTable(const TsiTable& table) { FTable = table; }

bool TsiLang::SetLayoutText(std::wstring_view text) { return FTable.SetLayoutText(text); }

std::wstring TsiLang::GetText(std::wstring_view id) const { return FTable.Text(stStrings, id, FActiveLanguage); }

std::wstring TsiLang::GetTextOrDefault(std::wstring_view id) const { return GetSectionTextOrDefault(stStrings, id); }

std::wstring TsiLang::GetSectionTextOrDefault(TsiSection section, std::wstring_view key) const {
  const TsiTable::TEntry* entry = FTable.Find(section, key);
  return entry ? TextOrFirst(entry->Texts, FActiveLanguage) : std::wstring();
}

std::wstring TsiLang::GetDlgsCaption(std::wstring_view key) const {
  std::wstring text = FTable.Text(stDlgsCaptions, key, FActiveLanguage);
  return text.empty() ? std::wstring(key) : text;
}

std::wstring TsiLang::ClassKey() const {
  if (!FClassKey.empty()) return FClassKey;
  return Owner() ? ClassNameOf(*Owner()) : std::wstring();
}

bool TsiLang::IsExcluded(const TComponent* component, std::wstring_view property) const {
  auto matches = [&](const std::vector<std::wstring>& list) {
    for (std::wstring_view entry : list) {
      if (!entry.empty() && entry.front() == L'!') entry.remove_prefix(1);
      if (SameTextOrdinal(entry, property)) return true;
      size_t dot = entry.rfind(L'.');
      if (dot == std::wstring_view::npos || !SameTextOrdinal(entry.substr(dot + 1), property)) continue;
      std::wstring_view qualifier = entry.substr(0, dot);
      if (SameTextOrdinal(qualifier, component->Name()) || SameTextOrdinal(qualifier, ClassNameOf(*component)))
        return true;
    }
    return false;
  };
  return matches(FExcluded) || (FDispatcher && matches(FDispatcher->ExcludedProperties()));
}

void TsiLang::Translate() {
  TComponent* owner = Owner();
  if (!owner || owner->Destroying()) return;
  std::unordered_map<std::wstring, TComponent*> byName;
  CollectByName(owner, this, byName);
  const std::wstring ownerKey = FoldKey(ClassKey());
  auto target = [&](const std::wstring& key) -> TComponent* {
    std::wstring folded = FoldKey(key);
    if (folded == ownerKey) return owner;
    auto it = byName.find(folded);
    return it == byName.end() ? nullptr : it->second;
  };

  for (const auto& entry : FTable.Entries(stCaptions)) {
    const std::wstring& text = TextOrFirst(entry.Texts, FActiveLanguage);
    TComponent* c = text.empty() ? nullptr : target(entry.Key);
    if (!c || IsExcluded(c, L"Caption")) continue;
    if (auto* control = dynamic_cast<TControl*>(c)) {
      if (control->Caption() != text) control->SetCaption(text);
    } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
      item->SetCaption(text);
    } else if (auto* button = dynamic_cast<TToolButton*>(c)) {
      button->SetCaption(text);
    }
  }
  for (const auto& entry : FTable.Entries(stHints)) {
    const std::wstring& text = TextOrFirst(entry.Texts, FActiveLanguage);
    TComponent* c = text.empty() ? nullptr : target(entry.Key);
    if (!c || IsExcluded(c, L"Hint")) continue;
    if (auto* control = dynamic_cast<TControl*>(c)) {
      if (control->Hint() != text) control->SetHint(text);
    } else if (auto* item = dynamic_cast<TMenuItem*>(c)) {
      item->SetHint(text);
    } else if (auto* button = dynamic_cast<TToolButton*>(c)) {
      button->SetHint(text);
    }
  }
  for (const auto& entry : FTable.Entries(stFonts)) {
    const std::wstring& text = TextOrFirst(entry.Texts, FActiveLanguage);
    auto* control = dynamic_cast<TControl*>(text.empty() ? nullptr : target(entry.Key));
    if (!control || IsExcluded(control, L"Font")) continue;
    TFontDesc font = control->Font();
    if (font.Name == text) continue;
    font.Name = text;
    control->SetFont(font);
  }
  for (const auto& entry : FTable.Entries(stMultiLines)) {
    const std::wstring& text = TextOrFirst(entry.Texts, FActiveLanguage);
    auto* memo = dynamic_cast<TMemo*>(text.empty() ? nullptr : target(entry.Key));
    if (!memo || IsExcluded(memo, L"Lines")) continue;
    memo->Lines().SetText(text);
  }
}

bool TsiLang::ApplyFileEntries(std::span<const TsiFileEntry> entries) {
  const std::wstring classKey = ClassKey();
  bool any = false;
  for (const TsiFileEntry& e : entries) {
    if (e.Table != L"*" && !SameTextOrdinal(e.Table, classKey)) continue;
    const int lang = IndexOfTag(FLangTags, e.Lang);
    if (lang > 0 && FTable.SetText(e.Section, e.Key, lang, e.Text)) any = true;
  }
  if (any) {
    Translate();
    if (OnChangeLanguage) OnChangeLanguage(this);
  }
  return any;
}

bool TsiLang::LoadAllFromFile(const std::wstring& path) {
  std::vector<TsiFileEntry> entries;
  if (!ReadTranslationFile(path, entries)) return false;
  ApplyFileEntries(entries);
  return true;
}

bool TsiLang::SaveAllToFile(const std::wstring& path) const {
  const TsiLang* self = this;
  return WriteUtf8File(path, TranslationFileText(std::span<const TsiLang* const>(&self, 1)));
}

// ---- TsiLangDispatcher

TsiLangDispatcher::TsiLangDispatcher(TComponent* owner) : TComponent(owner), FLangTags(DefaultLangTags()) {}

TsiLangDispatcher::~TsiLangDispatcher() {
  for (TsiLang* table : FTables) table->FDispatcher = nullptr;
  FTables.clear();
  auto notifications = std::move(FFreeNotifications);
  for (auto& [holder, onFree] : notifications) GuardCallback([&] { onFree(); });
}

void TsiLangDispatcher::SetActiveLanguage(int lang) {
  if (lang < 1 || lang > LangCount()) return;
  const bool changed = lang != FActiveLanguage;
  FActiveLanguage = lang;
  // A handler may create or free tables: walk a copy and skip those that have gone.
  const std::vector<TsiLang*> tables = FTables;
  for (TsiLang* table : tables)
    if (Linked(table)) table->ChangeLanguage(lang);
  if (changed && OnChangeLanguage) OnChangeLanguage(this);
}

void TsiLangDispatcher::SetLangTags(std::vector<std::wstring> tags) {
  FLangTags = std::move(tags);
  if (FActiveLanguage > LangCount()) FActiveLanguage = 1;
}

bool TsiLangDispatcher::LoadAllFromFile(const std::wstring& path) {
  std::vector<TsiFileEntry> entries;
  if (!ReadTranslationFile(path, entries)) return false;
  ApplyFileEntries(entries);
  return true;
}

void TsiLangDispatcher::ApplyFileEntries(std::span<const TsiFileEntry> entries) {
  const std::vector<TsiLang*> tables = FTables;  // a handler may link or free tables
  for (TsiLang* table : tables)
    if (Linked(table)) table->ApplyFileEntries(entries);
}

bool TsiLangDispatcher::SaveAllToFile(const std::wstring& path) const {
  std::vector<const TsiLang*> tables(FTables.begin(), FTables.end());
  return WriteUtf8File(path, TranslationFileText(tables));
}

void TsiLangDispatcher::AddFreeNotification(const void* holder, std::function<void()> onFree) {
  RemoveFreeNotification(holder);
  FFreeNotifications.emplace_back(holder, std::move(onFree));
}

void TsiLangDispatcher::RemoveFreeNotification(const void* holder) {
  std::erase_if(FFreeNotifications, [&](const auto& n) { return n.first == holder; });
}

void TsiLangDispatcher::Link(TsiLang* table) {
  if (!Linked(table)) FTables.push_back(table);
}

void TsiLangDispatcher::Unlink(TsiLang* table) noexcept { std::erase(FTables, table); }

bool TsiLangDispatcher::Linked(const TsiLang* table) const noexcept {
  return std::find(FTables.begin(), FTables.end(), table) != FTables.end();
}
