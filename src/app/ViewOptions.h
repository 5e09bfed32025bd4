#pragma once
// The log view's options, chosen in its context menu and kept in the settings beside the font
// size: the character set of text datagrams, the time and sender columns, colours by level and
// the most lines the view keeps. Each is off, or as the program always behaved, by default.
#include "base/Unicode.h"

#include <cstdint>
#include <functional>

class TPopupMenu;
class TSettings;

struct TViewOptions {
  TCharEncoding Charset = chAnsi;
  bool ReceiveTime = false;
  bool Sender = false;
  bool LevelColours = true;
  std::int64_t LineLimit = 0;  // 0: every line is kept

  // What the settings hold; anything missing or malformed is the default.
  static TViewOptions Load(TSettings* settings);
  void Store(TSettings* settings) const;
};

// Adds the options' items to the view's context menu; a choice calls changed with the options
// it makes.
void AddViewOptionItems(TPopupMenu& menu, const TViewOptions& options,
                        const std::function<void(const TViewOptions&)>& changed);
