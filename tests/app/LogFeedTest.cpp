// The feed between the socket and the log view: bounded work per tick against a view whose
// costs are scripted on a clock of the test's own, the backlog limit, hex mode per datagram.
#include "app/LogFeed.h"
#include "app/LogStatus.h"
#include "base/Strings.h"
#include "base/Unicode.h"
#include "support/TestSupport.h"

#include "base/Win.h"

#include <cstdio>
#include <functional>
#include <random>

namespace {

using namespace std::chrono_literals;
using TTime = TLogFeed::TTime;
TArrival InCharset(TCharEncoding charset) {
  TArrival arrival;
  arrival.Charset = charset;
  return arrival;
}
const TArrival kHex = [] {
  TArrival arrival;
  arrival.Hex = true;
  return arrival;
}();

// A view on the test's clock: every closing update bracket is one append, which costs what
// AppendCost says for the characters it added; a repaint costs PaintCost.
class TScriptedView : public TLogView {
public:
  void BeginAppend() override { FOpenCount = FLines.size(); }
  void EndAppend() override {
    size_t chars = 0;
    for (size_t i = FOpenCount; i < FLines.size(); ++i) chars += FLines[i].size() + 2;
    Now += AppendCost(chars, AppendCount++);
    AppendEnds.push_back(Now);
  }
  // Each line of it, as the log view shows them.
  bool AddLine(std::wstring_view line, TLogLevel level) override {
    if (FLines.size() >= Capacity) return false;
    for (std::size_t start = 0;;) {
      const std::size_t end = line.find(L"\r\n", start);
      FLines.emplace_back(line.substr(start, end == line.npos ? line.npos : end - start));
      Levels.push_back(level);
      if (end == line.npos) return true;
      start = end + 2;
    }
  }
  void Paint() override { Now += PaintCost; }
  const std::vector<std::wstring>& Shown() const { return FLines; }

  TTime Now{};
  std::function<std::chrono::milliseconds(size_t chars, int append)> AppendCost = [](size_t, int) { return 1ms; };
  std::chrono::milliseconds PaintCost{5};
  int AppendCount = 0;
  std::vector<TTime> AppendEnds;
  std::vector<TLogLevel> Levels;
  size_t Capacity = SIZE_MAX;  // lines it takes before it refuses (its memory is spent)

private:
  std::vector<std::wstring> FLines;
  size_t FOpenCount = 0;
};

class LogFeedTest : public ::testing::Test {
protected:
  TScriptedView view;
  TLogFeed feed{view, [this] { return view.Now; }};

  // Runs ticks of the given budget until nothing waits; returns the number of ticks.
  int ShowAll(std::chrono::milliseconds budget, int limit = 100000) {
    int ticks = 0;
    while (ticks < limit) {
      ++ticks;
      if (feed.Show(view.Now + budget)) break;
      view.Now += 10ms;  // the message loop between two ticks
    }
    return ticks;
  }
};

std::vector<std::wstring> Numbered(int count) {
  std::vector<std::wstring> lines;
  for (int i = 0; i < count; ++i) lines.push_back(L"Zeile " + std::to_wstring(i));
  return lines;
}

void PushText(TLogFeed& feed, const std::vector<std::wstring>& lines) {
  for (const auto& line : lines) feed.Push(TextToAnsi(line), {});
}

TEST_F(LogFeedTest, SlowAppendEndsTheTickAndTheRestFollowsInOrder) {
  const auto lines = Numbered(20000);
  PushText(feed, lines);
  // The second append of the first tick takes half a second.
  view.AppendCost = [](size_t chars, int append) {
    return append == 1 ? 500ms : 2ms + std::chrono::milliseconds(chars / 1000);
  };
  const TTime start = view.Now;
  EXPECT_FALSE(feed.Show(start + 100ms));
  EXPECT_EQ(view.AppendCount, 2);  // nothing more after the slow one
  EXPECT_EQ(view.Now, view.AppendEnds.back() + view.PaintCost);
  const auto shown = view.Shown();
  ASSERT_LT(shown.size(), lines.size());
  EXPECT_TRUE(std::equal(shown.begin(), shown.end(), lines.begin()));

  ShowAll(100ms);
  EXPECT_EQ(view.Shown(), lines);
  EXPECT_TRUE(feed.Empty());
  EXPECT_EQ(feed.Bytes(), 0u);
}

TEST_F(LogFeedTest, TicksEndNearTheirDeadlineAndUseIt) {
  // An append costs 15 ms and 1 ms per 1,000 characters; the feed learns that.
  view.AppendCost = [](size_t chars, int) { return 15ms + std::chrono::milliseconds(chars / 1000); };
  PushText(feed, Numbered(200000));
  for (int tick = 0; tick < 30; ++tick) {
    const TTime start = view.Now;
    const int appendsBefore = view.AppendCount;
    const size_t shownBefore = view.Shown().size();
    ASSERT_FALSE(feed.Show(start + 100ms));
    if (tick < 5) continue;  // still learning
    EXPECT_LE(view.Now - start, 130ms) << "tick " << tick;
    EXPECT_GE(view.Now - start, 60ms) << "tick " << tick;
    EXPECT_GE(view.AppendCount - appendsBefore, 1);
    EXPECT_GT(view.Shown().size() - shownBefore, 1000u) << "tick " << tick;
    view.Now += 10ms;
  }
}

TEST_F(LogFeedTest, LargeFixedCostsStillLeaveRoomForNewLines) {
  // A view so large that an append costs 300 ms and a repaint 200 ms whatever is added: each
  // tick is late anyway, so it adds at least as much work as half those fixed costs.
  view.AppendCost = [](size_t chars, int) { return 300ms + std::chrono::milliseconds(chars / 1000); };
  view.PaintCost = 200ms;
  PushText(feed, Numbered(400000));
  size_t shownBefore = 0;
  for (int tick = 0; tick < 20; ++tick) {
    const TTime start = view.Now;
    ASSERT_FALSE(feed.Show(start + 100ms));
    const size_t shown = view.Shown().size();
    if (tick >= 5) {
      EXPECT_LE(view.Now - start, 1000ms) << "tick " << tick;
      EXPECT_GE(shown - shownBefore, 10000u) << "tick " << tick;  // 250 ms of lines of 12 characters
    }
    shownBefore = shown;
    view.Now += 10ms;
  }
}

TEST_F(LogFeedTest, HexModeIsTheOneEachDatagramArrivedIn) {
  feed.Push("AB", kHex);
  feed.Push("AB", {});
  feed.Push("", kHex);  // no rows
  feed.Push("", {});  // an empty line
  feed.Push("\x98", {});
  ShowAll(100ms);
  EXPECT_EQ(view.Shown(), (std::vector<std::wstring>{L"41 42" + std::wstring(21, L' ') + L"AB", L"AB", L"",
                                                     AnsiToText("\x98")}));
}

// Every byte of a text datagram is shown, a zero byte as its symbol (a zero character would end
// the text for the clipboard and every reader).
TEST_F(LogFeedTest, ZeroBytesOfATextDatagramShowAsTheirSymbolAndTheRestFollows) {
  feed.Push(std::string("vor\0nach\0", 9), {});
  feed.Push(std::string("\0", 1), {});
  ShowAll(100ms);
  EXPECT_EQ(view.Shown(), (std::vector<std::wstring>{L"vor\u2400nach\u2400", L"\u2400"}));
}

TEST_F(LogFeedTest, LargeHexDatagramsAreShownOverSeveralTicksAsTheSameRows) {
  std::mt19937 random(8);
  TStringList expected;
  for (size_t size : {65507u, 9u, 8u, 1u, 20000u}) {
    std::string bytes(size, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    feed.Push(bytes, kHex);
    AddHexDump(&expected, bytes.data(), static_cast<int>(bytes.size()), 8);
  }
  view.AppendCost = [](size_t chars, int) { return 5ms + std::chrono::milliseconds(chars / 500); };
  EXPECT_GT(ShowAll(100ms), 3);
  EXPECT_EQ(view.Shown(), expected.Lines());
}

TEST_F(LogFeedTest, FullBacklogDropsAndSaysSoWhereTheDatagramsWereDropped) {
  const std::string datagram(100, 'x');
  TLogFeed small(view, [this] { return view.Now; }, 2 * (datagram.size() + TLogFeed::kEntryCost));
  small.Push(datagram, {});
  small.Push(datagram, {});
  small.Push("dropped", {});
  small.Push("dropped too", kHex);
  EXPECT_LE(small.Bytes(), small.Limit() + TLogFeed::kEntryCost);
  while (!small.Show(view.Now + 100ms)) {
  }
  // Room again: the next ones are taken, after the notice, until the feed is full again.
  const std::string other(100, 'y');
  small.Push(other, {});
  small.Push(other, {});
  small.Push("dropped as well", {});
  while (!small.Show(view.Now + 100ms)) {
  }
  const std::wstring x(100, L'x'), y(100, L'y');
  EXPECT_EQ(view.Shown(), (std::vector<std::wstring>{x, x, L"[Tavrino: 2 Datagramme verworfen, die Anzeige kam nicht nach]",
                                                     y, y, L"[Tavrino: 1 Datagramm verworfen, die Anzeige kam nicht nach]"}));
  EXPECT_EQ(small.Bytes(), 0u);
}

// Every datagram received is counted once: shown, dropped, or still waiting; hex datagrams
// count as shown when their last row is, own lines and notices count as no datagram.
TEST_F(LogFeedTest, CountsAddUpWithDropsAndWhatWaits) {
  const std::string datagram(100, 'x');
  TLogFeed small(view, [this] { return view.Now; }, 3 * (datagram.size() + TLogFeed::kEntryCost));
  auto waiting = [&] { return small.Counts().Received - small.Counts().Shown - small.Counts().Dropped; };
  small.Push(datagram, {});
  small.Push(std::string(100, 'h'), kHex);
  small.AddLines({L"==="});
  small.Push(datagram, {});  // the limit is reached with the separator
  small.Push("", {});
  EXPECT_EQ(small.Counts().Received, 4u);
  EXPECT_EQ(small.Counts().Dropped, 2u);
  EXPECT_EQ(waiting(), 2u);
  small.Show(view.Now + 100ms);
  EXPECT_EQ(small.Counts().Shown + small.Counts().Dropped + waiting(), 4u);
  while (!small.Show(view.Now + 100ms)) {
  }
  EXPECT_EQ(small.Counts().Shown, 2u);
  EXPECT_EQ(waiting(), 0u);
  // A large hex datagram shown over several appends counts once, when it is whole.
  small.SetLimit(TLogFeed::kDefaultLimit);
  small.Push(std::string(80000, 'h'), kHex);
  view.AppendCost = [](size_t, int) { return 60ms; };
  EXPECT_FALSE(small.Show(view.Now + 100ms));
  EXPECT_EQ(small.Counts().Shown, 2u);
  while (!small.Show(view.Now + 100ms)) {
  }
  EXPECT_EQ(small.Counts().Shown, 3u);
  EXPECT_EQ(small.Counts().Received, 5u);
}

// The character set is the one each datagram arrived with, as the hex mode is.
TEST_F(LogFeedTest, CharsetIsTheOneEachDatagramArrivedIn) {
  const std::string utf8 = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93";  // "Grüße ✓"
  feed.Push(utf8, InCharset(chAnsi));
  feed.Push(utf8, InCharset(chUtf8));
  feed.Push(utf8, InCharset(chAuto));
  feed.Push("Gr\xFC\xDF" "e", InCharset(chAuto));  // not UTF-8: ANSI
  ShowAll(100ms);
  EXPECT_EQ(view.Shown(), (std::vector<std::wstring>{AnsiToText(utf8), L"Grüße ✓", L"Grüße ✓", AnsiToText("Gr\xFC\xDF" "e")}));
}

// Every line of a text datagram takes the level of its first line; hex rows and the program's
// own lines have none.
TEST_F(LogFeedTest, LinesOfADatagramTakeTheLevelOfItsFirstLine) {
  feed.Push("ERROR null pointer\r\n   at Main.run()", {});
  feed.Push("plain\r\nERROR later", {});
  feed.Push("ERROR", kHex);
  feed.AddLines({L"ERROR of our own"});
  ShowAll(100ms);
  EXPECT_EQ(view.Levels, (std::vector<TLogLevel>{lvError, lvError, lvNormal, lvNormal, lvNormal, lvNormal}));
}

// Time and sender before each datagram's first line, as chosen when it arrived; its other lines
// and hex rows indented to match, so that the messages stay in one column.
TEST_F(LogFeedTest, ColumnsGoBeforeTheFirstLineAndTheRestIsIndented) {
  // 2026-07-01 12:03:07.123 UTC, shown in local time.
  SYSTEMTIME utc{2026, 7, 3, 1, 12, 3, 7, 123}, local;
  ASSERT_TRUE(::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
  FILETIME fileTime;
  ASSERT_TRUE(::SystemTimeToFileTime(&utc, &fileTime));
  TArrival arrival;
  arrival.ReceivedAt = (std::uint64_t{fileTime.dwHighDateTime} << 32) | fileTime.dwLowDateTime;
  arrival.SenderAddress = htonl(0xC0000207);  // 192.0.2.7
  arrival.SenderPort = 50123;
  wchar_t time[16];
  swprintf(time, 16, L"%02u:%02u:%02u.%03u", local.wHour, local.wMinute, local.wSecond, local.wMilliseconds);
  const std::wstring sender = L"192.0.2.7:50123      ";  // as wide as 255.255.255.255:65535
  const std::wstring indent(13 + 22, L' ');

  arrival.Columns = {.Time = true, .Sender = true};
  feed.Push("eins\r\nzwei", arrival);
  TArrival hex = arrival;
  hex.Hex = true;
  feed.Push(std::string(9, 'h'), hex);
  arrival.Columns = {.Time = false, .Sender = true};
  feed.Push("nur Absender", arrival);
  arrival.Columns = {.Time = true, .Sender = false};
  feed.Push("nur Zeit", arrival);
  arrival.Columns = {};
  feed.Push("ohne", arrival);
  ShowAll(100ms);
  TStringList rows;
  AddHexDump(&rows, std::string(9, 'h').data(), 9, 8);
  ASSERT_EQ(rows.Count(), 2);
  EXPECT_EQ(view.Shown(), (std::vector<std::wstring>{std::wstring(time) + L" " + sender + L" eins", indent + L"zwei",
                                                     std::wstring(time) + L" " + sender + L" " + rows.Get(0),
                                                     indent + rows.Get(1), sender + L" nur Absender",
                                                     std::wstring(time) + L" nur Zeit", L"ohne"}));
}

// A view whose memory is spent refuses lines: the datagrams it did not take count as dropped.
TEST_F(LogFeedTest, DatagramsTheViewRefusesCountAsDropped) {
  view.Capacity = 3;
  PushText(feed, Numbered(5));
  ShowAll(100ms);
  EXPECT_EQ(view.Shown(), (std::vector<std::wstring>{L"Zeile 0", L"Zeile 1", L"Zeile 2"}));
  EXPECT_EQ(feed.Counts().Shown, 3u);
  EXPECT_EQ(feed.Counts().Dropped, 2u);
  EXPECT_TRUE(feed.Empty());
}

TEST_F(LogFeedTest, DefaultLimitHoldsAQuarterGigabyte) {
  EXPECT_EQ(feed.Limit(), 256u * 1024 * 1024);
}

TEST_F(LogFeedTest, ClearDiscardsWhatWaits) {
  PushText(feed, Numbered(10));
  feed.Push(std::string(70000, 'h'), kHex);
  feed.Clear();
  EXPECT_TRUE(feed.Empty());
  EXPECT_EQ(feed.Bytes(), 0u);
  EXPECT_TRUE(feed.Show(view.Now + 100ms));
  EXPECT_TRUE(view.Shown().empty());
  EXPECT_EQ(view.AppendCount, 0);
}

}  // namespace

namespace {

TEST_F(LogFeedTest, OwnLinesComeAfterWhatWaitsAndAtOnceWhenNothingWaits) {
  feed.AddLines({L"", L"===", L""});
  EXPECT_EQ(view.Shown(), (std::vector<std::wstring>{L"", L"===", L""}));  // nothing waited

  feed.Push("vorher", {});
  feed.AddLines({L"---"});
  feed.Push("nachher", {});
  EXPECT_EQ(view.Shown().size(), 3u);  // the separator waits behind the datagram
  ShowAll(100ms);
  EXPECT_EQ(view.Shown(), (std::vector<std::wstring>{L"", L"===", L"", L"vorher", L"---", L"nachher"}));
  EXPECT_EQ(feed.Bytes(), 0u);
}

}  // namespace

namespace {

TEST(LogStatus, TextsInGermanNumberFormat) {
  TLogStatusFacts facts;
  facts.Received = 1234567;
  facts.Lines = 1234000;
  facts.Dropped = 567;
  facts.PerSecond = 1500.4;
  facts.WaitingBytes = 0;
  facts.MemoryBytes = 3 * 1048576 / 2;
  EXPECT_EQ(LogStatusTexts(facts), (std::vector<std::wstring>{L"Empfangen: 1.234.567", L"Zeilen: 1.234.000",
                                                              L"Verworfen: 567", L"1.500/s", L"Wartend: 0 Bytes",
                                                              L"Speicher: 1,5 MB"}));
  // A limit on the lines, what it removed, and a view whose memory ran out.
  facts.LineLimit = 100000;
  EXPECT_EQ(LogStatusTexts(facts)[1], L"Zeilen: 1.234.000 (höchstens 100.000)");
  facts.RemovedLines = 12345;
  facts.MemoryFull = true;
  EXPECT_EQ(LogStatusTexts(facts)[1], L"Zeilen: 1.234.000 (höchstens 100.000, 12.345 entfernt)");
  EXPECT_EQ(LogStatusTexts(facts)[5], L"Speicher: 1,5 MB (voll)");
}

// The rate over the last second, from samples every 250 ms; before a second has passed, over
// what there is.
TEST(LogStatus, RateIsOverTheLastSecond) {
  TRateMeter meter;
  const TRateMeter::TTime start{};
  EXPECT_EQ(meter.Sample(start, 0), 0.0);
  EXPECT_DOUBLE_EQ(meter.Sample(start + 500ms, 100), 200.0);
  std::uint64_t count = 100;
  for (int i = 3; i <= 12; ++i) meter.Sample(start + i * 250ms, count += 100);  // 400/s
  EXPECT_DOUBLE_EQ(meter.Sample(start + 3250ms, count), 300.0);  // a quarter second without any
  EXPECT_DOUBLE_EQ(meter.Sample(start + 4250ms, count), 0.0);
}

}  // namespace
