// The channel base: error handling, logger ownership, abstract operations, and the composite
// receives on a channel whose single receives hand out scripted chunks.
#include "net/Channel.h"
#include "net/Logger.h"

#include "support/TestSupport.h"
#include "NetTestSupport.h"

#include <deque>
#include <functional>
#include <stdexcept>

namespace {

// One scripted receive: its bytes, and what happens to the channel after it.
struct TChunk {
  std::string Bytes;
  std::int32_t ErrorAfter = 0;
  bool DisconnectAfter = false;
};

class TScriptedChannel : public TChannel {
public:
  explicit TScriptedChannel(std::unique_ptr<TLogger> logger = nullptr) : TChannel(std::move(logger)) {}

  std::deque<TChunk> Script;
  int Receives = 0;
  std::vector<std::uint32_t> WaitTimeouts;

  void Connect(const std::wstring&) override { SetConnected(true); }
  void Disconnect() override { SetConnected(false); }
  using TChannel::Recv;
  void Recv(std::string& buffer) override {
    // A receive the test did not script is a fault of the code under test (it would block).
    if (Script.empty()) throw std::logic_error("unscripted receive");
    ++Receives;
    TChunk chunk = Script.front();
    Script.pop_front();
    buffer = chunk.Bytes;
    if (chunk.ErrorAfter != 0) SetLastError(chunk.ErrorAfter);
    if (chunk.DisconnectAfter) SetConnected(false);
  }
  // A wait that finds no scripted chunk times out.
  std::string RecvWait(std::uint32_t timeoutMilliseconds) override {
    WaitTimeouts.push_back(timeoutMilliseconds);
    std::string buffer;
    if (!Script.empty()) Recv(buffer);
    return buffer;
  }
  int InQueue() override { return Script.empty() ? 0 : static_cast<int>(Script.front().Bytes.size()); }
};

const std::string kCrLf = "\r\n";
const TCharset kNoIgnore;

// ---------------------------------------------------------------------------------------------
// Error handling

struct TChannelErrorCase {
  const char* name;
  std::int32_t code;
  const wchar_t* message;  // nullptr: no exception
};

class ChannelHandleError : public ::testing::TestWithParam<TChannelErrorCase> {};

TEST_P(ChannelHandleError, RecordsCodeAndRaises) {
  const TChannelErrorCase& c = GetParam();
  auto record = std::make_shared<TLogRecord>();
  TScriptedChannel channel(RecordingLogger(record));
  channel.Connect(L"");
  CheckHandleError<EChannelError>(channel, *record, c.code, c.message);
  EXPECT_EQ(channel.LastError(), c.code);
  // The base channel never counts a code as a lost connection.
  EXPECT_TRUE(channel.Connected());
}

INSTANTIATE_TEST_SUITE_P(
    TChannel, ChannelHandleError,
    ::testing::Values(TChannelErrorCase{"ZeroIsQuiet", 0, nullptr},
                      TChannelErrorCase{"InterruptRaisesInTheBase", 10004, L"Communications Error No. 10004"},
                      TChannelErrorCase{"ConnectionResetRaises", 10054, L"Communications Error No. 10054"},
                      TChannelErrorCase{"NegativeCode", -5, L"Communications Error No. -5"}),
    TCaseName());

TEST(ChannelError, RaiseErrorWithoutLoggerRaisesTheGivenClass) {
  TScriptedChannel channel;
  try {
    channel.RaiseError<EChannelError>(L"boom");
    FAIL() << "no exception";
  } catch (const EChannelError& e) {
    EXPECT_EQ(e.Message(), L"boom");
  }
}

TEST(ChannelError, LastErrorKeepsTheLastCodeIncludingZero) {
  TScriptedChannel channel;
  EXPECT_EQ(channel.LastError(), 0);
  EXPECT_THROW(channel.HandleError(7), EChannelError);
  EXPECT_EQ(channel.LastError(), 7);
  channel.HandleError(0);
  EXPECT_EQ(channel.LastError(), 0);
}

// ---------------------------------------------------------------------------------------------
// Logger ownership

TEST(ChannelLogger, ChannelFreesItsLogger) {
  auto record = std::make_shared<TLogRecord>();
  {
    TScriptedChannel channel(RecordingLogger(record));
    channel.Log(L"hello", ltInfo);
    channel.LogData("ab", 2, ltSend);
    EXPECT_FALSE(record->LoggerFreed);
  }
  EXPECT_TRUE(record->LoggerFreed);
  EXPECT_EQ(record->Entries, (std::vector<TLogEntry>{TextEntry(L"hello", ltInfo), DataEntry("ab", ltSend)}));
}

TEST(ChannelLogger, SetLoggerFreesTheOldOneAndAttachesTheNew) {
  auto first = std::make_shared<TLogRecord>();
  auto second = std::make_shared<TLogRecord>();
  TScriptedChannel channel(RecordingLogger(first));
  channel.SetLogger(RecordingLogger(second));
  EXPECT_TRUE(first->LoggerFreed);
  channel.Log(L"x", ltAction);
  EXPECT_TRUE(first->Entries.empty());
  EXPECT_EQ(second->Entries, std::vector<TLogEntry>{TextEntry(L"x", ltAction)});

  channel.SetLogger(nullptr);
  EXPECT_TRUE(second->LoggerFreed);
  EXPECT_EQ(channel.Logger(), nullptr);
  channel.Log(L"nobody listens", ltInfo);  // no logger: nothing happens
}

TEST(ChannelLogger, HandingBackTheAttachedLoggerKeepsIt) {
  auto record = std::make_shared<TLogRecord>();
  TScriptedChannel channel(RecordingLogger(record));
  channel.SetLogger(std::unique_ptr<TLogger>(channel.Logger()));
  EXPECT_FALSE(record->LoggerFreed);
  channel.Log(L"still here", ltInfo);
  EXPECT_EQ(record->Entries, std::vector<TLogEntry>{TextEntry(L"still here", ltInfo)});
}

// ---------------------------------------------------------------------------------------------
// Abstract operations of a bare channel

struct TAbstractCase {
  const char* name;
  std::function<void(TChannel&)> call;
};

class ChannelAbstract : public ::testing::TestWithParam<TAbstractCase> {};

TEST_P(ChannelAbstract, RaisesAbstractError) {
  TChannel channel;
  EXPECT_THROW(GetParam().call(channel), EAbstractError);
}

INSTANTIATE_TEST_SUITE_P(
    TChannel, ChannelAbstract,
    ::testing::Values(TAbstractCase{"Connect", [](TChannel& c) { c.Connect(L"x"); }},
                      TAbstractCase{"Disconnect", [](TChannel& c) { c.Disconnect(); }},
                      TAbstractCase{"Send", [](TChannel& c) { c.Send("ab", 2); }},
                      TAbstractCase{"SendByteString", [](TChannel& c) { c.Send(std::string("ab")); }},
                      TAbstractCase{"Recv",
                                    [](TChannel& c) {
                                      std::string b;
                                      c.Recv(b);
                                    }},
                      TAbstractCase{"RecvWait", [](TChannel& c) { c.RecvWait(0); }},
                      TAbstractCase{"InQueue", [](TChannel& c) { c.InQueue(); }},
                      TAbstractCase{"OutQueue", [](TChannel& c) { c.OutQueue(); }},
                      TAbstractCase{"FlushOutQueue", [](TChannel& c) { c.FlushOutQueue(); }},
                      TAbstractCase{"DataWaitingAsksInQueue", [](TChannel& c) { c.DataWaiting(); }}),
    TCaseName());

TEST(ChannelBase, FreshChannelIsNotConnectedAndHasNoError) {
  TChannel channel;
  EXPECT_FALSE(channel.Connected());
  EXPECT_EQ(channel.LastError(), 0);
  EXPECT_EQ(channel.Logger(), nullptr);
  EXPECT_NO_THROW(channel.FlushInQueue());
}

TEST(ChannelBase, DataWaitingWhenInQueueIsPositive) {
  TScriptedChannel channel;
  EXPECT_FALSE(channel.DataWaiting());
  channel.Script.push_back({""});
  EXPECT_FALSE(channel.DataWaiting());
  channel.Script.front().Bytes = "x";
  EXPECT_TRUE(channel.DataWaiting());
}

// ---------------------------------------------------------------------------------------------
// Receiving a number of bytes, receiving up to a sequence

// How a composite receive ends: Bytes > 0 or Sequence set says which one is called.
struct TCompositeCase {
  const char* name;
  std::vector<TChunk> script;
  int bytes;
  const char* sequence;  // nullptr: receive a number of bytes
  std::string expected;
  int receives;
  bool connected = true;
};

class ChannelCompositeRecv : public ::testing::TestWithParam<TCompositeCase> {};

TEST_P(ChannelCompositeRecv, ReceivesAndStops) {
  const TCompositeCase& c = GetParam();
  TScriptedChannel channel;
  if (c.connected) channel.Connect(L"");
  channel.Script.assign(c.script.begin(), c.script.end());
  channel.Script.push_back({"never"});  // a receive too many shows in the result
  std::string buffer = "old";
  if (c.sequence)
    channel.Recv(buffer, std::string(c.sequence));
  else
    channel.Recv(buffer, c.bytes);
  EXPECT_EQ(buffer, c.expected);
  EXPECT_EQ(channel.Receives, c.receives);
}

INSTANTIATE_TEST_SUITE_P(
    TChannel, ChannelCompositeRecv,
    ::testing::Values(
        TCompositeCase{"ZeroCount", {{"abc"}}, 0, nullptr, "", 0},
        TCompositeCase{"NegativeCount", {{"abc"}}, -3, nullptr, "", 0},
        TCompositeCase{"CountNotConnected", {{"abc"}}, 2, nullptr, "", 0, false},
        // Longer than asked: receives are appended whole.
        TCompositeCase{"CountAppendsWholeReceives", {{"ab"}, {"cdefg"}}, 5, nullptr, "abcdefg", 2},
        TCompositeCase{"CountKeepsZeroBytes", {{std::string("a\0", 2)}, {std::string("\0b", 2)}}, 4, nullptr,
                       std::string("a\0\0b", 4), 2},
        TCompositeCase{"CountStopsOnLostConnection", {{"ab", 0, true}}, 10, nullptr, "ab", 1},
        TCompositeCase{"CountStopsOnRecordedError", {{"ab", 10060}}, 10, nullptr, "ab", 1},
        TCompositeCase{"SequenceNotConnected", {{"abc"}}, 0, "b", "", 0, false},
        TCompositeCase{"EmptySequence", {{"abc"}}, 0, "", "", 0},
        // Bytes after the sequence stay in the buffer.
        TCompositeCase{"SequenceAcrossReceives", {{"ab"}, {"c\r"}, {"\nde"}}, 0, "\r\n", "abc\r\nde", 3},
        TCompositeCase{"SequenceInTheFirstReceive", {{"x;y"}}, 0, ";", "x;y", 1},
        TCompositeCase{"SequenceStopsOnLostConnection", {{"ab", 0, true}}, 0, "\r\n", "ab", 1},
        TCompositeCase{"SequenceStopsOnRecordedError", {{"cd", 10054}}, 0, "\r\n", "cd", 1}),
    TCaseName());

TEST(ChannelCompositeRecvError, RecordedErrorLimitsEveryLaterCallToOneReceive) {
  TScriptedChannel channel;
  channel.Connect(L"");
  channel.Script = {{"ab", 10060}, {"cd"}, {"never"}};
  std::string buffer;
  channel.Recv(buffer, 10);
  channel.Recv(buffer, 10);
  EXPECT_EQ(buffer, "cd");
  EXPECT_EQ(channel.Receives, 2);
}

// ---------------------------------------------------------------------------------------------
// Receiving a line

TEST(ChannelRecvLine, EmptyLineCountsAsNoLineAndTheNextComesFromTheBuffer) {
  TScriptedChannel channel;
  channel.Script = {{"ab\r\n\r\ncd\r\n"}};
  EXPECT_EQ(channel.RecvLine(kCrLf, kNoIgnore, 50), "ab");
  EXPECT_EQ(channel.Receives, 1);
  // Consumes the empty line, finds no line, waits: the wait times out.
  EXPECT_EQ(channel.RecvLine(kCrLf, kNoIgnore, 50), "");
  EXPECT_EQ(channel.WaitTimeouts.size(), 2u);
  // Straight from the buffer, without waiting.
  EXPECT_EQ(channel.RecvLine(kCrLf, kNoIgnore, 50), "cd");
  EXPECT_EQ(channel.WaitTimeouts.size(), 2u);
}

TEST(ChannelRecvLine, EmptyTerminatorFindsNoLineAndReceivesNothing) {
  TScriptedChannel channel;
  channel.Script.push_back({"ab\r\n"});
  EXPECT_EQ(channel.RecvLine("", TCharset{}, 0), "");
  EXPECT_EQ(channel.Receives, 0);
}

TEST(ChannelRecvLine, TerminatorBytesAreNeverIgnored) {
  TScriptedChannel channel;
  channel.Script = {{"ab\r\n"}};
  const TCharset ignore{'\r', 'b'};
  EXPECT_EQ(channel.RecvLine(kCrLf, ignore, 50), "a");
  EXPECT_EQ(ignore, (TCharset{'\r', 'b'}));  // the caller's set is left alone
}

TEST(ChannelRecvLine, IgnoredBytesAreDroppedFromEachReceive) {
  TScriptedChannel channel;
  channel.Script = {{"\ta b"}, {"c\n"}};
  EXPECT_EQ(channel.RecvLine("\n", TCharset{'\t', ' '}, 50), "abc");
}

TEST(ChannelRecvLine, LineAcrossSeveralReceivesAndRestKeptForTheNextCall) {
  TScriptedChannel channel;
  channel.Script = {{"ab"}, {"c\r"}, {"\nd"}};
  EXPECT_EQ(channel.RecvLine(kCrLf, kNoIgnore, 50), "abc");
  EXPECT_EQ(channel.Receives, 3);
  channel.Script = {{"e\r\n"}};
  EXPECT_EQ(channel.RecvLine(kCrLf, kNoIgnore, 50), "de");
}

TEST(ChannelRecvLine, BytesAlreadyBufferedAreNotFilteredAgain) {
  TScriptedChannel channel;
  channel.Script = {{"a\r\nxy"}};
  EXPECT_EQ(channel.RecvLine(kCrLf, kNoIgnore, 50), "a");
  channel.Script = {{"xz\r\n"}};
  EXPECT_EQ(channel.RecvLine(kCrLf, TCharset{'x'}, 50), "xyz");
}

TEST(ChannelRecvLine, TimeoutIsHandedToTheWait) {
  TScriptedChannel channel;
  EXPECT_EQ(channel.RecvLine(kCrLf, kNoIgnore, 1234), "");
  EXPECT_EQ(channel.WaitTimeouts, std::vector<std::uint32_t>{1234});
}

TEST(ChannelRecvLine, ZeroBytesStayInTheLine) {
  TScriptedChannel channel;
  channel.Script = {{std::string("a\0b\n", 4)}};
  EXPECT_EQ(channel.RecvLine("\n", kNoIgnore, 50), std::string("a\0b", 3));
}

TEST(ChannelRecvLine, FlushInQueueDropsTheBufferedRest) {
  TScriptedChannel channel;
  channel.Script = {{"a\r\nb\r\n"}};
  EXPECT_EQ(channel.RecvLine(kCrLf, kNoIgnore, 50), "a");
  channel.FlushInQueue();
  EXPECT_EQ(channel.RecvLine(kCrLf, kNoIgnore, 50), "");
}

TEST(ChannelRecvLine, MultiByteTerminatorIsRemovedWhole) {
  TScriptedChannel channel;
  channel.Script = {{"one<END>two<END>"}};
  EXPECT_EQ(channel.RecvLine("<END>", kNoIgnore, 50), "one");
  EXPECT_EQ(channel.RecvLine("<END>", kNoIgnore, 50), "two");
}

}  // namespace
