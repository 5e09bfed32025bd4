#pragma once
// The level of a log line, as senders write it: a level word near the start ("ERROR",
// "[warn]", "level=debug") or a syslog priority "<N>" at the very start. The view colours
// lines by it; it is decided once, when a line is added.
#include <cstdint>
#include <string_view>

enum TLogLevel : std::uint8_t { lvNormal, lvError, lvWarning, lvDebug };

// Characters of a line searched for a level word: where senders put the level.
inline constexpr std::size_t kLevelSearchChars = 80;

// The level of a line: a syslog priority prefix decides (severity = N mod 8: 0-3 error,
// 4 warning, 7 debug, 5 and 6 normal); otherwise the first level word, whole and in any case,
// among the first kLevelSearchChars characters (FATAL, CRITICAL, ERROR, FEHLER: error; WARN,
// WARNING, WARNUNG: warning; DEBUG, TRACE: debug).
TLogLevel LevelOf(std::wstring_view line) noexcept;
