// The feed between the socket and the log view: bounded work per tick against a view whose
// costs are scripted on a clock of the test's own, the backlog limit, hex mode per datagram.
#include "app/LogFeed.h"
#include "app/LogStatus.h"
#include "base/Strings.h"
#include "base/Unicode.h"
#include "support/TestSupport.h"

#include <functional>
#include <random>

namespace {

using namespace std::chrono_literals;
using TTime = TLogFeed::TTime;

// A view on the test's clock: every closing update bracket is one append, which costs what
// AppendCost says for the characters it added; a repaint costs PaintCost.
class TScriptedView : public TLogView {
public:
  class TLines : public TStringList {
  public:
    explicit TLines(TScriptedView& view) : FView(view) {}

  protected:
    void SetUpdateState(bool updating) override {
      if (updating) {
        FOpenCount = Count();
        return;
      }
      size_t chars = 0;
      for (int i = FOpenCount; i < Count(); ++i) chars += Get(i).size() + 2;
      FView.Appended(chars);
    }

  private:
    TScriptedView& FView;
    int FOpenCount = 0;
  };

  TStrings& Lines() override { return FLines; }
  void Paint() override { Now += PaintCost; }
  const std::vector<std::wstring>& Shown() const { return FLines.Lines(); }

  TTime Now{};
  std::function<std::chrono::milliseconds(size_t chars, int append)> AppendCost = [](size_t, int) { return 1ms; };
  std::chrono::milliseconds PaintCost{5};
  int AppendCount = 0;
  std::vector<TTime> AppendEnds;

private:
  void Appended(size_t chars) {
    Now += AppendCost(chars, AppendCount++);
    AppendEnds.push_back(Now);
  }

  TLines FLines{*this};
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
  for (const auto& line : lines) feed.Push(TextToAnsi(line), false);
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
  feed.Push("AB", true);
  feed.Push("AB", false);
  feed.Push("", true);  // no rows
  feed.Push("", false);  // an empty line
  feed.Push("\x98", false);
  ShowAll(100ms);
  EXPECT_EQ(view.Shown(), (std::vector<std::wstring>{L"41 42" + std::wstring(21, L' ') + L"AB", L"AB", L"",
                                                     AnsiToText("\x98")}));
}

// Every byte of a text datagram is shown, a zero byte as its symbol (a zero character would end
// the text for the clipboard and every reader).
TEST_F(LogFeedTest, ZeroBytesOfATextDatagramShowAsTheirSymbolAndTheRestFollows) {
  feed.Push(std::string("vor\0nach\0", 9), false);
  feed.Push(std::string("\0", 1), false);
  ShowAll(100ms);
  EXPECT_EQ(view.Shown(), (std::vector<std::wstring>{L"vor\u2400nach\u2400", L"\u2400"}));
}

TEST_F(LogFeedTest, LargeHexDatagramsAreShownOverSeveralTicksAsTheSameRows) {
  std::mt19937 random(8);
  TStringList expected;
  for (size_t size : {65507u, 9u, 8u, 1u, 20000u}) {
    std::string bytes(size, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    feed.Push(bytes, true);
    AddHexDump(&expected, bytes.data(), static_cast<int>(bytes.size()), 8);
  }
  view.AppendCost = [](size_t chars, int) { return 5ms + std::chrono::milliseconds(chars / 500); };
  EXPECT_GT(ShowAll(100ms), 3);
  EXPECT_EQ(view.Shown(), expected.Lines());
}

TEST_F(LogFeedTest, FullBacklogDropsAndSaysSoWhereTheDatagramsWereDropped) {
  const std::string datagram(100, 'x');
  TLogFeed small(view, [this] { return view.Now; }, 2 * (datagram.size() + TLogFeed::kEntryCost));
  small.Push(datagram, false);
  small.Push(datagram, false);
  small.Push("dropped", false);
  small.Push("dropped too", true);
  EXPECT_LE(small.Bytes(), small.Limit() + TLogFeed::kEntryCost);
  while (!small.Show(view.Now + 100ms)) {
  }
  // Room again: the next ones are taken, after the notice, until the feed is full again.
  const std::string other(100, 'y');
  small.Push(other, false);
  small.Push(other, false);
  small.Push("dropped as well", false);
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
  small.Push(datagram, false);
  small.Push(std::string(100, 'h'), true);
  small.AddLines({L"==="});
  small.Push(datagram, false);  // the limit is reached with the separator
  small.Push("", false);
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
  small.Push(std::string(80000, 'h'), true);
  view.AppendCost = [](size_t, int) { return 60ms; };
  EXPECT_FALSE(small.Show(view.Now + 100ms));
  EXPECT_EQ(small.Counts().Shown, 2u);
  while (!small.Show(view.Now + 100ms)) {
  }
  EXPECT_EQ(small.Counts().Shown, 3u);
  EXPECT_EQ(small.Counts().Received, 5u);
}

TEST_F(LogFeedTest, DefaultLimitHoldsAQuarterGigabyte) {
  EXPECT_EQ(feed.Limit(), 256u * 1024 * 1024);
}

TEST_F(LogFeedTest, ClearDiscardsWhatWaits) {
  PushText(feed, Numbered(10));
  feed.Push(std::string(70000, 'h'), true);
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

  feed.Push("vorher", false);
  feed.AddLines({L"---"});
  feed.Push("nachher", false);
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
