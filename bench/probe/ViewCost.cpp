// What one append to the log view costs as the view grows, for the flood benchmark. It builds
// the view as the main window does (a visible memo with both scroll bars, no word wrap, the
// log font), fills it to a size, then times appends the way the receive loop makes them (lines
// collected in an update bracket, one edit operation) and the repaint that follows.
//   ViewCost [max-million-characters]
// prints one row per view size and line kind: milliseconds for each kind of append, the
// repaint after it, and the time the fill took; then the cost of formatting.
#include "app/Library.h"
#include "base/StringList.h"
#include "base/Strings.h"
#include "base/Unicode.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

double MsecSince(TClock::time_point start) {
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// Lets the window handle what its appends queued (painting, scroll bars).
void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

std::wstring ShortLine(int number) {
  std::wstring line = std::to_wstring(number) + L" ";
  line.resize(100, L'x');
  return line;
}

struct TAppend {
  const char* Name;
  std::vector<std::wstring> Lines;
};

std::vector<TAppend> Appends() {
  std::vector<TAppend> appends;
  appends.push_back({"1 line", {ShortLine(1)}});
  std::vector<std::wstring> many;
  for (int i = 0; i < 1000; ++i) many.push_back(ShortLine(i));
  appends.push_back({"1000 lines", many});
  appends.push_back({"64 KB line", {std::wstring(65507, L'y')}});
  TStringList rows;
  std::string bytes(8000, '\x41');
  AddHexDump(&rows, bytes.data(), static_cast<int>(bytes.size()), 8);
  appends.push_back({"1000 hex rows", rows.Lines()});
  return appends;
}

// Median of three appends of the same lines, and of the repaints after them.
void TimeAppend(TMemo& memo, const TAppend& append, double& appendMs, double& paintMs) {
  std::vector<double> appends, paints;
  for (int i = 0; i < 3; ++i) {
    auto start = TClock::now();
    {
      TStringsUpdate batch(memo.Lines());
      for (const auto& line : append.Lines) memo.Lines().Add(line);
    }
    appends.push_back(MsecSince(start));
    start = TClock::now();
    ::RedrawWindow(memo.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    Pump();
    paints.push_back(MsecSince(start));
  }
  std::sort(appends.begin(), appends.end());
  std::sort(paints.begin(), paints.end());
  appendMs = appends[1];
  paintMs = paints[1];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const double maxMillions = argc > 1 ? std::wcstod(argv[1], nullptr) : 50;
  LibraryStart();
  Application().Initialize();
  TForm form(nullptr);
  form.SetClientSize(509, 371);
  auto* memo = NewComponent<TMemo>(&form, L"MmoLog");
  memo->SetScrollBars(ssBoth);
  memo->SetWordWrap(false);
  TFontDesc font = TFontDesc::FromPoints(L"Consolas", 9);
  font.Pitch = fpFixed;
  font.Family = FF_MODERN;
  memo->SetFont(font);
  memo->SetAlign(alClient);
  memo->SetParent(&form);
  form.Show();
  Pump();

  const std::vector<TAppend> appends = Appends();
  std::printf("view font: %ls\n", RealizedFaceName(memo->FontHandle()).c_str());
  std::printf("%-10s %-10s %9s", "view", "lines of", "fill s");
  for (const auto& append : appends) std::printf(" %16s", append.Name);
  std::printf("   (ms: append / repaint)\n");
  std::fflush(stdout);

  const double sizes[] = {0, 1, 10, 50};
  const struct {
    const char* Name;
    size_t Length;
  } kinds[] = {{"100 chars", 100}, {"hex rows", 34}, {"64 KB", 65507}};
  for (const auto& kind : kinds) {
    for (double millions : sizes) {
      if (millions > maxMillions) continue;
      const size_t chars = static_cast<size_t>(millions * 1e6);
      // The fill: lines of the kind, numbered, in one text.
      std::wstring text;
      text.reserve(chars + chars / kind.Length * 2 + 2);
      for (int number = 0; text.size() < chars; ++number) {
        std::wstring line = std::to_wstring(number) + L" ";
        line.resize(kind.Length, L'x');
        text += line;
        text += L"\r\n";
      }
      auto start = TClock::now();
      memo->Lines().SetText(text);
      memo->SetSelection(static_cast<int>(text.size()), 0);
      memo->ScrollToCaret();
      Pump();
      const double fillSeconds = MsecSince(start) / 1000.0;
      std::printf("%-10s %-10s %9.1f", (std::to_string(static_cast<int>(millions)) + " M").c_str(), kind.Name,
                  fillSeconds);
      for (const auto& append : appends) {
        double appendMs = 0, paintMs = 0;
        TimeAppend(*memo, append, appendMs, paintMs);
        std::printf(" %9.1f / %5.1f", appendMs, paintMs);
      }
      std::printf("\n");
      std::fflush(stdout);
      memo->Lines().Clear();
      Pump();
    }
  }

  // Formatting alone, without the view: what a megabyte of datagrams costs as text lines and
  // as hex rows.
  std::string bytes(1 << 20, 'z');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  auto start = TClock::now();
  {
    TStringList rows;
    AddHexDump(&rows, bytes.data(), static_cast<int>(bytes.size()), 8);
  }
  const double hexMs = MsecSince(start);
  start = TClock::now();
  {
    TStringList lines;
    for (size_t at = 0; at < bytes.size(); at += 100) lines.Add(AnsiToText(std::string_view(bytes).substr(at, 100)));
  }
  const double textMs = MsecSince(start);
  std::printf("formatting 1 MB: as hex rows %.1f ms, as 100-byte text lines %.1f ms\n", hexMs, textMs);
  form.Hide();
  LibraryStop();
  return 0;
}
