#include "app/LogStatus.h"

#include "base/Strings.h"

namespace {

// The reddish text the library uses for what needs attention.
constexpr TColor kAttentionColor = 0x0000C8;
constexpr int kGap = 16;  // design pixels between two facts

}  // namespace

std::vector<std::wstring> LogStatusTexts(const TLogStatusFacts& facts) {
  std::wstring lines = L"Zeilen: " + FormatCount(static_cast<double>(facts.Lines));
  if (facts.LineLimit > 0) {
    lines += L" (höchstens " + FormatCount(static_cast<double>(facts.LineLimit));
    if (facts.RemovedLines > 0) lines += L", " + FormatCount(static_cast<double>(facts.RemovedLines)) + L" entfernt";
    lines += L")";
  }
  return {L"Empfangen: " + FormatCount(static_cast<double>(facts.Received)),
          lines,
          L"Verworfen: " + FormatCount(static_cast<double>(facts.Dropped)),
          FormatCount(facts.PerSecond) + L"/s",
          L"Wartend: " + FormatByteSize(L',', 1, L'.', static_cast<std::int64_t>(facts.WaitingBytes)),
          L"Speicher: " + FormatByteSize(L',', 1, L'.', static_cast<std::int64_t>(facts.MemoryBytes)) +
              (facts.MemoryFull ? L" (voll)" : L"")};
}

double TRateMeter::Sample(TTime now, std::uint64_t count) {
  FSamples.emplace_back(now, count);
  // The base: the newest sample at least a second old.
  while (FSamples.size() > 2 && now - FSamples[1].first >= std::chrono::seconds(1)) FSamples.pop_front();
  const auto& [then, before] = FSamples.front();
  const double seconds = std::chrono::duration<double>(now - then).count();
  return seconds > 0 ? static_cast<double>(count - before) / seconds : 0.0;
}

TLogStatusLine::TLogStatusLine(TComponent* owner, TControl* parent) {
  FPanel = NewComponent<TPanel>(owner, L"PnlStatus");
  FPanel->SetBounds(0, 0, parent->Width(), 20);
  FPanel->SetAlign(alBottom);
  FPanel->SetParent(parent);
  for (const wchar_t* name : {L"LblReceived", L"LblLines", L"LblDropped", L"LblRate", L"LblWaiting", L"LblMemory"}) {
    auto* label = NewComponent<TLabel>(owner, name);
    label->SetShowAccelChar(false);
    label->SetTop(3);
    label->SetParent(FPanel);
    FLabels.push_back(label);
  }
  Show(TLogStatusFacts{});
}

void TLogStatusLine::ShowRed(TLabel* label, bool red, bool& shownRed) {
  if (red == shownRed) return;
  shownRed = red;
  TFontDesc font = label->Font();
  font.Color = red ? kAttentionColor : clWindowText;
  label->SetFont(font);
}

void TLogStatusLine::Show(const TLogStatusFacts& facts) {
  ShowRed(FLabels[2], facts.Dropped > 0, FDroppedRed);
  ShowRed(FLabels[5], facts.MemoryFull, FMemoryRed);
  const std::vector<std::wstring> texts = LogStatusTexts(facts);
  int left = 4;
  for (std::size_t i = 0; i < FLabels.size(); ++i) {
    TLabel* label = FLabels[i];
    if (label->Caption() != texts[i]) label->SetCaption(texts[i]);
    if (label->Left() != left) label->SetLeft(left);
    left += label->Width() + kGap;
  }
}
