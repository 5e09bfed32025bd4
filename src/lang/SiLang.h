#pragma once
// The translation engine: a translation table per window, frame or module (TsiLang), and the
// dispatcher that knows the active language and switches every linked table (TsiLangDispatcher).
//
// ---- The table layout ---------------------------------------------------------------------
// A table is stored as one text made of sections, in this order: stCaptions_Unicode,
// stHints_Unicode, stDisplayLabels_Unicode, stFonts_Unicode, stMultiLines_Unicode,
// stDlgsCaptions_Unicode, stStrings_Unicode, stOtherStrings_Unicode, stLocales_Unicode,
// stCollections_Unicode, stCharSets_Unicode. A section is its name on a line of its own, an empty
// line, then one line per entry: the key, and after each U+0001 the text of one language in the
// order of the language list (German, English); the line ends with U+0001 and CR LF. An empty
// language text means "not translated": the first language's text is used. A line break inside
// a text is kept as U+2028 (LINE SEPARATOR), since the layout has one line per entry.
// Keys are compared without regard to case.
//
// ---- The external translation file (a translator edits it) ---------------------------------
//   # Tavrino translations
//   [TFrmMsgBox en-US]
//   Captions.MnuCopy = &Copy
//   Hints.MnuCopy = Copy message text to clipboard
//   Strings.CBtnText_Retry = &Retry
//   [* en-US]
//   DlgsCaptions.Cancel = Cancel
// UTF-8 text (a byte-order mark is allowed), one entry per line, lines ended by CR LF, LF or CR.
// Blank lines and lines whose first non-blank character is "#" or ";" are comments.
// "[Table Language]" starts a block of texts of one table in one language. Table is the class
//   name of the window, frame or module that owns the table (TFrmMsgBox, TDmLangQel ...), or "*"
//   for every table; Language is a language tag (de-DE, en-US). Blocks of a language that a
//   table does not have are skipped.
// "Section.Key = Text" sets one text. Section is Captions, Hints, DisplayLabels, Fonts,
//   MultiLines, DlgsCaptions, Strings, OtherStrings, Locales, Collections or CharSets (the
//   layout's names such as stStrings_Unicode are accepted too). Key is the component name, the
//   string id, ... : everything up to the first "=", trimmed. Text is everything after the "=",
//   trimmed; in double quotes it keeps the spaces at its ends. In a text "\n" is a line break
//   and "\\" a backslash; any other backslash stays as it is. An empty text clears the
//   translation (the first language's text is then used). An entry that the table does not have
//   is added to it.
// Loading is all or nothing: a file that is missing, cannot be read, is not valid UTF-8, is
// larger than 16 MiB or has a line that is none of the above changes no text at all.
//
// ---- Unknown ids ----------------------------------------------------------------------------
// GetText and GetTextOrDefault give an empty text for an id the table does not know (and for a
// language the table does not have), so that the caller can fall back to a text of its own.
#include "toolkit/Classes.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TsiLang;
class TsiLangDispatcher;

// The sections of a table, in the order the layout keeps them.
enum TsiSection : std::uint8_t {
  stCaptions,      // key: component name, or the owner's class name for its own caption
  stHints,         // key: component name, or the owner's class name
  stDisplayLabels,
  stFonts,         // font name per component
  stMultiLines,    // the lines of a memo, per component
  stDlgsCaptions,  // standard dialog button and title captions; key: the English caption
  stStrings,       // key: string id
  stOtherStrings,  // key: component.property
  stLocales,
  stCollections,
  stCharSets,
};
inline constexpr int TranslationSectionCount = stCharSets + 1;

// The layout's name of a section ("stStrings_Unicode").
const wchar_t* TranslationSectionName(TsiSection section) noexcept;
// The section of a layout name or short name ("stStrings_Unicode", "stStrings", "Strings"), compared
// without regard to case; false when there is none.
bool FindTranslationSection(std::wstring_view name, TsiSection& section);

// The languages a table and a dispatcher have unless told otherwise: German, then English.
const std::vector<std::wstring>& DefaultLangTags();

// One entry as a dialog declares it in its source, German then English:
//   {stCaptions, L"MnuCopy", L"&Kopieren", L"&Copy"},
struct TsiRow {
  TsiSection Section;
  const wchar_t* Key;
  const wchar_t* German;
  const wchar_t* English;
};

// The texts of a table: per section its entries in the order they were added, each with one
// text per language (index 0 is language 1).
class TsiTable {
public:
  struct TEntry {
    std::wstring Key;
    std::vector<std::wstring> Texts;
    bool operator==(const TEntry&) const = default;
  };

  // Adds an entry or replaces the texts of the entry with that key. A key must not be empty nor
  // hold control characters (false, nothing added).
  bool Add(TsiSection section, const std::wstring& key, std::vector<std::wstring> texts);
  // Sets the text of one language (1-based) of an entry, adding the entry when it is missing.
  bool SetText(TsiSection section, const std::wstring& key, int lang, const std::wstring& text);
  // The entry of the key, or null.
  const TEntry* Find(TsiSection section, std::wstring_view key) const;
  // The text of one language (1-based); empty when the entry or the language is missing.
  std::wstring Text(TsiSection section, std::wstring_view key, int lang) const;
  const std::vector<TEntry>& Entries(TsiSection section) const noexcept { return FEntries[section]; }
  int Count() const noexcept;
  void Clear();

  // The layout text (see the top of this file) with langCount texts per entry.
  std::wstring LayoutText(int langCount) const;
  // Reads a layout text; false (and the table unchanged) when it is malformed.
  bool SetLayoutText(std::wstring_view text);

  bool operator==(const TsiTable& other) const;

private:
  std::vector<TEntry> FEntries[TranslationSectionCount];
  std::unordered_map<std::wstring, size_t> FIndex[TranslationSectionCount];  // folded key -> entry
};

// One text of an external translation file.
struct TsiFileEntry {
  std::wstring Table;  // class name of the table's owner, or "*"
  std::wstring Lang;   // language tag
  TsiSection Section;
  std::wstring Key;
  std::wstring Text;
};
// Reads an external translation file (format at the top of this file); false when it is
// missing, unreadable or malformed.
bool ReadTranslationFile(const std::wstring& path, std::vector<TsiFileEntry>& entries);
// Parses the text of such a file; false when it is malformed.
bool ParseTranslationText(std::wstring_view text, std::vector<TsiFileEntry>& entries);
// The text of such a file that holds every text of the tables, one block per table and language.
std::wstring TranslationFileText(std::span<const TsiLang* const> tables);

// A translation table. It belongs to a window, frame or module (its owner), translates the
// captions, hints, fonts and memo lines of the owner's components by their names, and holds the
// owner's strings by id.
class TsiLang : public TComponent {
public:
  explicit TsiLang(TComponent* owner);
  ~TsiLang() override;

  // ---- languages ----
  // 1-based index into LangTags.
  int ActiveLanguage() const noexcept { return FActiveLanguage; }
  // Switches the table: translates the owner and runs OnChangeLanguage when the language changes.
  // A value outside 1..LangCount is ignored.
  void SetActiveLanguage(int lang);
  const std::vector<std::wstring>& LangTags() const noexcept { return FLangTags; }
  void SetLangTags(std::vector<std::wstring> tags);
  int LangCount() const noexcept { return static_cast<int>(FLangTags.size()); }

  // ---- dispatcher ----
  TsiLangDispatcher* LangDispatcher() const noexcept { return FDispatcher; }
  // Links the table to a dispatcher (null unlinks): it takes the dispatcher's active language,
  // translates the owner at once, and then the dispatcher's OnLinkToDispatcher runs. Link the
  // table after the owner's components exist.
  void SetLangDispatcher(TsiLangDispatcher* dispatcher);

  // ---- texts ----
  void SetTable(std::span<const TsiRow> rows);
  void SetTable(std::initializer_list<TsiRow> rows) { SetTable(std::span<const TsiRow>(rows.begin(), rows.size())); }
  void SetTable(const TsiTable& table);
  const TsiTable& Table() const noexcept { return FTable; }
  // The table in the layout text, and back (false, table unchanged, when the text is malformed).
  std::wstring LayoutText() const { return FTable.LayoutText(LangCount()); }
  bool SetLayoutText(std::wstring_view text);

  // The string of the id in the active language; empty for an unknown id.
  std::wstring GetText(std::wstring_view id) const;
  // The same, but the first language's text when the active one is empty.
  std::wstring GetTextOrDefault(std::wstring_view id) const;
  // Any section's text in the active language, else in the first language.
  std::wstring GetSectionTextOrDefault(TsiSection section, std::wstring_view key) const;
  // A standard dialog caption: its text in the active language, else the key (the English caption).
  std::wstring GetDlgsCaption(std::wstring_view key) const;

  // Applies the active language to the owner's components (their names are the keys): captions
  // and hints of controls and menu items, font names, memo lines; the owner's own caption and
  // hint under its class name. Components that own a table of their own (a frame in a form)
  // are left to it. Entries without any text change nothing.
  void Translate();

  // Properties never translated: "Caption", "Hint", "Lines", "Font", or qualified by a
  // component's class or name ("TMemo.Lines", "!TMemo.Lines"). The dispatcher's list counts too.
  const std::vector<std::wstring>& ExcludedProperties() const noexcept { return FExcluded; }
  void SetExcludedProperties(std::vector<std::wstring> properties) { FExcluded = std::move(properties); }

  // The name this table has in an external translation file: the owner's class name (its
  // C++ class, such as TFrmMsgBox), unless set.
  std::wstring ClassKey() const;
  void SetClassKey(const std::wstring& key) { FClassKey = key; }

  // Loads this table's texts from an external translation file; when anything was loaded the
  // owner is translated again and OnChangeLanguage runs (texts derived from the table are due
  // for a refresh). False, and nothing changed, when the file is missing or malformed.
  bool LoadAllFromFile(const std::wstring& path);
  // Applies entries read from such a file; true when any applied.
  bool ApplyFileEntries(std::span<const TsiFileEntry> entries);
  // Writes this table's texts as an external translation file; false when it cannot be written.
  bool SaveAllToFile(const std::wstring& path) const;

  // Runs after the active language changed and after texts were loaded from a file.
  TNotifyEvent OnChangeLanguage;

private:
  friend class TsiLangDispatcher;
  void ChangeLanguage(int lang);
  bool IsExcluded(const TComponent* component, std::wstring_view property) const;

  TsiTable FTable;
  std::vector<std::wstring> FLangTags;
  std::vector<std::wstring> FExcluded;
  std::wstring FClassKey;
  int FActiveLanguage = 1;
  TsiLangDispatcher* FDispatcher = nullptr;
};

// The one object that knows the active language; every linked table follows it.
class TsiLangDispatcher : public TComponent {
public:
  explicit TsiLangDispatcher(TComponent* owner);
  ~TsiLangDispatcher() override;

  // 1-based. Changing it re-translates every linked table and runs each table's
  // OnChangeLanguage (the dispatcher's own OnChangeLanguage after them). A value outside
  // 1..LangCount is ignored.
  int ActiveLanguage() const noexcept { return FActiveLanguage; }
  void SetActiveLanguage(int lang);
  // fallback {"de-DE", "en-US"}.
  const std::vector<std::wstring>& LangTags() const noexcept { return FLangTags; }
  void SetLangTags(std::vector<std::wstring> tags);
  int LangCount() const noexcept { return static_cast<int>(FLangTags.size()); }

  // The linked tables, in the order they linked.
  const std::vector<TsiLang*>& Tables() const noexcept { return FTables; }

  // Loads the texts of every linked table from an external translation file (read once);
  // false, and nothing changed, when it is missing or malformed.
  bool LoadAllFromFile(const std::wstring& path);
  // Applies entries read from such a file to every linked table.
  void ApplyFileEntries(std::span<const TsiFileEntry> entries);
  // Writes the texts of every linked table as one external translation file.
  bool SaveAllToFile(const std::wstring& path) const;

  // Excluded properties for every linked table (see TsiLang::ExcludedProperties).
  const std::vector<std::wstring>& ExcludedProperties() const noexcept { return FExcluded; }
  void SetExcludedProperties(std::vector<std::wstring> properties) { FExcluded = std::move(properties); }

  // Holders of a plain pointer to the dispatcher are told when it goes (keyed by the holder).
  void AddFreeNotification(const void* holder, std::function<void()> onFree);
  void RemoveFreeNotification(const void* holder);

  // A table linked (Sender is the dispatcher).
  std::function<void(TObject* sender, TsiLang* table)> OnLinkToDispatcher;
  TNotifyEvent OnChangeLanguage;

private:
  friend class TsiLang;
  void Link(TsiLang* table);
  void Unlink(TsiLang* table) noexcept;
  bool Linked(const TsiLang* table) const noexcept;

  std::vector<TsiLang*> FTables;
  std::vector<std::wstring> FLangTags;
  std::vector<std::wstring> FExcluded;
  std::vector<std::pair<const void*, std::function<void()>>> FFreeNotifications;
  int FActiveLanguage = 1;
};
