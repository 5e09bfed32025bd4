#include "base/CliParser.h"

#include "base/Strings.h"
#include "base/Win.h"

#include <algorithm>
#include <iterator>
#include <memory>

namespace {

// A key list of UnknownOptions and MissingOptions: keys separated by spaces or commas.
std::wstring CommasForSpaces(std::wstring keys) {
  std::replace(keys.begin(), keys.end(), L' ', L',');
  return keys;
}

// Length of the allowed prefix at Pos (0 when none) and its type. Every allowed type is tried in
// order and the last match wins, so "--" is a double dash when both dash kinds are allowed.
size_t RecognisePrefix(std::wstring_view s, size_t pos, TOptionTypes allowed, TOptionType& type) {
  size_t length = 0;
  for (TOptionType t : {otSlash, otDash, otDoubleDash, otPlus}) {
    const std::wstring_view prefix = OptionTypePrefix[t];
    if (allowed.Contains(t) && s.substr(pos).starts_with(prefix)) {
      type = t;
      length = prefix.size();
    }
  }
  return length;
}

// Appends the quoted section that opens at Pos to Text and returns the position after its
// closing quote: kept as it stands, "" for one quote; an open quote takes the rest.
size_t AppendQuoted(std::wstring_view s, size_t pos, std::wstring& text) {
  size_t q = pos + 1;
  for (; q < s.size(); ++q) {
    if (s[q] == L'"') {
      if (q + 1 >= s.size() || s[q + 1] != L'"') return q + 1;
      ++q;
    }
    text += s[q];
  }
  return q;
}

// The text of the part that starts at Pos (not white space), quotes processed; Pos moves past
// it. A part ends at white space or where an allowed prefix starts inside it.
std::wstring ReadPart(std::wstring_view s, size_t& pos, TOptionTypes allowed) {
  std::wstring text;
  size_t q = pos;
  TOptionType type = otSlash;
  for (;;) {
    if (q >= s.size() || WhitespaceChars.Contains(s[q])) {
      text.append(s.substr(pos, q - pos));
      pos = q < s.size() ? q + 1 : q;
      return text;
    }
    if (s[q] == L'"') {
      text.append(s.substr(pos, q - pos));
      q = pos = AppendQuoted(s, q, text);
      continue;
    }
    if (const size_t prefixLength = RecognisePrefix(s, q, allowed, type)) {
      if (q != pos) {  // a prefix inside a part starts the next part
        text.append(s.substr(pos, q - pos));
        pos = q;
        return text;
      }
      q += prefixLength;
      continue;
    }
    ++q;
  }
}

const TPartNode* AsPart(const TListNode* node) { return dynamic_cast<const TPartNode*>(node); }

const wchar_t* const kLineBreak = L"\r\n";

}  // namespace

void TCliParser::Parse(const std::wstring& commandLine, TOptionTypes allowedOptions, TOptionCase optionKeyCase) {
  Clear();
  FAllowedOptions = allowedOptions;
  FOptionKeyCase = optionKeyCase;

  const std::wstring trimmed = Trim(commandLine);
  const std::wstring_view s = trimmed;
  size_t p = 0;
  for (;;) {
    while (p < s.size() && WhitespaceChars.Contains(s[p])) ++p;
    if (p >= s.size()) break;
    std::wstring text = ReadPart(s, p, FAllowedOptions);
    if (!text.empty()) AddPart(std::move(text));  // empty: for example a part made only of ""
  }
}

void TCliParser::AddPart(std::wstring text) {
  auto node = std::make_unique<TPartNode>();
  TOptionType type = otSlash;
  if (RecognisePrefix(text, 0, FAllowedOptions, type)) {
    node->PartType = ptOption;
    node->OptionType = type;
    const size_t colon = text.find(L':');
    node->Key = ConvertKey(text.substr(0, colon));
    if (colon != std::wstring::npos) node->Param = text.substr(colon + 1);
  }
  node->Text = std::move(text);
  Add(std::move(node));
}

void TCliParser::ParseCmdLine(TOptionTypes allowedOptions, TOptionCase optionKeyCase, bool includeCommand) {
  const wchar_t* raw = ::GetCommandLineW();
  const std::wstring trimmed = Trim(raw ? raw : L"");
  const std::wstring_view line = trimmed;
  // The program path ends at its closing quote, or unquoted at the first white space, as
  // Windows reads it; parsing it as parts would make options of a path like C:\my-tools\x.exe.
  std::wstring_view program;
  std::wstring_view rest;
  if (!line.empty() && line.front() == L'"') {
    const size_t close = line.find(L'"', 1);
    program = line.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1);
    rest = close == std::wstring_view::npos ? std::wstring_view() : line.substr(close + 1);
  } else {
    size_t end = 0;
    while (end < line.size() && !WhitespaceChars.Contains(line[end])) ++end;
    program = line.substr(0, end);
    rest = line.substr(end);
  }
  Parse(std::wstring(rest), allowedOptions, optionKeyCase);
  if (includeCommand && !program.empty()) {
    auto node = std::make_unique<TPartNode>();
    node->Text = program;
    InsertFirst(std::move(node));
  }
}

std::wstring TCliParser::ConvertKey(const std::wstring& optionKey) const {
  switch (FOptionKeyCase) {
    case ocUpperCase:
      return LocaleUpperCase(optionKey);
    case ocLowerCase:
      return LocaleLowerCase(optionKey);
    case ocUnchanged:
      break;
  }
  return optionKey;
}

const TPartNode* TCliParser::FindOption(const std::wstring& convertedKey) const {
  for (const TListNode* node = First(); node; node = node->Next())
    if (const TPartNode* part = AsPart(node); part && part->PartType == ptOption && part->Key == convertedKey)
      return part;
  return nullptr;
}

bool TCliParser::HasOption(const std::wstring& optionKey) const { return FindOption(ConvertKey(optionKey)); }

std::wstring TCliParser::OptionParam(const std::wstring& optionKey) const {
  const TPartNode* part = FindOption(ConvertKey(optionKey));
  return part ? part->Param : std::wstring();
}

std::int32_t TCliParser::OptionParamAsInt(const std::wstring& optionKey, std::int32_t fallback) const {
  return StrToIntDef(OptionParam(optionKey), fallback);
}

bool TCliParser::OptionParamAsBoolean(const std::wstring& optionKey) const {
  const std::wstring param = OptionParam(optionKey);
  for (const wchar_t* word : {L"Y", L"Yes", L"J", L"Ja", L"T", L"True"})
    if (SameTextOrdinal(param, word)) return true;
  return StrToIntDef(param, 0) != 0;
}

TStringArray TCliParser::Options(const std::wstring& optionKey) const {
  const std::wstring key = ConvertKey(optionKey);
  TStringArray params;
  for (const TListNode* node = First(); node; node = node->Next())
    if (const TPartNode* part = AsPart(node); part && part->PartType == ptOption && part->Key == key)
      params.push_back(part->Param);
  return params;
}

TPartNode* TCliParser::PartOfType(TPartType type, std::int32_t index0, std::int32_t& count) const {
  TPartNode* found = nullptr;
  count = 0;
  for (TListNode* node = First(); node; node = node->Next())
    if (const TPartNode* part = AsPart(node); part && part->PartType == type) {
      if (!found && count >= index0) found = static_cast<TPartNode*>(node);
      ++count;
    }
  return found;
}

std::int32_t TCliParser::OptionCount() const {
  std::int32_t count;
  PartOfType(ptOption, -1, count);
  return count;
}

TPartNode* TCliParser::Option(std::int32_t index0) const {
  std::int32_t count;
  return PartOfType(ptOption, index0, count);
}

std::int32_t TCliParser::TextCount() const {
  std::int32_t count;
  PartOfType(ptText, -1, count);
  return count;
}

std::wstring TCliParser::Text(std::int32_t index0) const {
  std::int32_t count;
  const TPartNode* part = PartOfType(ptText, index0, count);
  return part ? part->Text : std::wstring();
}

std::wstring TCliParser::UnknownOptions(const std::wstring& knownOptions, bool includeParams) const {
  const std::wstring known = ConvertKey(CommasForSpaces(knownOptions));
  TStringArray entries;
  std::wstring_view rest = known;
  for (std::wstring entry; NextToken(rest, L",", entry, true);) entries.push_back(std::move(entry));

  std::wstring result;
  bool first = true;
  for (const TListNode* node = First(); node; node = node->Next()) {
    const TPartNode* part = AsPart(node);
    if (!part || part->PartType != ptOption) continue;
    if (std::find(entries.begin(), entries.end(), part->Key) != entries.end()) continue;
    if (!first) result += kLineBreak;
    first = false;
    result += part->Key;
    if (includeParams) result += L':' + part->Param;
  }
  return result;
}

std::wstring TCliParser::MissingOptions(const std::wstring& mandatoryOptions) const {
  const std::wstring mandatory = ConvertKey(CommasForSpaces(mandatoryOptions));
  std::wstring result;
  std::wstring_view rest = mandatory;
  for (std::wstring entry; NextToken(rest, L",", entry, false);)
    if (!entry.empty() && !FindOption(entry)) (result += entry) += kLineBreak;
  return result;
}

std::wstring TCliParser::PartDump() const {
  std::wstring dump;
  for (const TListNode* node = First(); node; node = node->Next()) {
    const TPartNode* part = AsPart(node);
    if (!part) continue;
    dump += L"===" + part->Text + L"===" + kLineBreak;
    dump += L"   Type      : ";
    dump += part->PartType == ptOption ? L"Option" : L"Text";
    dump += kLineBreak;
    if (part->PartType == ptOption) {
      dump += L"   Key       : " + part->Key + kLineBreak;
      dump += L"   Param     : " + part->Param + kLineBreak;
      dump += L"   OptionType: ";
      if (part->OptionType < std::size(OptionTypeName)) dump += OptionTypeName[part->OptionType];
      dump += kLineBreak;
    }
    dump += kLineBreak;
  }
  return dump;
}
