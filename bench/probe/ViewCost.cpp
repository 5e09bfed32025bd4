// What the log view costs as it grows, against the edit control it replaced, in one run: each
// is shown maximized with the log font as the main window shows it, filled to a size the way
// the receive loop fills it (lines added in update brackets of 1,000), and then timed:
//   append   1,000 lines of 100 characters added in one bracket, then shown (median of 5; the
//            adding alone in brackets)
//   repaint  the whole window painted anew (median of 5)
//   font     one point larger, shown
//   clear    emptied and shown
// and the memory each held line takes (the process's working set before and after the fill);
// then what formatting datagrams costs, without any view.
//   ViewCost [--quick]
// --quick leaves out the largest sizes of the edit control (each takes a minute or more).
#include "ViewProbe.h"
#include "app/Library.h"
#include "base/StringList.h"
#include "base/Strings.h"
#include "base/Unicode.h"
#include "toolkit/Forms.h"
#include "toolkit/LogMemo.h"
#include "toolkit/StdCtrls.h"

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

double MsecSince(TClock::time_point start) {
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double WorkingSetBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
  return static_cast<double>(counters.WorkingSetSize);
}

TFontDesc LogFont(int points) {
  TFontDesc font = TFontDesc::FromPoints(L"Consolas", points);
  font.Pitch = fpFixed;
  font.Family = FF_MODERN;
  return font;
}

// 1,000 hex rows (8,000 bytes of a seeded pattern).
std::vector<std::wstring> HexRows(long long batch) {
  std::string bytes(8000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((batch * 131 + i * 7) % 251);
  TStringList rows;
  AddHexDump(&rows, bytes.data(), static_cast<int>(bytes.size()), 8);
  return rows.Lines();
}

// One of the two controls in a maximized window of its own.
class TView {
public:
  virtual ~TView() = default;
  virtual const char* Name() const = 0;
  virtual TStrings& Lines() = 0;
  // What the program does after its appends of a tick: the changes on the screen.
  virtual void Show() = 0;
  // Fills the empty view with the lines of kind, count of them.
  virtual void Fill(bool hex, long long count) = 0;
  virtual TControl& Control() = 0;

  TForm Form{nullptr};

  void Place() {
    Form.SetClientSize(509, 371);
    Form.SetWindowState(wsMaximized);
    Control().SetFont(LogFont(9));
    Control().SetAlign(alClient);
    Control().SetParent(&Form);
    Form.Show();
    Pump();
  }
  void Add(const std::vector<std::wstring>& lines) {
    TStringsUpdate batch(Lines());
    for (const std::wstring& line : lines) Lines().Add(line);
  }
  // Milliseconds of the whole append and of the adding alone.
  std::pair<double, double> TimeAppend() {
    std::vector<double> times, adds;
    for (int i = 0; i < 5; ++i) {
      std::vector<std::wstring> lines;
      for (int n = 0; n < 1000; ++n) lines.push_back(TextLine(n));
      const auto start = TClock::now();
      Add(lines);
      adds.push_back(MsecSince(start));
      Show();
      times.push_back(MsecSince(start));
      Pump();
    }
    return {Median(times), Median(adds)};
  }
  double TimeRepaint() {
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
      const auto start = TClock::now();
      ::RedrawWindow(Control().Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      times.push_back(MsecSince(start));
      Pump();
    }
    return Median(times);
  }
  double TimeFontStep() {
    const auto start = TClock::now();
    Control().SetFont(LogFont(10));
    Control().Update();
    const double msec = MsecSince(start);
    Control().SetFont(LogFont(9));
    Control().Update();
    Pump();
    return msec;
  }
  double TimeClear() {
    const auto start = TClock::now();
    Lines().Clear();
    Control().Update();
    return MsecSince(start);
  }
};

class TLogView final : public TView {
public:
  TLogView() : FMemo(NewComponent<TLogMemo>(&Form, L"MmoLog")) {
    FMemo->SetScrollBars(ssBoth);
    Place();
  }
  const char* Name() const override { return "log view"; }
  TStrings& Lines() override { return FMemo->Lines(); }
  void Show() override { FMemo->PaintChanges(); }
  TControl& Control() override { return *FMemo; }
  void Fill(bool hex, long long count) override {
    // As the receive loop fills it: brackets of 1,000 lines, the screen following now and then.
    for (long long done = 0; done < count; done += 1000) {
      std::vector<std::wstring> lines;
      if (hex) {
        lines = HexRows(done / 1000);
      } else {
        for (long long n = done; n < done + 1000; ++n) lines.push_back(TextLine(n));
      }
      lines.resize(static_cast<std::size_t>(std::min<long long>(1000, count - done)));
      Add(lines);
      if (done % 100000 == 0) {
        Show();
        Pump();
      }
    }
    Show();
  }

private:
  TLogMemo* FMemo;
};

class TEditView final : public TView {
public:
  TEditView() : FMemo(NewComponent<TMemo>(&Form, L"MmoLog")) {
    FMemo->SetScrollBars(ssBoth);
    FMemo->SetWordWrap(false);
    Place();
  }
  const char* Name() const override { return "edit control"; }
  TStrings& Lines() override { return FMemo->Lines(); }
  void Show() override { FMemo->Update(); }
  TControl& Control() override { return *FMemo; }
  void Fill(bool hex, long long count) override {
    // Appends in brackets would take hours here: the text goes in at once, as far as the end.
    std::wstring text;
    for (long long done = 0; done < count; done += 1000) {
      const std::vector<std::wstring> lines = hex ? HexRows(done / 1000) : std::vector<std::wstring>{};
      for (long long n = done; n < std::min(done + 1000, count); ++n)
        text += (hex ? lines[static_cast<std::size_t>(n - done)] : TextLine(n)) + L"\r\n";
    }
    FMemo->Lines().SetText(text);
    FMemo->SetSelection(static_cast<int>(text.size()), 0);
    FMemo->ScrollToCaret();
    Show();
  }

private:
  TMemo* FMemo;
};

struct TSize {
  const char* Name;
  bool Hex;
  long long Lines;  // -1: as many as the window shows
  bool FontStep;    // timed (the edit control takes minutes at large sizes)
};

void Measure(TView& view, const TSize& size) {
  RECT client;
  ::GetClientRect(view.Control().Handle(), &client);
  long long count = size.Lines;
  if (count < 0) {
    TEXTMETRICW metrics{};
    HDC dc = ::GetDC(view.Control().Handle());
    HGDIOBJ old = ::SelectObject(dc, view.Control().FontHandle());
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(view.Control().Handle(), dc);
    count = client.bottom / std::max<LONG>(metrics.tmHeight, 1);
  }
  const double before = WorkingSetBytes();
  auto start = TClock::now();
  if (count > 0) view.Fill(size.Hex, count);
  Pump();
  const double fillSeconds = MsecSince(start) / 1000.0;
  const double perLine = count > 0 ? (WorkingSetBytes() - before) / static_cast<double>(count) : 0.0;
  const auto [append, add] = view.TimeAppend();
  const double repaint = view.TimeRepaint();
  const double font = size.FontStep ? view.TimeFontStep() : -1;
  const double clear = view.TimeClear();
  Pump();
  char fontText[32] = "(not timed)", perLineText[32] = "", appendText[48];
  if (font >= 0) std::snprintf(fontText, sizeof fontText, "%.1f ms", font);
  if (count >= 100000) std::snprintf(perLineText, sizeof perLineText, "%.0f", perLine);
  std::snprintf(appendText, sizeof appendText, "%.1f ms (%.1f)", append, add);
  std::printf("%-13s %-26s %8.1f s %10s %18s %8.1f ms %12s %8.1f ms\n", view.Name(), size.Name, fillSeconds,
              perLineText, appendText, repaint, fontText, clear);
  std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool quick = argc > 1 && std::wstring(argv[1]) == L"--quick";
  LibraryStart();
  Application().Initialize();
  {
    TLogView probe;
    RECT client;
    ::GetClientRect(probe.Control().Handle(), &client);
    std::printf("view font: %ls; maximized view %ld x %ld pixels\n", RealizedFaceName(probe.Control().FontHandle()).c_str(),
                client.right, client.bottom);
  }
  std::printf("%-13s %-26s %10s %10s %18s %11s %12s %11s\n", "control", "holding", "fill", "bytes/line",
              "append 1,000 (add)", "repaint", "font step", "clear");
  const TSize logSizes[] = {{"nothing", false, 0, true},
                            {"one screenful", false, -1, true},
                            {"1 M lines of 100", false, 1000000, true},
                            {"10 M lines of 100", false, 10000000, true},
                            {"1.5 M hex rows", true, 1500000, true}};
  for (const TSize& size : logSizes) {
    TLogView view;
    Measure(view, size);
  }
  const TSize editSizes[] = {{"nothing", false, 0, true},
                             {"one screenful", false, -1, true},
                             {"100,000 lines of 100", false, 100000, true},
                             {"500,000 lines of 100", false, 500000, false},
                             {"1.5 M hex rows", true, 1500000, false}};
  for (const TSize& size : editSizes) {
    if (quick && size.Lines > 100000) continue;
    TEditView view;
    Measure(view, size);
  }

  // Formatting alone: what a megabyte of datagrams costs as text lines and as hex rows.
  std::string bytes(1 << 20, 'z');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  auto start = TClock::now();
  {
    TStringList rows;
    AddHexDump(&rows, bytes.data(), static_cast<int>(bytes.size()), 8);
  }
  const double hexMs = MsecSince(start);
  start = TClock::now();
  {
    TStringList lines;
    for (std::size_t at = 0; at < bytes.size(); at += 100) lines.Add(AnsiToText(std::string_view(bytes).substr(at, 100)));
  }
  std::printf("formatting 1 MB: as hex rows %.1f ms, as 100-byte text lines %.1f ms\n", hexMs, MsecSince(start));
  LibraryStop();
  return 0;
}
