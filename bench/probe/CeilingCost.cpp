// What a ceiling on the lines and line colours cost the log view, in one run:
//   appends  1,000 lines of 100 characters added and shown, 200 times, into a view at a ceiling
//            of 100,000 and of 1,000,000 lines (the oldest lines going in whole blocks), against
//            the same appends into a view of the same size without a ceiling (two alternating
//            rounds each)
//   paint    the whole window painted anew, a third of its lines coloured, with colours on
//            against off (two alternating rounds of 200 paints)
//   CeilingCost
#include "ViewProbe.h"
#include "app/Library.h"
#include "toolkit/Forms.h"
#include "toolkit/LogMemo.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace {

using TClock = std::chrono::steady_clock;
using TPos = TLogMemo::TPos;

TLineColour ColourOf(long long number) { return number % 3 == 0 ? lcError : lcNormal; }

struct TView {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TLogMemo* Memo = nullptr;
  long long Number = 0;

  explicit TView(TPos lines, TPos limit) {
    Form->SetClientSize(800, 600);
    Memo = new TLogMemo(Form.get());
    TFontDesc font = TFontDesc::FromPoints(L"Consolas", 9);
    font.Pitch = fpFixed;
    font.Family = FF_MODERN;
    Memo->SetFont(font);
    Memo->SetAlign(alClient);
    Memo->SetParent(Form.get());
    Memo->RemovedNotice = [](TPos removed) { return L"[" + std::to_wstring(removed) + L" removed]"; };
    Memo->SetLineLimit(limit);
    Form->Show();
    Arrive(lines);
  }
  void Arrive(TPos lines) {
    for (TPos batch = 0; batch < lines / 1000; ++batch) {
      for (int i = 0; i < 1000; ++i, ++Number) Memo->AppendLine(TextLine(Number), ColourOf(Number));
      Memo->PaintChanges();
      Pump();
    }
  }
};

double Seconds(TClock::time_point start) { return std::chrono::duration<double>(TClock::now() - start).count(); }

// Seconds for 200 appends of 1,000 lines, each shown, into a view of lines (kept at the limit).
double Appends(TPos lines, TPos limit) {
  TView view(lines + (limit > 0 ? 20000 : 0), limit);  // at a ceiling: evicting already
  const auto start = TClock::now();
  view.Arrive(200000);
  const double seconds = Seconds(start);
  if (limit > 0 && (view.Memo->Content().LineCount() > limit || view.Memo->RemovedLines() == 0))
    std::printf("  (unexpected: %lld lines, %lld removed)\n", static_cast<long long>(view.Memo->Content().LineCount()),
                static_cast<long long>(view.Memo->RemovedLines()));
  return seconds;
}

double Paints(TView& view, bool colours) {
  view.Memo->SetLineColours(colours);
  const auto start = TClock::now();
  for (int i = 0; i < 200; ++i) ::RedrawWindow(view.Memo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  return Seconds(start);
}

}  // namespace

int wmain(int, wchar_t**) {
  LibraryStart();
  Application().Initialize();
  for (const TPos lines : {TPos{100000}, TPos{1000000}}) {
    std::printf("200 appends of 1,000 lines of 100, each shown, into %lld lines:\n", static_cast<long long>(lines));
    const double ratio = AlternatingRounds("no ceiling", [&] { return Appends(lines, 0); }, "ceiling", [&] {
      return Appends(lines, lines);
    });
    std::printf("  both rounds: ceiling / no ceiling = %.2f x\n", ratio);
  }
  std::printf("200 paints of the whole window, 100,000 lines, a third coloured:\n");
  TView view(100000, 0);
  view.Memo->SetTopLine(50000);
  const double ratio = AlternatingRounds("colours off", [&] { return Paints(view, false); }, "colours on", [&] {
    return Paints(view, true);
  });
  std::printf("  both rounds: colours on / off = %.2f x\n", ratio);
  LibraryStop();
  return 0;
}
