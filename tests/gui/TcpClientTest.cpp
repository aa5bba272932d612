// SPDX-License-Identifier: GPL-3.0-or-later
// The TCP client against sockets the test opens on 127.0.0.1 (and nowhere
// else): connecting and exchanging bytes, the failures of an attempt,
// cancelling it, a drop by the host, the send hook and the send delay.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <wx/evtloop.h>
#include <wx/wx.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/GuiTestSupport.h"
#include "gui/LoopbackPeer.h"
#include "net/wxTcpClient.h"

namespace {

using namespace loopback;
using qwx::ClientState;
using qwx::ConnectResult;

constexpr const char* kLoopback = "127.0.0.1";
constexpr int kListenBacklog = 1;
constexpr int kSettleMs = 100;
constexpr int kTickMs = 50;
// Never reached: these attempts fail before any connect.
constexpr std::uint16_t kAnyPort = 6400;
constexpr std::uint16_t kNoPort = 0;
constexpr int kCancelAfterMs = 300;
// More than any socket send buffer takes at once.
constexpr std::size_t kFloodBytes = 32u << 20;

std::vector<std::string>& Assertions() {
  static std::vector<std::string> assertions;
  return assertions;
}

void RecordAssertion(const wxString& file, int line, const wxString&, const wxString& condition,
                     const wxString& message) {
  Assertions().push_back((file + ":" + std::to_string(line) + " " + condition + " " + message).ToStdString());
}

// Stands in for the main window: receives the client's socket events.
class SocketOwner : public wxEvtHandler {
 public:
  SocketOwner() {
    Bind(wxEVT_SOCKET, [this](wxSocketEvent& event) { notifications.push_back(event.GetSocketEvent()); });
  }
  int Count(wxSocketNotify which) const {
    int n = 0;
    for (wxSocketNotify seen : notifications) n += seen == which ? 1 : 0;
    return n;
  }
  std::vector<wxSocketNotify> notifications;
};

class TcpClient : public ::testing::Test {
 protected:
  void SetUp() override {
    Assertions().clear();
    previousAssertHandler = wxSetAssertHandler(RecordAssertion);
    client = std::make_unique<qwx::wxTcpClient>();
    client->onBytesWritten = [this](std::uint64_t count) { reported.push_back(count); };
    client->SetEventHandler(owner, wxID_ANY);
  }
  void TearDown() override {
    client.reset();
    RunEventLoopFor(20);
    wxSetAssertHandler(previousAssertHandler);
    for (const std::string& assertion : Assertions()) ADD_FAILURE() << "toolkit assertion: " << assertion;
  }

  // Connects to a fresh listener and accepts; `peer` is the host's end.
  void ConnectToListener() {
    std::uint16_t port = 0;
    listener = BoundSocket(port, kListenBacklog);
    ASSERT_GE(listener.get(), 0);
    ASSERT_EQ(client->ConnectTo(kLoopback, port), ConnectResult::Connected);
    peer = AcceptOne(listener.get());
    ASSERT_GE(peer.get(), 0);
  }

  SocketOwner owner;
  std::unique_ptr<qwx::wxTcpClient> client;
  std::vector<std::uint64_t> reported;
  Fd listener;
  Fd peer;
  wxAssertHandler_t previousAssertHandler = nullptr;
};

TEST_F(TcpClient, BeforeAnyAttemptSendsAndDisconnectDoNothing) {
  const std::uint8_t bytes[] = {1, 2, 3};
  EXPECT_EQ(client->SendByte(0x41), 0);
  EXPECT_EQ(client->Send(ByteBuffer{1, 2}), 0);
  EXPECT_EQ(client->Send(bytes, sizeof bytes), 0);
  EXPECT_EQ(client->WriteBytes(bytes, sizeof bytes), 0);
  EXPECT_FALSE(client->Disconnect());
  EXPECT_EQ(client->State(), ClientState::Idle);
  EXPECT_TRUE(reported.empty());
}

TEST_F(TcpClient, ConnectsToTheTrimmedNameAndExchangesBytesBothWays) {
  std::uint16_t port = 0;
  listener = BoundSocket(port, kListenBacklog);
  ASSERT_GE(listener.get(), 0);
  ASSERT_EQ(client->ConnectTo(" \t127.0.0.1 \r\n", port), ConnectResult::Connected);
  EXPECT_EQ(client->State(), ClientState::Connected);
  EXPECT_EQ(client->PeerAddress().IPAddress(), kLoopback);
  EXPECT_EQ(client->PeerAddress().Service(), port);
  peer = AcceptOne(listener.get());
  ASSERT_GE(peer.get(), 0);

  // The owner hears of the connection through its queue, after ConnectTo.
  ASSERT_TRUE(RunEventLoopUntil([&] { return owner.Count(wxSOCKET_CONNECTION) == 1; }));

  const char text[] = "xyz";
  EXPECT_EQ(client->SendByte(0x41), 1);
  EXPECT_EQ(client->Send(ByteBuffer{0x01, 0xFF, 0xFB, 0x00}), 4);
  EXPECT_EQ(client->Send(text, 3), 3);
  EXPECT_EQ(ReceiveFromClient(peer.get(), 8), std::string("A\x01\xFF\xFB\x00xyz", 8));
  EXPECT_EQ(reported, (std::vector<std::uint64_t>{1, 4, 3}));

  // Every byte value arrives unchanged; the owner reads on input events.
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  ASSERT_EQ(send(peer.get(), all.data(), all.size(), 0), ssize_t(all.size()));
  std::string got;
  const auto end = Clock::now() + milliseconds(kPeerTimeoutMs);
  while (got.size() < all.size() && Clock::now() < end) {
    RunEventLoopFor(10);
    if (owner.Count(wxSOCKET_INPUT) == 0) continue;
    char chunk[kChunkBytes];
    client->Read(chunk, sizeof chunk);
    got.append(chunk, client->LastCount());
  }
  EXPECT_EQ(got, all);
}

TEST_F(TcpClient, ConnectedSocketSendsWithoutDelay) {
  ConnectToListener();
  int noDelay = 0;
  socklen_t size = sizeof noDelay;
  ASSERT_EQ(getsockopt(client->GetSocket(), IPPROTO_TCP, TCP_NODELAY, &noDelay, &size), 0);
  EXPECT_NE(noDelay, 0);
  client->onBytesWritten = nullptr;  // an owner that counts nothing
  EXPECT_EQ(client->SendByte(0x0D), 1);
  EXPECT_EQ(ReceiveFromClient(peer.get(), 1), "\r");
}

TEST_F(TcpClient, DisconnectEndsTheConnectionInOrderAndOnlyOnce) {
  ConnectToListener();
  // Input the client never read must not turn the close into a reset.
  const char unread[] = "unread input";
  ASSERT_EQ(send(peer.get(), unread, sizeof unread, 0), ssize_t(sizeof unread));
  RunEventLoopFor(kSettleMs);
  EXPECT_TRUE(client->Disconnect());
  EXPECT_EQ(client->State(), ClientState::Idle);
  EXPECT_FALSE(client->IsConnected());
  ASSERT_TRUE(Readable(peer.get(), kPeerTimeoutMs));
  wxMilliSleep(50);  // a reset would follow the end of stream
  int error = 0;
  socklen_t size = sizeof error;
  ASSERT_EQ(getsockopt(peer.get(), SOL_SOCKET, SO_ERROR, &error, &size), 0);
  EXPECT_EQ(error, 0) << std::strerror(error);
  char byte = 0;
  EXPECT_EQ(recv(peer.get(), &byte, 1, 0), 0);

  EXPECT_FALSE(client->Disconnect());
  EXPECT_EQ(client->SendByte(0x41), 0);
  EXPECT_TRUE(reported.empty());
}

TEST_F(TcpClient, PortWithoutListenerIsRefusedAtOnce) {
  std::uint16_t port = 0;
  const Fd bound = BoundSocket(port, -1);  // holds the port, never listens
  ASSERT_GE(bound.get(), 0);
  const auto start = Clock::now();
  EXPECT_EQ(client->ConnectTo(kLoopback, port), ConnectResult::Refused);
  EXPECT_LT(MillisecondsSince(start), qwx::kConnectWaitStep.count());
  EXPECT_EQ(client->State(), ClientState::Idle);
  EXPECT_FALSE(client->IsConnected());
  // The failure is the attempt's result, not a dropped connection.
  RunEventLoopFor(kSettleMs);
  EXPECT_EQ(owner.Count(wxSOCKET_LOST), 0);
  EXPECT_EQ(owner.Count(wxSOCKET_CONNECTION), 0);
}

TEST_F(TcpClient, UnusableHostNamesFailBeforeAnySocketExists) {
  const std::string names[] = {
      "",
      " \t ",
      std::string("127.0.0.1\0.example", 18),  // would reach the resolver cut short
      "127.0.0\x01.1",
      std::string(qwx::kMaxHostNameLength + 1, 'a'),
  };
  for (const std::string& name : names) {
    EXPECT_EQ(client->ConnectTo(name, kAnyPort), ConnectResult::HostNameFailed) << name.size();
    EXPECT_EQ(client->State(), ClientState::Idle);
  }
  EXPECT_EQ(client->ConnectTo(kLoopback, kNoPort), ConnectResult::HostNameFailed);
  EXPECT_FALSE(client->IsOk()) << "a socket was made";
}

// Without a reachable name server the resolver fails at once; outside the
// private network namespace the query could leave the machine.
TEST_F(TcpClient, NameThatDoesNotResolveFails) {
  const char* isolated = std::getenv("GUI_IN_NAMESPACE");
  if (isolated == nullptr || std::string(isolated) != "1") GTEST_SKIP() << "needs the private network namespace";
  EXPECT_EQ(client->ConnectTo("no-such-host.invalid", kAnyPort), ConnectResult::HostNameFailed);
  EXPECT_EQ(client->State(), ClientState::Idle);
  EXPECT_FALSE(client->IsOk());
}

TEST_F(TcpClient, SilentHostTimesOutAtTheLimitWhileTheLoopRuns) {
  std::uint16_t port = 0;
  listener = BoundSocket(port, kNoBacklog);
  ASSERT_GE(listener.get(), 0);
  const std::vector<Fd> fillers = FillAcceptQueue(port);

  // Four seconds: one full wait and one cut to what is left.
  constexpr int kLimitSeconds = 4;
  client->connectTimeout = kLimitSeconds;
  int ticks = 0;
  wxEvtHandler ticker;
  wxTimer timer(&ticker);
  ticker.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { ++ticks; });
  timer.Start(kTickMs);

  const auto start = Clock::now();
  EXPECT_EQ(client->ConnectTo(kLoopback, port), ConnectResult::TimedOut);
  const long long elapsed = MillisecondsSince(start);
  timer.Stop();
  const long long limitMs = milliseconds(std::chrono::seconds(kLimitSeconds)).count();
  EXPECT_GE(elapsed, limitMs);
  EXPECT_LT(elapsed, limitMs + qwx::kConnectWaitStep.count() / 2);
  EXPECT_GE(ticks, limitMs / kTickMs / 2) << "the waits stopped the event loop";
  EXPECT_EQ(client->State(), ClientState::Idle);
  EXPECT_FALSE(client->IsConnected());
}

TEST_F(TcpClient, DisconnectDuringTheWaitCancelsTheAttempt) {
  std::uint16_t port = 0;
  listener = BoundSocket(port, kNoBacklog);
  ASSERT_GE(listener.get(), 0);
  const std::vector<Fd> fillers = FillAcceptQueue(port);

  bool disconnectAnswer = true;
  ClientState stateAfterCancel = ClientState::Idle;
  wxEvtHandler menu;
  wxTimer timer(&menu);
  menu.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    disconnectAnswer = client->Disconnect();
    stateAfterCancel = client->State();
  });

  ConnectResult result = ConnectResult::Connected;
  long long elapsed = 0;
  RunInsideEventLoop([&] {
    timer.StartOnce(kCancelAfterMs);
    const auto start = Clock::now();
    result = client->ConnectTo(kLoopback, port);
    elapsed = MillisecondsSince(start);
  });
  EXPECT_EQ(result, ConnectResult::Cancelled);
  EXPECT_FALSE(disconnectAnswer);
  EXPECT_EQ(stateAfterCancel, ClientState::CancelRequested);
  // Disconnect cuts the current wait short rather than letting it run out.
  EXPECT_GE(elapsed, kCancelAfterMs);
  EXPECT_LT(elapsed, kCancelAfterMs + qwx::kConnectWaitStep.count() / 3);
  EXPECT_EQ(client->State(), ClientState::Idle);
  EXPECT_FALSE(client->IsConnected());
  EXPECT_EQ(client->SendByte(0x41), 0);
}

TEST_F(TcpClient, HostThatHangsUpReachesTheOwnerAndStopsSends) {
  ConnectToListener();
  peer = Fd();
  ASSERT_TRUE(RunEventLoopUntil([&] { return owner.Count(wxSOCKET_LOST) == 1; }));
  EXPECT_FALSE(client->IsConnected());
  EXPECT_EQ(client->SendByte(0x41), 0);
  EXPECT_EQ(client->Send(ByteBuffer{1, 2}), 0);
  EXPECT_TRUE(reported.empty());
  EXPECT_FALSE(client->Disconnect());
}

// A reset the loop has not yet seen: the failed write must not count.
TEST_F(TcpClient, ResetByTheHostStopsSendsBeforeTheLoopNotices) {
  ConnectToListener();
  const linger abort{1, 0};
  ASSERT_EQ(setsockopt(peer.get(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort), 0);
  peer = Fd();
  wxMilliSleep(kSettleMs);
  EXPECT_EQ(client->SendByte(0x41), 0);
  EXPECT_EQ(client->SendByte(0x42), 0);
  EXPECT_TRUE(reported.empty());
}

TEST_F(TcpClient, HookHearsTheCountAskedForWhenTheSocketTakesLess) {
  ConnectToListener();
  const ByteBuffer flood(kFloodBytes, 0x20);
  const std::int32_t taken = client->Send(flood);
  EXPECT_GT(taken, 0);
  EXPECT_LT(std::size_t(taken), flood.size());
  // The send buffer is full now: nothing goes, the request still counts.
  EXPECT_EQ(client->SendByte(0x41), 0);
  EXPECT_EQ(reported, (std::vector<std::uint64_t>{kFloodBytes, 1}));
  EXPECT_EQ(client->WriteBytes(flood.data(), -1), 0);
  EXPECT_EQ(client->WriteBytes(nullptr, 4), 0);
  EXPECT_EQ(reported.size(), 2u);
}

}  // namespace
