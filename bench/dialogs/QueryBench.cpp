// The value query dialog and the port change, measured in the program's own windows:
//   - from the call of QueryInteger and of QueryDateRange to the end of the dialog's first
//     paint (all its windows painted);
//   - a port change (the server rebound, captions, title and button) with an empty view and
//     with 100,000 lines in it, alone and from the click on the port button to the repainted
//     window (the dialog answered at once).
// Prints the median and the spread of each. Run on a display (Xvfb), see scripts/bench.sh.
#include "app/Library.h"
#include "app/Main.h"
#include "settings/Settings.h"
#include "toolkit/Forms.h"
#include "ui/CmpStandard.h"
#include "ui/FrmQueryValue.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

double Msec(TClock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A store in memory, so that the date range query reads and writes no registry.
class TMemorySettings : public TSettings {
public:
  std::map<std::wstring, std::wstring> Values;
  void Flush() override {}
  std::wstring RdString(const std::wstring& Entry) override {
    auto it = Values.find(Entry);
    return it == Values.end() ? std::wstring() : it->second;
  }
  void RdStrings(const std::wstring&, TStrings& Strings, const std::wstring&) override { Strings.Clear(); }
  void WrString(const std::wstring& Entry, const std::wstring& Value) override { Values[Entry] = Value; }
  void WrStrings(const std::wstring&, const TStrings&, TTrimStringsOptions) override {}
  void GetSubEntries(const std::wstring&, TStrings& Names) override { Names.Clear(); }
  TSettingsList FillSettingsList(const std::wstring&) override { return {}; }
};

TFrmQueryValue* OpenQuery() {
  for (TForm* form : Application().Forms())
    if (auto* query = dynamic_cast<TFrmQueryValue*>(form); query && query->IsShowing()) return query;
  return nullptr;
}

// Runs an action when the message loop has nothing else to do: timer messages come only after
// every pending paint, so the first tick after a window appeared sees it fully painted.
class TIdleProbe {
public:
  explicit TIdleProbe(std::function<bool()> onIdle) : FOnIdle(std::move(onIdle)) {
    Probe() = this;
    FTimer = ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, TimerProc);
  }
  ~TIdleProbe() {
    ::KillTimer(nullptr, FTimer);
    Probe() = nullptr;
  }
  TIdleProbe(const TIdleProbe&) = delete;
  TIdleProbe& operator=(const TIdleProbe&) = delete;

private:
  static TIdleProbe*& Probe() {
    static TIdleProbe* probe = nullptr;
    return probe;
  }
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD) noexcept {
    if (TIdleProbe* p = Probe(); p && !p->FDone) p->FDone = p->FOnIdle();
  }
  std::function<bool()> FOnIdle;
  UINT_PTR FTimer = 0;
  bool FDone = false;
};

// Waits until every pending paint of the thread is done.
void PumpUntilIdle() {
  bool idle = false;
  TIdleProbe probe([&] { return idle = true; });
  while (!idle) Application().HandleMessage();
}

// Time from the query call to the first idle moment with its window on screen; the window is
// then cancelled.
double FirstPaintMsec(const std::function<void()>& query) {
  TClock::time_point painted{};
  TIdleProbe probe([&] {
    TFrmQueryValue* q = OpenQuery();
    if (!q || !::IsWindowVisible(q->Handle())) return false;
    painted = TClock::now();
    q->SetModalResult(mrCancel);
    return true;
  });
  const TClock::time_point start = TClock::now();
  query();
  return Msec(painted - start);
}

struct TFigure {
  const char* Name;
  std::vector<double> Runs;
};

void Print(const TFigure& f) {
  std::vector<double> runs = f.Runs;
  std::sort(runs.begin(), runs.end());
  std::printf("%-58s %5zu %10.1f %10.1f %10.1f\n", f.Name, runs.size(), runs[runs.size() / 2], runs.front(),
              runs.back());
  std::fflush(stdout);
}

}  // namespace

int wmain() {
  LibraryStart();
  Application().Initialize();
  std::printf("%-58s %5s %10s %10s %10s\n", "figure (ms)", "runs", "median", "min", "max");
  {
    auto main = std::make_unique<TFrmMain>();
    FrmMain = main.get();
    Application().SetMainForm(FrmMain);
    main->Show();
    PumpUntilIdle();
    constexpr int kRuns = 15;

    TFigure integer{"QueryInteger: call to first paint", {}};
    TFigure range{"QueryDateRange: call to first paint", {}};
    TMemorySettings store;
    for (int i = 0; i < kRuns; ++i) {
      integer.Runs.push_back(FirstPaintMsec([] {
        std::int32_t port = 6702;
        TFrmQueryValue::QueryInteger(L"Port-Nummer", port, true);
      }));
      range.Runs.push_back(FirstPaintMsec([&] {
        TDateRange r;
        TFrmQueryValue::QueryDateRange(L"Zeitraum", r, &store, L"Bench\rRange\r");
      }));
      PumpUntilIdle();
    }
    Print(integer);
    Print(range);

    // The port change: 0 lets the system choose a free port every time.
    auto measure = [&](const char* changeName, const char* clickName) {
      TFigure change{changeName, {}}, click{clickName, {}};
      for (int i = 0; i < kRuns; ++i) {
        PumpUntilIdle();
        TClock::time_point start = TClock::now();
        main->ChangePort(0);
        change.Runs.push_back(Msec(TClock::now() - start));

        PumpUntilIdle();
        TIdleProbe answer([] {
          TFrmQueryValue* q = OpenQuery();
          if (!q || !::IsWindowVisible(q->Handle())) return false;
          q->EdtInteger->SetText(L"0");
          q->BtnOK->Click();
          return true;
        });
        start = TClock::now();
        main->BtnPort->Click();
        PumpUntilIdle();
        click.Runs.push_back(Msec(TClock::now() - start));
      }
      Print(change);
      Print(click);
    };
    measure("port change, empty view", "port button click to repainted window, empty view");
    {
      TStringsUpdate batch(main->MmoLog->Lines());
      for (int i = 0; i < 100000; ++i)
        main->MmoLog->Lines().Add(L"Zeile " + std::to_wstring(i) + L": eine Meldung mittlerer Länge vom Sender");
    }
    PumpUntilIdle();
    measure("port change, 100,000 lines in the view", "port button click to repainted window, 100,000 lines");
    main->Close();
  }
  LibraryStop();
  return 0;
}
