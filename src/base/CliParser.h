#pragma once
// The command-line parser: splits a command line into texts and options ("/P:6702") and
// answers questions about the options. The parser is a list of its parts, in command-line order.
#include "base/LinkList.h"
#include "base/Sets.h"
#include "base/Strings.h"

#include <cstdint>
#include <string>
#include <string_view>

enum TPartType : std::uint8_t { ptText, ptOption };
enum TOptionType : std::uint8_t { otSlash, otDash, otDoubleDash, otPlus };
using TOptionTypes = TSet<TOptionType, 4>;
// How option keys are converted at parse time (and every key asked for later).
enum TOptionCase : std::uint8_t { ocUnchanged, ocUpperCase, ocLowerCase };

// The prefix that marks each option type, and its name in PartDump.
inline constexpr std::wstring_view OptionTypePrefix[] = {L"/", L"-", L"--", L"+"};
inline constexpr std::wstring_view OptionTypeName[] = {L"Slash", L"Dash", L"DoubleDash", L"Plus"};

// One part of a command line.
class TPartNode : public TListNode {
public:
  std::wstring Text;   // the part as written, quotes processed
  std::wstring Key;    // options: the text before the first colon, prefix included, case-converted
  std::wstring Param;  // options: the text after the first colon
  TPartType PartType = ptText;
  TOptionType OptionType = otSlash;  // options: the prefix that matched
};

class TCliParser : public TLinkList {
public:
  // Replaces the parts with those of CommandLine. Parts are separated by white space (tab,
  // LF, CR, space) and by an allowed prefix inside a part; double quotes group text (two in a
  // row stand for one) and are dropped. A part that starts with an allowed prefix is an option.
  void Parse(const std::wstring& commandLine, TOptionTypes allowedOptions, TOptionCase optionKeyCase);
  // Parse of the process's command line. The program path, as Windows delimits it (quoted, or
  // up to the first white space), is always one text part, the first; it is left out unless
  // IncludeCommand is true.
  void ParseCmdLine(TOptionTypes allowedOptions, TOptionCase optionKeyCase, bool includeCommand);

  TOptionTypes AllowedOptions() const noexcept { return FAllowedOptions; }
  TOptionCase OptionKeyCase() const noexcept { return FOptionKeyCase; }

  // Keys asked for include the prefix ("/P") and are converted as the last Parse converted keys.
  bool HasOption(const std::wstring& optionKey) const;
  // Parameter of the first option with this key; empty when there is none.
  std::wstring OptionParam(const std::wstring& optionKey) const;
  // The parameter as an integer; fallback when absent, empty or not an integer.
  std::int32_t OptionParamAsInt(const std::wstring& optionKey, std::int32_t fallback) const;
  // True for "Y", "Yes", "J", "Ja", "T", "True" (any case) or a non-zero integer.
  bool OptionParamAsBoolean(const std::wstring& optionKey) const;
  // Parameters of every option with this key, in command-line order.
  TStringArray Options(const std::wstring& optionKey) const;

  std::int32_t OptionCount() const;
  // The option at a 0-based position among the options; none beyond the last, the first for a
  // negative position.
  TPartNode* Option(std::int32_t index0) const;
  std::int32_t TextCount() const;
  // Text of the text part at a 0-based position among the texts; empty beyond the last, the
  // first for a negative position.
  std::wstring Text(std::int32_t index0) const;

  // Options whose key is not among KnownOptions (separated by spaces or commas), each with
  // ":" and its parameter when IncludeParams; joined by CR LF.
  std::wstring UnknownOptions(const std::wstring& knownOptions, bool includeParams) const;
  // Each of MandatoryOptions (separated by spaces or commas) that is not present, followed by CR LF.
  std::wstring MissingOptions(const std::wstring& mandatoryOptions) const;
  // A readable listing of all parts.
  std::wstring PartDump() const;

private:
  // Adds a part read from the command line: an option when it starts with an allowed prefix.
  void AddPart(std::wstring text);
  std::wstring ConvertKey(const std::wstring& optionKey) const;
  // First option with this (already converted) key.
  const TPartNode* FindOption(const std::wstring& convertedKey) const;
  // The part of a type at a 0-based position among the parts of that type (none beyond the
  // last; the first for a negative position, which callers may rely on); Count receives how
  // many parts of that type there are.
  TPartNode* PartOfType(TPartType type, std::int32_t index0, std::int32_t& count) const;

  TOptionTypes FAllowedOptions;
  TOptionCase FOptionKeyCase = ocUnchanged;
};
