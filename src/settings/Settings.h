#pragma once
// The settings model: typed values addressed by an entry path "Section\rName\rDefault" and the
// abstract store. The stores live in settings/RegistrySettings.h and settings/IniSettings.h,
// the program-wide ones in settings/AppSettings.h. Readers never raise: missing or malformed
// data gives the entry's default.
#include "base/StringList.h"
#include "base/Strings.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TStream;
class TSettings;

// Field 1 (section), 2 (name) or 3 (default) of an entry path; empty when missing.
std::wstring EntryPart(std::wstring_view Entry, int Field);

enum TEncType : std::uint8_t { etNone, etHex, etQelEncode };

// The repeating-key scrambling of stored passwords. Code is taken as bytes in the ANSI code page;
// with an empty Code the value is stored as it is, and cannot be read back.
std::wstring QelEncode(const std::wstring& Value, const std::wstring& Code);
// Empty for anything that is not a scrambled text.
std::wstring QelDecode(const std::wstring& Stored, const std::wstring& Code);

struct TSettingRec {
  std::wstring Name;  // section "\" name
  std::wstring TextValue;
};
using TSettingArray = std::vector<TSettingRec>;

// A snapshot of settings as name/text pairs.
struct TSettingsList {
  TSettingArray Settings;
  TSettings* Owner = nullptr;  // the store the snapshot came from

  bool IsEmpty() const { return Settings.empty(); }
  // The first record named section "\" name (case-insensitive), or an empty one.
  TSettingRec Find(const std::wstring& Entry) const;
  // The snapshot's text, or the entry's default (written back to the owner when it writes back).
  std::wstring RdString(const std::wstring& Entry) const;
  std::int32_t RdInteger(const std::wstring& Entry) const;
  bool RdBoolean(const std::wstring& Entry) const { return RdInteger(Entry) != 0; }
};

struct TCheckBoxListEntry {
  std::wstring Text;
  std::int32_t Data = 0;
  std::wstring DataStr;
  bool IsHeader = false;
  bool IsChecked = false;
  bool IsVisible = true;

  static TCheckBoxListEntry Create(const std::wstring& text, bool isChecked, std::int32_t data);
};

// Check-box entries with the stored form of their checked items: the Data values joined by ",".
struct TCheckBoxEntryList {
  std::vector<TCheckBoxListEntry> Items;

  int Add(const std::wstring& Text, bool IsChecked, std::int32_t Data, const std::wstring& DataStr = {});
  int Add(const TCheckBoxListEntry& CBE);
  // True when no entry is visible.
  bool IsEmpty() const;
  void CheckAll(bool Check);
  void CheckItem(std::int32_t Data, bool Check);
  bool IsChecked(int Index) const;
  bool IsItemChecked(std::int32_t Data) const;
  bool IsItemChecked(const std::wstring& DataStr) const;
  int CheckedEntries() const;
  // Data of the visible, checked entries.
  TIntArray DataArray() const;
  std::wstring SettingsStr() const;
  // Checks exactly the entries whose Data is in the list; an empty text changes nothing.
  void LoadSettings(const std::wstring& Value);
};

// The abstract store. A store supplies the text primitives; every typed accessor has a text form
// here, and a store may override it with a native value type.
class TSettings {
public:
  TSettings() = default;
  TSettings(const TSettings&) = delete;
  TSettings& operator=(const TSettings&) = delete;
  virtual ~TSettings() = default;

  // With AutoFlush a store flushes after every write.
  bool AutoFlush() const noexcept { return FAutoFlush; }
  virtual void SetAutoFlush(bool Value) { FAutoFlush = Value; }
  // With WriteBack a read that finds nothing stored stores the entry's default.
  bool WriteBack() const noexcept { return FWriteBack; }
  void SetWriteBack(bool Value) noexcept { FWriteBack = Value; }
  // Section under which windows keep their placement.
  const std::wstring& FormSection() const noexcept { return FFormSection; }
  void SetFormSection(const std::wstring& Value) { FFormSection = Value; }

  virtual void Flush() = 0;
  virtual std::wstring RdString(const std::wstring& Entry) = 0;
  virtual void RdStrings(const std::wstring& Entry, TStrings& Strings, const std::wstring& Default) = 0;
  virtual void WrString(const std::wstring& Entry, const std::wstring& Value) = 0;
  virtual void WrStrings(const std::wstring& Entry, const TStrings& Strings, TTrimStringsOptions Tso) = 0;
  virtual void GetSubEntries(const std::wstring& Entry, TStrings& Names) = 0;
  virtual void DelSection(const std::wstring& Section);
  virtual void DelEntry(const std::wstring& Entry);
  virtual std::int32_t RdInteger(const std::wstring& Entry);
  virtual std::int64_t RdInt64(const std::wstring& Entry);
  virtual bool RdBoolean(const std::wstring& Entry);
  virtual double RdDate(const std::wstring& Entry);
  virtual double RdDateTime(const std::wstring& Entry);
  virtual double RdFloat(const std::wstring& Entry);
  virtual std::wstring RdPassword(const std::wstring& Entry, const std::wstring& Code, TEncType EncType);
  virtual TIntArray RdIntArray(const std::wstring& Entry);
  // Appends the stored bytes at the stream's position.
  virtual void RdBlob(const std::wstring& Entry, TStream& Stream);
  virtual std::wstring RdBlobText(const std::wstring& Entry);
  virtual void WrInteger(const std::wstring& Entry, std::int32_t Value);
  virtual void WrInt64(const std::wstring& Entry, std::int64_t Value);
  virtual void WrBoolean(const std::wstring& Entry, bool Value);
  virtual void WrDate(const std::wstring& Entry, double Value);
  virtual void WrDateTime(const std::wstring& Entry, double Value);
  virtual void WrFloat(const std::wstring& Entry, double Value, bool EmptyOnZero = false);
  virtual void WrPassword(const std::wstring& Entry, const std::wstring& Code, const std::wstring& Value,
                          TEncType EncType);
  virtual void WrIntArray(const std::wstring& Entry, const TIntArray& Value);
  // Stores the whole stream, from position 0.
  virtual void WrBlob(const std::wstring& Entry, TStream& Stream);
  virtual void WrBlobText(const std::wstring& Entry, const std::wstring& Value);
  // Where a setting lives, for showing it to a person.
  virtual std::wstring SettingsDisplayStr(const std::wstring& Entry);
  virtual TSettingsList FillSettingsList(const std::wstring& Entry) = 0;

  // The list as one text, every line followed by CR LF.
  std::wstring RdStrings(const std::wstring& Entry, const std::wstring& Default);
  void WrStrings(const std::wstring& Entry, const std::wstring& Text, TTrimStringsOptions Tso);

protected:
  // The lines a store writes: the caller's, trimmed of tabs and blanks as Tso says.
  static TStringList TrimmedLines(const TStrings& Strings, TTrimStringsOptions Tso);
  // A list read as its default (nothing stored) is written back when it is a real list.
  static bool IsDefaultList(const TStrings& Strings, const std::wstring& Default);
  // Trim options of the write-back of string lists.
  static constexpr TTrimStringsOptions kWriteBackTrim{toLeftIndent, toRight, toTop, toBottom, toEmptyLines};
  // A read never raises: a write-back that fails (read-only file, no permission) leaves the store
  // as it was.
  template <class TWrite>
  static void TryWriteBack(TWrite write) noexcept {
    try {
      write();
    } catch (...) {
    }
  }
  // Readers never raise, whatever is stored: when Read fails in any way (a value too large to
  // hold, a list that cannot take its lines), the result is Fallback's.
  template <class TRead, class TFallback>
  static auto NeverRaise(TRead read, TFallback fallback) noexcept -> decltype(read()) {
    try {
      return read();
    } catch (...) {
    }
    try {
      return fallback();
    } catch (...) {
    }
    return decltype(read())();
  }

private:
  bool FAutoFlush = false;
  bool FWriteBack = true;
  std::wstring FFormSection = L"Forms";
};
