// The typed accessors on both real stores: what is written reads back, and no stored text,
// however wrong, makes a reader raise.
#include "base/DateTime.h"
#include "base/Streams.h"
#include "base/Unicode.h"
#include "settings/IniSettings.h"
#include "settings/RegistrySettings.h"

#include "SettingsTestSupport.h"
#include "support/TestSupport.h"

#include <functional>
#include <stdexcept>

namespace {

enum TStoreKind { skRegistry, skIni };

class Stores : public ::testing::TestWithParam<TStoreKind> {
protected:
  void SetUp() override {
    if (GetParam() == skRegistry)
      FStore = std::make_unique<TRegistrySettings>(FKey.Path(), hkCurrentUser, rr6464);
    else
      FStore = std::make_unique<TIniSettings>(FFolder.Path() + L"store.ini", true);
  }
  TSettings& Store() { return *FStore; }

  TTestRegistryKey FKey;
  TTempFolder FFolder;
  std::unique_ptr<TSettings> FStore;
};

std::string StoreName(const ::testing::TestParamInfo<TStoreKind>& info) {
  return info.param == skRegistry ? "Registry" : "Ini";
}

// ---- The stored form of every typed accessor, as another program sees it in the registry or
// in the INI file. Each row writes the entry "F\rV".

struct TFormCase {
  const char* name;
  std::function<void(TSettings&)> write;
  std::wstring iniSection;               // the INI section the row writes
  std::vector<std::wstring> iniLines;    // its lines as the file holds them
  std::pair<DWORD, std::string> registry;  // type and bytes of the registry value
};

// A row that stores one value: "V=<text>" in the INI section "F".
TFormCase ValueForm(const char* name, std::function<void(TSettings&)> write, const std::wstring& iniText,
                    DWORD regType, const std::string& regData) {
  return {name, std::move(write), L"F", {L"V=" + iniText}, {regType, regData}};
}

// A row that stores a list: the INI section "F\V" of its own.
TFormCase ListForm(const char* name, std::function<void(TSettings&)> write, std::vector<std::wstring> iniLines,
                   const std::string& regData) {
  return {name, std::move(write), L"F\\V", std::move(iniLines), {REG_BINARY, regData}};
}

std::vector<TFormCase> StoredFormCases() {
  double day = EncodeDateExt(2024, 3, 5);
  double moment = day + EncodeTime(14, 7, 9, 45);
  std::wstring sixtyFour;
  for (int i = 0; i < 16; ++i) sixtyFour += L"eHh4";  // base64 of "xxx", 16 times
  return {
      ValueForm("Integer", [](TSettings& s) { s.WrInteger(L"F\rV", -12); }, L"-12", REG_DWORD, DwordBytes(-12)),
      ValueForm("Int64", [](TSettings& s) { s.WrInt64(L"F\rV", INT64_MIN); }, L"-9223372036854775808", REG_SZ,
                SzBytes(L"-9223372036854775808")),
      ValueForm("BooleanTrue", [](TSettings& s) { s.WrBoolean(L"F\rV", true); }, L"1", REG_DWORD, DwordBytes(1)),
      ValueForm("BooleanFalse", [](TSettings& s) { s.WrBoolean(L"F\rV", false); }, L"0", REG_DWORD, DwordBytes(0)),
      ValueForm("Date", [=](TSettings& s) { s.WrDate(L"F\rV", day); }, L"2024-03-05", REG_SZ, SzBytes(L"2024-03-05")),
      ValueForm("DateTime", [=](TSettings& s) { s.WrDateTime(L"F\rV", moment); }, L"2024-03-05 14:07:09.045", REG_SZ,
                SzBytes(L"2024-03-05 14:07:09.045")),
      ValueForm("FloatWhole", [](TSettings& s) { s.WrFloat(L"F\rV", 2); }, L"2", REG_SZ, SzBytes(L"2")),
      ValueForm("FloatFraction", [](TSettings& s) { s.WrFloat(L"F\rV", -1.5); }, L"-1.5", REG_SZ, SzBytes(L"-1.5")),
      ValueForm("FloatEmptyOnZero", [](TSettings& s) { s.WrFloat(L"F\rV", 0, true); }, L"", REG_SZ, SzBytes(L"")),
      ValueForm("IntArray", [](TSettings& s) { s.WrIntArray(L"F\rV", {3, 17, -2}); }, L"3,17,-2", REG_SZ,
                SzBytes(L"3,17,-2")),
      ValueForm("PasswordPlain", [](TSettings& s) { s.WrPassword(L"F\rV", L"x", L"pw", etNone); }, L"pw", REG_SZ,
                SzBytes(L"pw")),
      ValueForm("PasswordHex", [](TSettings& s) { s.WrPassword(L"F\rV", L"", L"AB", etHex); }, L"4142", REG_SZ,
                SzBytes(L"4142")),
      // 0x41 xor 0x42.
      ValueForm("PasswordScrambled", [](TSettings& s) { s.WrPassword(L"F\rV", L"B", L"A", etQelEncode); }, L"03",
                REG_SZ, SzBytes(L"03")),
      // 0x42 xor 8, then the UTF-8 bytes E2 82 AC of the euro sign with C, B, C.
      ValueForm("PasswordScrambledUtf8", [](TSettings& s) { s.WrPassword(L"F\rV", L"BC", L"\u20AC", etQelEncode); },
                L"4AA1C0EF", REG_SZ, SzBytes(L"4AA1C0EF")),
      ValueForm("PasswordScrambledNoCode", [](TSettings& s) { s.WrPassword(L"F\rV", L"", L"pw", etQelEncode); },
                L"pw", REG_SZ, SzBytes(L"pw")),
      // A leading blank survives the INI reader only in quotes.
      ValueForm("LeadingBlank", [](TSettings& s) { s.WrString(L"F\rV", L" x"); }, L"' x'", REG_SZ, SzBytes(L" x")),
      ListForm("Strings", [](TSettings& s) { s.WrStrings(L"F\rV", L"a\r\n b", TTrimStringsOptions()); },
               {L"Count=2", L"1=a", L"2=' b'"}, "a\r\n b\r\n"),
      ListForm(
          "Blob",
          [](TSettings& s) {
            TMemoryStream blob(std::string(100, 'x'));
            s.WrBlob(L"F\rV", blob);
          },
          {L"Count=3", L"1=" + sixtyFour, L"2=" + sixtyFour, L"3=eHh4eA=="}, std::string(100, 'x')),
      // A byte-order mark, then the UTF-8 bytes of the text.
      ListForm("BlobText", [](TSettings& s) { s.WrBlobText(L"F\rV", L"\u00E4"); }, {L"Count=1", L"1=77u/w6Q="},
               "\xEF\xBB\xBF\xC3\xA4"),
  };
}

class StoredForm : public ::testing::TestWithParam<std::tuple<TFormCase, TStoreKind>> {
protected:
  TTestRegistryKey FKey;
  TTempFolder FFolder;
};

TEST_P(StoredForm, AsWritten) {
  const auto& [form, kind] = GetParam();
  if (kind == skRegistry) {
    TRegistrySettings store(FKey.Path());
    form.write(store);
    EXPECT_EQ(RawValue(FKey.Path() + L"\\F", L"V"), form.registry);
  } else {
    std::wstring file = FFolder.Path() + L"forms.ini";
    TIniSettings store(file, false);
    form.write(store);
    EXPECT_EQ(TIniFile(file).ReadSectionLines(form.iniSection), form.iniLines);
  }
}

std::string FormName(const ::testing::TestParamInfo<std::tuple<TFormCase, TStoreKind>>& row) {
  return std::string(std::get<0>(row.param).name) + (std::get<1>(row.param) == skRegistry ? "_Registry" : "_Ini");
}

INSTANTIATE_TEST_SUITE_P(Settings, StoredForm,
                         ::testing::Combine(::testing::ValuesIn(StoredFormCases()),
                                            ::testing::Values(skRegistry, skIni)),
                         FormName);

TEST_P(Stores, NumbersAndFlags) {
  TSettings& s = Store();
  s.WrInteger(L"S\rInt", -12);
  s.WrInteger(L"S\rMin", INT32_MIN);
  s.WrInt64(L"S\rBig", INT64_MIN);
  s.WrBoolean(L"S\rYes", true);
  s.WrBoolean(L"S\rNo", false);
  s.WrFloat(L"S\rF", 0.1);
  s.WrFloat(L"S\rNeg", -3);
  s.WrIntArray(L"S\rArr", {3, 17, -2});
  s.WrIntArray(L"S\rNone", {});
  EXPECT_EQ(s.RdInteger(L"S\rInt\r5"), -12);
  EXPECT_EQ(s.RdInteger(L"S\rMin"), INT32_MIN);
  EXPECT_EQ(s.RdInt64(L"S\rBig"), INT64_MIN);
  EXPECT_TRUE(s.RdBoolean(L"S\rYes"));
  EXPECT_FALSE(s.RdBoolean(L"S\rNo\r1"));
  EXPECT_EQ(s.RdString(L"S\rF"), L"0.1");
  EXPECT_EQ(s.RdString(L"S\rNeg"), L"-3");
  EXPECT_DOUBLE_EQ(s.RdFloat(L"S\rF"), 0.1);
  EXPECT_EQ(s.RdString(L"S\rArr"), L"3,17,-2");
  EXPECT_EQ(s.RdIntArray(L"S\rArr"), (TIntArray{3, 17, -2}));
  EXPECT_TRUE(s.RdIntArray(L"S\rNone").empty());
  s.WrFloat(L"S\rZero", 0, true);
  EXPECT_EQ(s.RdString(L"S\rZero\rx"), L"");
}

TEST_P(Stores, DatesRoundTrip) {
  TSettings& s = Store();
  double day = EncodeDateExt(2024, 3, 5);
  double moment = day + (14 * 3600 + 7 * 60 + 9.045) / 86400.0;
  s.WrDate(L"S\rD", day);
  s.WrDateTime(L"S\rDT", moment);
  EXPECT_EQ(s.RdString(L"S\rD"), L"2024-03-05");
  EXPECT_EQ(s.RdDate(L"S\rD"), day);
  EXPECT_NEAR(s.RdDateTime(L"S\rDT"), moment, 0.5 / 86400000.0);
  s.WrString(L"S\rShort", L"2024-03-05 14:07");
  EXPECT_EQ(s.RdDateTime(L"S\rShort"), 0);
}

TEST_P(Stores, Passwords) {
  TSettings& s = Store();
  s.WrPassword(L"P\rHex", L"", L"AB", etHex);
  EXPECT_EQ(s.RdString(L"P\rHex"), L"4142");
  EXPECT_EQ(s.RdPassword(L"P\rHex", L"", etHex), L"AB");
  s.WrPassword(L"P\rQel", L"Code", L"Grüße \u4E2D", etQelEncode);
  EXPECT_EQ(s.RdPassword(L"P\rQel", L"Code", etQelEncode), L"Grüße \u4E2D");
  s.WrPassword(L"P\rNoCode", L"", L"plain", etQelEncode);
  EXPECT_EQ(s.RdString(L"P\rNoCode"), L"plain");
  EXPECT_EQ(s.RdPassword(L"P\rNoCode", L"", etQelEncode), L"");
  s.WrPassword(L"P\rPlain", L"x", L" as is ", etNone);
  EXPECT_EQ(s.RdPassword(L"P\rPlain", L"x", etNone), L" as is ");
  s.WrPassword(L"P\rOther", L"x", L"v", static_cast<TEncType>(7));
  EXPECT_EQ(s.RdString(L"P\rOther"), L"v");
}

TEST_P(Stores, TextsComeBackExactly) {
  TSettings& s = Store();
  for (const std::wstring& text : {std::wstring(L" lead"), std::wstring(L"trail  "), std::wstring(L"'quoted'"),
                                   std::wstring(L"\"q\""), std::wstring(L"Grüße \u4E2D \U0001F600"), std::wstring()}) {
    s.WrString(L"T\rV", text);
    EXPECT_EQ(s.RdString(L"T\rV\rdefault"), text);
  }
}

TEST_P(Stores, StringListsComeBackExactly) {
  TSettings& s = Store();
  TStringList lines{L"a", L" b", L"c  ", L"", L"'q'", L"\"d\"", L"it's", L"\tTab", L"Grüße \u4E2D", L"x=y", L"[z]"};
  s.WrStrings(L"List", lines, TTrimStringsOptions());
  TStringList back;
  s.RdStrings(L"List", back, L"");
  EXPECT_EQ(back.Lines(), lines.Lines());
  EXPECT_EQ(s.RdStrings(L"List", L""), lines.Text());
  // A shorter list leaves nothing of the longer one.
  s.WrStrings(L"List", L"one\r\ntwo", TTrimStringsOptions());
  s.RdStrings(L"List", back, L"");
  EXPECT_EQ(back.Lines(), (std::vector<std::wstring>{L"one", L"two"}));
}

TEST_P(Stores, TrimOptionsApplyOnWriting) {
  TSettings& s = Store();
  s.WrStrings(L"L", L"\r\n    a  \r\n\r\n  b\r\n\r\n", {toLeftIndent, toRight, toTop, toBottom, toEmptyLines});
  EXPECT_EQ(s.RdStrings(L"L", L""), L"  a\r\nb\r\n");
}

TEST_P(Stores, BlobsRoundTrip) {
  TSettings& s = Store();
  for (size_t size : {size_t(0), size_t(1), size_t(2), size_t(3), size_t(100), size_t(70000)}) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 13 + (i >> 8));
    TMemoryStream in(bytes);
    in.SetPosition(in.Size());  // written from position 0 whatever the position
    s.WrBlob(L"B\rData", in);
    TMemoryStream out("head");
    out.SetPosition(4);
    s.RdBlob(L"B\rData", out);
    EXPECT_EQ(out.DataString(), "head" + bytes) << size;
  }
}

TEST_P(Stores, BlobTextsRoundTrip) {
  TSettings& s = Store();
  s.WrBlobText(L"B\rText", L"Zeile 1\r\nGrüße \u4E2D\U0001F600\r\n  ");
  EXPECT_EQ(s.RdBlobText(L"B\rText"), L"Zeile 1\r\nGrüße \u4E2D\U0001F600\r\n  ");
  s.WrBlobText(L"B\rMarked", L"\uFEFFtext");
  EXPECT_EQ(s.RdBlobText(L"B\rMarked"), L"text");
  EXPECT_EQ(s.RdBlobText(L"B\rMissing"), L"");
}

TEST_P(Stores, InvalidBase64NeverRaises) {
  TSettings& s = Store();
  s.WrStrings(L"B\rBad", L"!!!!\r\n@@\r\n=\r\n QUJD \r\nQQ", TTrimStringsOptions());
  TMemoryStream stream;
  EXPECT_NO_THROW(s.RdBlob(L"B\rBad", stream));
  EXPECT_NO_THROW(s.RdBlobText(L"B\rBad"));
  // A stored list that is a valid text, read as a blob: bytes come out, nothing raises.
  s.WrStrings(L"B\rText", L"Grüße", TTrimStringsOptions());
  EXPECT_NO_THROW(s.RdBlobText(L"B\rText"));
}

class StoredGarbage : public Stores {};

// Whatever text is stored, no typed reader raises, and each gives its documented fallback.
TEST_P(StoredGarbage, ReadersFallBack) {
  TSettings& s = Store();
  s.SetWriteBack(false);
  const std::wstring samples[] = {L"abc", L"0x", L"$", L"9999999999999999999999", L"1,x,3", L"2,5", L"2024-13-45",
                                  L"zz", L"414", std::wstring{wchar_t(0xFFFF), wchar_t(0xD800)}, L"====", L"-", L""};
  for (const std::wstring& stored : samples) {
    s.WrString(L"G\rV", stored);
    SCOPED_TRACE(::testing::Message() << "stored \"" << TextToUtf8(stored) << "\"");
    EXPECT_NO_THROW({
      s.RdInteger(L"G\rV\r8");
      s.RdInt64(L"G\rV\r8");
      s.RdBoolean(L"G\rV");
      s.RdDate(L"G\rV");
      s.RdDateTime(L"G\rV");
      s.RdFloat(L"G\rV");
      s.RdIntArray(L"G\rV");
      s.RdPassword(L"G\rV", L"code", etHex);
      s.RdPassword(L"G\rV", L"code", etQelEncode);
      TMemoryStream blob;
      s.RdBlob(L"G\rV", blob);
      s.RdBlobText(L"G\rV");
    });
  }
  struct TCase {
    std::wstring stored;
    std::int32_t integer;  // with default 8
    TIntArray array;
    double number;
  };
  for (const TCase& c : {TCase{L"abc", 8, {}, 0}, TCase{L"0x1F", 31, {}, 0}, TCase{L"$1F", 31, {}, 0},
                         TCase{L"1, 2 ,3", 8, {1, 2, 3}, 0}, TCase{L"2,5", 8, {2, 5}, 0}, TCase{L"2.5", 8, {}, 2.5},
                         TCase{L"-7", -7, {-7}, -7}}) {
    s.WrString(L"G\rV", c.stored);
    EXPECT_EQ(s.RdString(L"G\rV"), c.stored);
    // The registry store reads integers as 32-bit numbers only: a string gives the default.
    EXPECT_EQ(s.RdInteger(L"G\rV\r8"), GetParam() == skIni ? c.integer : 8) << TextToUtf8(c.stored);
    EXPECT_EQ(s.RdIntArray(L"G\rV"), c.array) << TextToUtf8(c.stored);
    EXPECT_EQ(s.RdFloat(L"G\rV"), c.number) << TextToUtf8(c.stored);
  }
  s.WrString(L"G\rV", L"abc");
  EXPECT_EQ(s.RdInteger(L"G\rV"), 0);  // no default either
  EXPECT_EQ(s.RdPassword(L"G\rV", L"", etHex), L"");
  s.WrString(L"G\rV", L"414");
  EXPECT_EQ(s.RdPassword(L"G\rV", L"", etHex), L"");
}

TEST_P(Stores, WriteBackFillsWhatIsMissing) {
  TSettings& s = Store();
  EXPECT_EQ(s.RdInteger(L"S\rN\r8"), 8);
  EXPECT_EQ(s.RdString(L"S\rT\rtext"), L"text");
  EXPECT_EQ(s.RdStrings(L"L", L"x\r\ny"), L"x\r\ny\r\n");
  s.SetWriteBack(false);
  EXPECT_EQ(s.RdInteger(L"S\rN\r9"), 8);
  EXPECT_EQ(s.RdString(L"S\rT\rother"), L"text");
  EXPECT_EQ(s.RdStrings(L"L", L"z"), L"x\r\ny\r\n");
  EXPECT_EQ(s.RdInteger(L"S\rNotWritten\r3"), 3);
  EXPECT_EQ(s.RdInteger(L"S\rNotWritten"), 0);
}

TEST_P(Stores, WriteBackLeavesUnreadableValuesAlone) {
  TSettings& s = Store();
  s.WrString(L"S\rN", L"twelve");
  EXPECT_EQ(s.RdInteger(L"S\rN\r8"), 8);
  EXPECT_EQ(s.RdString(L"S\rN"), L"twelve");
}

TEST_P(Stores, MissingListGivesDefaultLines) {
  TSettings& s = Store();
  s.SetWriteBack(false);
  TStringList lines{L"old"};
  s.RdStrings(L"Missing", lines, L"x");
  EXPECT_EQ(lines.Lines(), std::vector<std::wstring>{L"x"});
  s.RdStrings(L"Missing", lines, L"");
  EXPECT_EQ(lines.Count(), 0);
}

TEST_P(Stores, SubEntriesAndDeletion) {
  TSettings& s = Store();
  s.WrInteger(L"Sec\rA", 1);
  s.WrString(L"Sec\rB", L"b");
  s.WrInteger(L"Other\rC", 3);
  TStringList names;
  s.GetSubEntries(L"Sec", names);
  EXPECT_EQ(names.Lines(), (std::vector<std::wstring>{L"A", L"B"}));
  s.DelEntry(L"Sec\rA");
  s.GetSubEntries(L"Sec\rignored", names);
  EXPECT_EQ(names.Lines(), std::vector<std::wstring>{L"B"});
  s.DelSection(L"Sec\rB");
  s.GetSubEntries(L"Sec", names);
  EXPECT_EQ(names.Count(), 0);
  s.SetWriteBack(false);
  EXPECT_EQ(s.RdInteger(L"Other\rC"), 3);
  EXPECT_EQ(s.RdString(L"Sec\rB\rgone"), L"gone");
  EXPECT_TRUE(s.FillSettingsList(L"Sec").IsEmpty());
}

// A list that refuses to take lines, as one does when memory runs out.
class TRefusingStrings : public TStringList {
public:
  int Add(const std::wstring&) override { throw std::bad_alloc(); }
  void Insert(int, const std::wstring&) override { throw std::bad_alloc(); }
  void SetText(const std::wstring&) override { throw std::bad_alloc(); }
};

TEST_P(Stores, ListReadersNeverRaise) {
  TSettings& s = Store();
  s.WrStrings(L"L", L"a\r\nb", TTrimStringsOptions());
  s.WrInteger(L"Sec\rA", 1);
  TRefusingStrings refusing;
  EXPECT_NO_THROW(s.RdStrings(L"L", refusing, L"d"));
  EXPECT_NO_THROW(s.GetSubEntries(L"Sec", refusing));
  EXPECT_NO_THROW(s.GetSubEntries(L"", refusing));
  EXPECT_EQ(s.RdStrings(L"L", L""), L"a\r\nb\r\n");
}

INSTANTIATE_TEST_SUITE_P(Settings, Stores, ::testing::Values(skRegistry, skIni), StoreName);
INSTANTIATE_TEST_SUITE_P(Settings, StoredGarbage, ::testing::Values(skRegistry, skIni), StoreName);

}  // namespace
