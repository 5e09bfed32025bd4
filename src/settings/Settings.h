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
std::wstring EntryPart(std::wstring_view entry, int field);

enum TEncType : std::uint8_t { etNone, etHex, etQelEncode };

// The repeating-key scrambling of stored passwords. Code is taken as bytes in the ANSI code page;
// with an empty Code the value is stored as it is, and cannot be read back.
std::wstring QelEncode(const std::wstring& value, const std::wstring& code);
// Empty for anything that is not a scrambled text.
std::wstring QelDecode(const std::wstring& stored, const std::wstring& code);

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
  TSettingRec Find(const std::wstring& entry) const;
  // The snapshot's text, or the entry's default (written back to the owner when it writes back).
  std::wstring RdString(const std::wstring& entry) const;
  std::int32_t RdInteger(const std::wstring& entry) const;
  bool RdBoolean(const std::wstring& entry) const { return RdInteger(entry) != 0; }
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

  int Add(const std::wstring& text, bool isChecked, std::int32_t data, const std::wstring& dataStr = {});
  int Add(const TCheckBoxListEntry& cbe);
  // True when no entry is visible.
  bool IsEmpty() const;
  void CheckAll(bool check);
  void CheckItem(std::int32_t data, bool check);
  bool IsChecked(int index) const;
  bool IsItemChecked(std::int32_t data) const;
  bool IsItemChecked(const std::wstring& dataStr) const;
  int CheckedEntries() const;
  // Data of the visible, checked entries.
  TIntArray DataArray() const;
  std::wstring SettingsStr() const;
  // Checks exactly the entries whose Data is in the list; an empty text changes nothing.
  void LoadSettings(const std::wstring& value);
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
  virtual void SetAutoFlush(bool value) { FAutoFlush = value; }
  // With WriteBack a read that finds nothing stored stores the entry's default.
  bool WriteBack() const noexcept { return FWriteBack; }
  void SetWriteBack(bool value) noexcept { FWriteBack = value; }
  // Section under which windows keep their placement.
  const std::wstring& FormSection() const noexcept { return FFormSection; }
  void SetFormSection(const std::wstring& value) { FFormSection = value; }

  virtual void Flush() = 0;
  virtual std::wstring RdString(const std::wstring& entry) = 0;
  virtual void RdStrings(const std::wstring& entry, TStrings& strings, const std::wstring& fallback) = 0;
  virtual void WrString(const std::wstring& entry, const std::wstring& value) = 0;
  virtual void WrStrings(const std::wstring& entry, const TStrings& strings, TTrimStringsOptions tso) = 0;
  virtual void GetSubEntries(const std::wstring& entry, TStrings& names) = 0;
  virtual void DelSection(const std::wstring& section);
  virtual void DelEntry(const std::wstring& entry);
  virtual std::int32_t RdInteger(const std::wstring& entry);
  virtual std::int64_t RdInt64(const std::wstring& entry);
  virtual bool RdBoolean(const std::wstring& entry);
  virtual double RdDate(const std::wstring& entry);
  virtual double RdDateTime(const std::wstring& entry);
  virtual double RdFloat(const std::wstring& entry);
  virtual std::wstring RdPassword(const std::wstring& entry, const std::wstring& code, TEncType encType);
  virtual TIntArray RdIntArray(const std::wstring& entry);
  // Appends the stored bytes at the stream's position.
  virtual void RdBlob(const std::wstring& entry, TStream& stream);
  virtual std::wstring RdBlobText(const std::wstring& entry);
  virtual void WrInteger(const std::wstring& entry, std::int32_t value);
  virtual void WrInt64(const std::wstring& entry, std::int64_t value);
  virtual void WrBoolean(const std::wstring& entry, bool value);
  virtual void WrDate(const std::wstring& entry, double value);
  virtual void WrDateTime(const std::wstring& entry, double value);
  virtual void WrFloat(const std::wstring& entry, double value, bool emptyOnZero = false);
  virtual void WrPassword(const std::wstring& entry, const std::wstring& code, const std::wstring& value,
                          TEncType encType);
  virtual void WrIntArray(const std::wstring& entry, const TIntArray& value);
  // Stores the whole stream, from position 0.
  virtual void WrBlob(const std::wstring& entry, TStream& stream);
  virtual void WrBlobText(const std::wstring& entry, const std::wstring& value);
  // Where a setting lives, for showing it to a person.
  virtual std::wstring SettingsDisplayStr(const std::wstring& entry);
  virtual TSettingsList FillSettingsList(const std::wstring& entry) = 0;

  // The list as one text, every line followed by CR LF.
  std::wstring RdStrings(const std::wstring& entry, const std::wstring& fallback);
  void WrStrings(const std::wstring& entry, const std::wstring& text, TTrimStringsOptions tso);

protected:
  // The lines a store writes: the caller's, trimmed of tabs and blanks as Tso says.
  static TStringList TrimmedLines(const TStrings& strings, TTrimStringsOptions tso);
  // A list read as its default (nothing stored) is written back when it is a real list.
  static bool IsDefaultList(const TStrings& strings, const std::wstring& fallback);
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
