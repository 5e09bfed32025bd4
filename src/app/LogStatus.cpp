#include "app/LogStatus.h"

#include "base/Strings.h"

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
  FLine = NewComponent<TStatusLine>(owner, L"StbStatus");
  FLine->SetBounds(0, 0, parent->Width(), 20);
  FLine->SetAlign(alBottom);
  FLine->SetParent(parent);
  Show(TLogStatusFacts{});
}

void TLogStatusLine::Show(const TLogStatusFacts& facts) {
  const std::vector<std::wstring> texts = LogStatusTexts(facts);
  std::vector<TStatusField> fields(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) fields[i].Text = texts[i];
  fields[2].Attention = facts.Dropped > 0;
  fields[5].Attention = facts.MemoryFull;
  FLine->SetFields(fields);
}
