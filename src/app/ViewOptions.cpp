#include "app/ViewOptions.h"

#include "settings/Settings.h"
#include "toolkit/Menus.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr const wchar_t* kCharsetEntry = L"Settings\rCharset\rANSI";
constexpr const wchar_t* kReceiveTimeEntry = L"Settings\rReceive Time\r0";
constexpr const wchar_t* kSenderEntry = L"Settings\rSender\r0";
constexpr const wchar_t* kLevelColoursEntry = L"Settings\rLevel Colours\r1";
constexpr const wchar_t* kLineLimitEntry = L"Settings\rLine Limit\r0";

// The stored names of the character sets, in the order of TCharEncoding.
constexpr std::array<const wchar_t*, 3> kCharsetNames{L"ANSI", L"UTF-8", L"Auto"};

// A limit below this would leave hardly a screen of lines once a block of the view's text went:
// a hand-edited value below it is taken as no limit.
constexpr std::int64_t kLeastLineLimit = 1000;

}  // namespace

TViewOptions TViewOptions::Load(TSettings* settings) {
  TViewOptions options;
  if (!settings) return options;
  const std::wstring charset = settings->RdString(kCharsetEntry);
  for (std::size_t i = 0; i < kCharsetNames.size(); ++i)
    if (charset == kCharsetNames[i]) options.Charset = static_cast<TCharEncoding>(i);
  options.ReceiveTime = settings->RdBoolean(kReceiveTimeEntry);
  options.Sender = settings->RdBoolean(kSenderEntry);
  options.LevelColours = settings->RdBoolean(kLevelColoursEntry);
  const std::int64_t limit = settings->RdInteger(kLineLimitEntry);
  options.LineLimit = limit >= kLeastLineLimit ? limit : 0;
  return options;
}

void TViewOptions::Store(TSettings* settings) const {
  if (!settings) return;
  settings->WrString(kCharsetEntry, kCharsetNames[Charset]);
  settings->WrBoolean(kReceiveTimeEntry, ReceiveTime);
  settings->WrBoolean(kSenderEntry, Sender);
  settings->WrBoolean(kLevelColoursEntry, LevelColours);
  settings->WrInteger(kLineLimitEntry, static_cast<std::int32_t>(LineLimit));
}

void AddViewOptionItems(TPopupMenu& menu, const TViewOptions& options,
                        const std::function<void(const TViewOptions&)>& changed) {
  // Each item's handler makes the options it stands for from those of the moment it shows.
  auto choose = [options, changed](auto change) {
    return [options, changed, change](TObject*) {
      TViewOptions next = options;
      change(next);
      changed(next);
    };
  };
  TMenuItem* charsets = menu.AddItem(L"MnuCharset", L"&Zeichensatz");
  const std::array<const wchar_t*, 3> charsetCaptions{L"&ANSI", L"&UTF-8", L"Au&tomatisch"};
  const std::array<const wchar_t*, 3> charsetItems{L"MnuCharsetAnsi", L"MnuCharsetUtf8", L"MnuCharsetAuto"};
  for (std::size_t i = 0; i < charsetCaptions.size(); ++i) {
    const auto charset = static_cast<TCharEncoding>(i);
    TMenuItem* item = charsets->AddItem(charsetItems[i], charsetCaptions[i],
                                        choose([charset](TViewOptions& next) { next.Charset = charset; }));
    item->SetRadioItem(true);
    item->SetChecked(options.Charset == charset);
  }
  menu.AddItem(L"MnuReceiveTime", L"Em&pfangszeit", choose([](TViewOptions& next) {
        next.ReceiveTime = !next.ReceiveTime;
      }))->SetChecked(options.ReceiveTime);
  menu.AddItem(L"MnuSender", L"A&bsender", choose([](TViewOptions& next) { next.Sender = !next.Sender; }))
      ->SetChecked(options.Sender);
  menu.AddItem(L"MnuLevelColours", L"&Farben nach Stufe", choose([](TViewOptions& next) {
        next.LevelColours = !next.LevelColours;
      }))->SetChecked(options.LevelColours);
  TMenuItem* limits = menu.AddItem(L"MnuLineLimit", L"&Höchstens ... Zeilen behalten");
  // No limit, and those the menu offers.
  const std::array<std::int64_t, 4> limitValues{0, 100'000, 1'000'000, 10'000'000};
  const std::array<const wchar_t*, 4> limitCaptions{L"&Unbegrenzt", L"&100.000", L"1 &Mio.", L"1&0 Mio."};
  for (std::size_t i = 0; i < limitValues.size(); ++i) {
    const std::int64_t limit = limitValues[i];
    TMenuItem* item = limits->AddItem(L"MnuLineLimit" + std::to_wstring(i), limitCaptions[i],
                                      choose([limit](TViewOptions& next) { next.LineLimit = limit; }));
    item->SetRadioItem(true);
    item->SetChecked(options.LineLimit == limit);
  }
}
