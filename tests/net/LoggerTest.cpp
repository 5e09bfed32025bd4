// The traffic logger: filter, stamps, text and dump lines, and a logger attached to real UDP
// endpoints on the loopback interface.
#include "base/DateTime.h"
#include "base/Locale.h"
#include "base/Strings.h"
#include "net/Logger.h"
#include "net/Udp.h"

#include "support/TestSupport.h"
#include "NetTestSupport.h"

#include <functional>

namespace {

// Keeps the lines it is given; its clock stands still unless the test moves it.
class TLinesLogger : public TLogger {
public:
  std::vector<std::wstring> Lines;
  std::vector<TLogType> Types;
  double Clock = 45356.5;  // 2024-03-05 12:00

  void OutputLine(const std::wstring& line, TLogType logType) override {
    Lines.push_back(line);
    Types.push_back(logType);
  }

protected:
  double CurrentTime() const override { return Clock; }
};

// 2024-03-05 14:07:09.045
const double kStampTime = EncodeDateExt(2024, 3, 5) + EncodeTime(14, 7, 9, 45);

std::wstring Sep() { return std::wstring(1, LocaleSnapshot().TimeSeparator); }
// "14:07:09" with the locale's time separator.
std::wstring StampClock() { return L"14" + Sep() + L"07" + Sep() + L"09"; }

std::wstring Repeated(const std::wstring& text, int count) {
  std::wstring result;
  for (int i = 0; i < count; ++i) result += text;
  return result;
}

std::vector<std::wstring> DataLines(TLogDataFormat format, const std::string& bytes) {
  TLinesLogger logger;
  logger.SetLogDataFormat(format);
  logger.LogData(bytes.data(), static_cast<int>(bytes.size()), ltReceive);
  return logger.Lines;
}

// ---------------------------------------------------------------------------------------------
// Data lines

struct TDataCase {
  const char* name;
  TLogDataFormat format;
  std::string bytes;
  std::vector<std::wstring> lines;
};

class LoggerData : public ::testing::TestWithParam<TDataCase> {};

TEST_P(LoggerData, Lines) { EXPECT_EQ(DataLines(GetParam().format, GetParam().bytes), GetParam().lines); }

const std::string kSixteen = "0123456789ABCDEF";

INSTANTIATE_TEST_SUITE_P(
    Logger, LoggerData,
    ::testing::Values(
        TDataCase{"TextLineEndsAfterLf", lfText, "ab\r\ncd", {L"ab^M^J", L"cd"}},
        TDataCase{"TextLfAtTheEndLeavesNoEmptyLine", lfText, "a\n", {L"a^J"}},
        TDataCase{"TextControlAndLatin1", lfText, std::string("\0\x1F\x7F\xE4", 4), {L"^@^_\u007F\u00E4"}},
        TDataCase{"Text101Printable", lfText, std::string(101, 'x'), {std::wstring(101, L'x')}},
        TDataCase{"Text102Printable", lfText, std::string(102, 'x'), {std::wstring(101, L'x'), L"x"}},
        // Each control byte takes two characters: the line is sent once it is longer than 100.
        TDataCase{"TextControlBytesCountTwice", lfText, std::string(52, '\x01'), {Repeated(L"^A", 51), L"^A"}},
        TDataCase{"Hex4FiveBytes", lfHexdump4, "\x01\x02\x03\x04\x05",
                  {L"01 02 03 04  ....", L"05" + Spaces(11) + L"."}},
        TDataCase{"Hex4ArrowsAndDots", lfHexdump4, "\r\n\t ", {L"0D 0A 09 20  \u2190\u2193. "}},
        TDataCase{"Hex8FullRowHasNoGroupMark", lfHexDump8, "12345678", {L"31 32 33 34 35 36 37 38  12345678"}},
        TDataCase{"Hex8ShortLastRowIsFilledTo24", lfHexDump8, "123456789",
                  {L"31 32 33 34 35 36 37 38  12345678", L"39" + Spaces(23) + L"9"}},
        TDataCase{"Hex16FullRowIs50Wide", lfHexDump16, kSixteen,
                  {L"30 31 32 33 34 35 36 37 - 38 39 41 42 43 44 45 46  " + Utf8ToText(kSixteen)}},
        TDataCase{"Hex16ShortRowIsFilledTo50", lfHexDump16, "0123456789",
                  {L"30 31 32 33 34 35 36 37 - 38 39" + Spaces(20) + L"0123456789"}},
        TDataCase{"BinLetter", lfBinDump1, "A", {L" 01000001  41   65  A"}},
        TDataCase{"BinControlNamesAndSpace", lfBinDump1, std::string("\t\x19 \0", 4),
                  {L" 00001001  09    9  <TAB>", L" 00011001  19   25  <EOM>", L" 00100000  20   32  <SPACE>",
                   L" 00000000  00    0  <NUL>"}},
        TDataCase{"BinHighByte", lfBinDump1, "\xFF", {L" 11111111  FF  255  \u00FF"}},
        TDataCase{"NoneWritesNothing", lfNone, "abc", {}},
        TDataCase{"NoBytesNoLines", lfText, "", {}}),
    TCaseName());

TEST(LoggerData, EachDataLineCarriesItsOwnStamp) {
  TLinesLogger logger;
  logger.Clock = kStampTime;
  logger.SetLogDateOptions({ldTime});
  logger.SetLogDataFormat(lfHexDump8);
  logger.LogData("123456789", 9, ltSend);
  const std::wstring prefix = StampClock() + L": ";
  EXPECT_EQ(logger.Lines, (std::vector<std::wstring>{prefix + L"31 32 33 34 35 36 37 38  12345678",
                                                     prefix + L"39" + Spaces(23) + L"9"}));
  EXPECT_EQ(logger.Types, (std::vector<TLogType>{ltSend, ltSend}));
}

TEST(LoggerData, MissingDataWritesNothing) {
  TLinesLogger logger;
  logger.LogData(nullptr, 5, ltSend);
  logger.LogData("abc", -1, ltSend);
  EXPECT_TRUE(logger.Lines.empty());
}

// ---------------------------------------------------------------------------------------------
// Stamps

struct TStampCase {
  const char* name;
  TLogDateOptions options;
  std::function<std::wstring()> line;  // the line for "x" at kStampTime
};

class LoggerStamp : public ::testing::TestWithParam<TStampCase> {};

TEST_P(LoggerStamp, LineForX) {
  TLinesLogger logger;
  logger.Clock = kStampTime;
  logger.SetLogDateOptions(GetParam().options);
  logger.Log(L"x", ltAction);
  EXPECT_EQ(logger.Lines, std::vector<std::wstring>{GetParam().line()});
  EXPECT_EQ(logger.Types, std::vector<TLogType>{ltAction});
}

INSTANTIATE_TEST_SUITE_P(
    Logger, LoggerStamp,
    ::testing::Values(
        TStampCase{"NoOptionsNoStamp", {}, [] { return std::wstring(L"x"); }},
        TStampCase{"Date", {ldDate}, [] { return std::wstring(L"2024-03-05: x"); }},
        TStampCase{"Time", {ldTime}, [] { return StampClock() + L": x"; }},
        TStampCase{"TimeMillisec", {ldTimeMillisec}, [] { return StampClock() + L".045: x"; }},
        TStampCase{"TimeAndTimeMillisec", {ldTime, ldTimeMillisec}, [] { return StampClock() + L".045: x"; }},
        TStampCase{"DateAndTime", {ldDate, ldTimeMillisec}, [] { return L"2024-03-05 " + StampClock() + L".045: x"; }},
        TStampCase{"DurationOfTheFirstLineIsBlank", {ldDuration}, [] { return Spaces(12) + L": x"; }},
        TStampCase{"All", {ldDate, ldTime, ldDuration},
                   [] { return L"2024-03-05 " + StampClock() + L" " + Spaces(12) + L": x"; }}),
    TCaseName());

TEST(LoggerStamp, FurtherLinesAreIndentedUnderTheFirst) {
  TLinesLogger logger;
  logger.Clock = kStampTime;
  logger.SetLogDateOptions({ldTime});
  logger.Log(L"first\nsecond\r\nthird \r\n", ltInfo);
  const std::wstring indent = Spaces(static_cast<int>(StampClock().size()) + 2);
  EXPECT_EQ(logger.Lines, std::vector<std::wstring>{StampClock() + L": first\r\n" + indent + L"second\r\n" + indent +
                                                    L"third"});
}

TEST(LoggerStamp, EmptyInfoIsABlankLineWithoutStamp) {
  TLinesLogger logger;
  logger.Clock = kStampTime;
  logger.SetLogDateOptions({ldTime});
  logger.Log(L"", ltInfo);
  EXPECT_EQ(logger.LastLog(), 0.0);  // not a stamped line
  logger.Log(L"", ltError);
  EXPECT_EQ(logger.Lines, (std::vector<std::wstring>{L"", StampClock() + L": "}));
  EXPECT_EQ(logger.Types, (std::vector<TLogType>{ltInfo, ltError}));
  EXPECT_EQ(logger.LastLog(), kStampTime);
}

TEST(LoggerStamp, EveryStampedLineCountsForTheDurationEvenWithoutStamp) {
  TLinesLogger logger;
  logger.Clock = kStampTime;
  logger.Log(L"x", ltReceive);
  EXPECT_EQ(logger.LastLog(), kStampTime);
}

// The duration column of consecutive lines: the clock moves by the given milliseconds before
// each line.
struct TDurationStep {
  std::int64_t advanceMsec;
  std::wstring (*duration)();
};

TEST(LoggerStamp, DurationSinceThePreviousLine) {
  const TDurationStep steps[] = {
      {0, [] { return Spaces(12); }},  // first line
      {1500, [] { return L"      01.500" + std::wstring(); }},
      {250, [] { return L"        .250" + std::wstring(); }},
      {2 * 60000 + 3004, [] { return L"   02" + Sep() + L"03.004"; }},
      {0, [] { return Spaces(12); }},  // same moment
      {1, [] { return L"        .001" + std::wstring(); }},
      {60000, [] { return L"   01" + Sep() + L"00.000"; }},
      {3600000, [] { return L"01" + Sep() + L"00" + Sep() + L"00.000"; }},
      {25 * 3600000LL, [] { return L"25" + Sep() + L"00" + Sep() + L"00.000"; }},  // no wrap after a day
      {-3600000, [] { return Spaces(12); }},  // the clock was set back
      {10000, [] { return L"      10.000" + std::wstring(); }},
  };
  TLinesLogger logger;
  logger.SetLogDateOptions({ldDuration});
  std::int64_t msec = 0;
  for (const TDurationStep& step : steps) {
    msec += step.advanceMsec;
    logger.Clock = kStampTime + static_cast<double>(msec) / 86400000.0;
    logger.Log(L"x", ltInfo);
  }
  ASSERT_EQ(logger.Lines.size(), std::size(steps));
  for (size_t i = 0; i < std::size(steps); ++i)
    EXPECT_EQ(logger.Lines[i], steps[i].duration() + L": x") << "line " << i;
}

// ---------------------------------------------------------------------------------------------
// Filter, separator

TEST(LoggerFilter, DisabledLoggerWritesNothing) {
  TLinesLogger logger;
  logger.SetEnabled(false);
  logger.Log(L"x", ltInfo);
  logger.Log(L"", ltInfo);
  logger.LogData("abc", 3, ltSend);
  logger.Separator();
  EXPECT_TRUE(logger.Lines.empty());
}

TEST(LoggerFilter, OnlyTheChosenLogTypesPass) {
  TLinesLogger logger;
  EXPECT_EQ(logger.LogTypes(), TLogTypes::All());
  logger.SetLogTypes(TLogTypes::All() - TLogTypes{ltSend});
  logger.LogData("out", 3, ltSend);
  logger.Log(L"sent", ltSend);
  logger.LogData("in", 2, ltReceive);
  logger.Log(L"unknown", static_cast<TLogType>(8));
  logger.Log(L"unknown", static_cast<TLogType>(200));
  EXPECT_EQ(logger.Lines, std::vector<std::wstring>{L"in"});
}

TEST(LoggerFilter, SeparatorIsALineOfHyphens) {
  TLinesLogger logger;
  logger.ClearLog();  // nothing to empty here
  logger.Separator();
  EXPECT_EQ(logger.Lines, std::vector<std::wstring>{std::wstring(77, L'-')});
  EXPECT_EQ(logger.Types, std::vector<TLogType>{ltInfo});
}

TEST(LoggerFilter, NewLoggerDefaults) {
  TLinesLogger logger;
  EXPECT_TRUE(logger.Enabled());
  EXPECT_EQ(logger.LogDataFormat(), lfText);
  EXPECT_TRUE(logger.LogDateOptions().Empty());
  EXPECT_EQ(logger.LastLog(), 0.0);
}

// ---------------------------------------------------------------------------------------------
// Attached to real UDP endpoints

class TReplyingServer : public TUdpServer {
public:
  explicit TReplyingServer(std::unique_ptr<TLogger> logger) : TUdpServer(std::move(logger), 0) {}
  std::string HandleDatagram(const std::string&) override { return "pong"; }
};

std::unique_ptr<TLinesLogger> StampingLogger(TLogDataFormat format) {
  auto logger = std::make_unique<TLinesLogger>();
  logger->Clock = kStampTime;
  logger->SetLogDateOptions({ldTime});
  logger->SetLogDataFormat(format);
  return logger;
}

TEST(LoggerOnChannel, ServerAndClientLogTheirTraffic) {
  auto serverOwned = StampingLogger(lfText);
  TLinesLogger* serverLog = serverOwned.get();
  TReplyingServer server(std::move(serverOwned));
  auto clientOwned = StampingLogger(lfHexDump8);
  TLinesLogger* clientLog = clientOwned.get();
  TUdpClient client(std::move(clientOwned));

  client.SendDatagram(L"127.0.0.1", server.Port(), "hi\r\n");
  ASSERT_TRUE(server.Poll(kArrivalLimitMsec, 0));
  ASSERT_EQ(client.RecvWait(kArrivalLimitMsec), "pong");

  const std::wstring s = StampClock() + L": ";
  const std::wstring serverPort = std::to_wstring(server.Port());
  const std::wstring clientPort = std::to_wstring(LocalPort(client.Socket()));
  EXPECT_EQ(serverLog->Lines,
            (std::vector<std::wstring>{s + L"Bind to a port", s + L"Port No. is " + serverPort,
                                       s + L"Received data from 127.0.0.1:" + clientPort, s + L"hi^M^J",
                                       s + L"Sent Data to 127.0.0.1", s + L"pong"}));
  EXPECT_EQ(serverLog->Types, (std::vector<TLogType>{ltAction, ltInfo, ltInfo, ltReceive, ltAction, ltSend}));
  EXPECT_EQ(clientLog->Lines,
            (std::vector<std::wstring>{s + L"Send Datagram to 127.0.0.1:" + serverPort,
                                       s + L"68 69 0D 0A" + Spaces(14) + L"hi\u2190\u2193",
                                       s + L"Received data from 127.0.0.1:" + serverPort,
                                       s + L"70 6F 6E 67" + Spaces(14) + L"pong"}));
  EXPECT_EQ(clientLog->Types, (std::vector<TLogType>{ltAction, ltSend, ltInfo, ltReceive}));
}

TEST(LoggerOnChannel, FailedBindIsLoggedAsAnError) {
  TReplyingServer holder(nullptr);
  auto owned = StampingLogger(lfText);
  TLinesLogger* log = owned.get();
  TReplyingServer second(nullptr);
  second.SetLogger(std::move(owned));
  EXPECT_THROW(second.SetPort(holder.Port()), ESocketsError);
  const std::wstring s = StampClock() + L": ";
  ASSERT_EQ(log->Lines.size(), 2u);
  EXPECT_EQ(log->Lines[0], s + L"Bind to Port " + std::to_wstring(holder.Port()));
  EXPECT_EQ(log->Lines[1], s + L"WSAEADDRINUSE: Address already in use");
  EXPECT_EQ(log->Types, (std::vector<TLogType>{ltAction, ltError}));
}

}  // namespace
