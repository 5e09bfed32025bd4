// What a view that holds still costs against one that follows: 1 million lines of 100
// characters arrive in appends of 1,000 (as the receive loop makes them), each shown at once,
// into a view of 100,000 lines that follows the end, and into one whose reader has put the
// caret into an older line (the view holds and counts the new lines in its badge). Two rounds
// each, alternating, in one run.
//   HoldCost
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

// Seconds for 1 million lines arriving, with the view following or holding.
double Arrivals(bool hold) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetClientSize(800, 600);
  auto* memo = new TLogMemo(form.get());
  TFontDesc font = TFontDesc::FromPoints(L"Consolas", 9);
  font.Pitch = fpFixed;
  font.Family = FF_MODERN;
  memo->SetFont(font);
  memo->SetAlign(alClient);
  memo->SetParent(form.get());
  form->Show();
  long long number = 0;
  for (int batch = 0; batch < 100; ++batch) {
    TStringsUpdate update(memo->Lines());
    for (int i = 0; i < 1000; ++i) memo->Lines().Add(TextLine(number++));
  }
  memo->PaintChanges();
  Pump();
  if (hold) {
    const TLogText::TPos older = memo->Content().LineStart(50000);
    memo->SetSelection(older, older);
    memo->ScrollToCaret();
  }
  const auto start = TClock::now();
  for (int batch = 0; batch < 1000; ++batch) {
    {
      TStringsUpdate update(memo->Lines());
      for (int i = 0; i < 1000; ++i) memo->Lines().Add(TextLine(number++));
    }
    memo->PaintChanges();
    Pump();
  }
  const double seconds = std::chrono::duration<double>(TClock::now() - start).count();
  if (hold != (memo->NewLines() == 1000000)) std::printf("  (unexpected: %lld new lines counted)\n", static_cast<long long>(memo->NewLines()));
  return seconds;
}

}  // namespace

int wmain(int, wchar_t**) {
  LibraryStart();
  Application().Initialize();
  std::printf("1 million lines of 100 arriving in appends of 1,000, each shown, into 100,000 lines:\n");
  const double ratio = AlternatingRounds("following", [] { return Arrivals(false); }, "holding", [] {
    return Arrivals(true);
  });
  std::printf("  both rounds: holding / following = %.2f x (target: no more than 1)\n", ratio);
  LibraryStop();
  return 0;
}
