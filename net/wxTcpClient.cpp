// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/wxTcpClient.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#include <wx/evtloop.h>
#include <wx/thread.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>

namespace qwx {

namespace {
constexpr wxSocketEventFlags kAllNotifications =
    wxSOCKET_INPUT_FLAG | wxSOCKET_OUTPUT_FLAG | wxSOCKET_CONNECTION_FLAG | wxSOCKET_LOST_FLAG;
// While connecting, a failed attempt must not reach the owner as a lost
// connection: ConnectTo reports it.
constexpr wxSocketEventFlags kConnectingNotifications =
    wxSOCKET_INPUT_FLAG | wxSOCKET_OUTPUT_FLAG | wxSOCKET_CONNECTION_FLAG;
// Port 0 names no service; connecting to it can only fail.
constexpr std::uint16_t kNoPort = 0;
constexpr long kMillisecondsPerSecond = 1000;
constexpr std::int32_t kMaxWrite = std::numeric_limits<std::int32_t>::max();
}  // namespace

wxTcpClient::wxTcpClient() : wxSocketClient(wxSOCKET_NOWAIT) {
  SetNotify(kAllNotifications);
  Notify(true);
  SetTimeout(kIoTimeoutSeconds);
}

wxTcpClient::ConnectResult wxTcpClient::ConnectTo(const std::string& host, std::uint16_t port) {
  state = ClientState::Idle;
  const std::optional<std::string> name = connectHostName(host);
  if (!name) return ConnectResult::HostNameFailed;
  // A name the locale cannot convert comes out empty.
  const wxString convertedName(name->c_str(), wxConvLibc);
  if (convertedName.empty() || !peerAddress.Hostname(convertedName)) return ConnectResult::HostNameFailed;
  if (port == kNoPort || !peerAddress.Service(port)) return ConnectResult::HostNameFailed;

  state = ClientState::Connecting;
  SetNotify(kConnectingNotifications);
  if (Connect(peerAddress, false)) return Succeed();
  // Anything but "in progress" is a failure the system reported at once
  // (waiting on it would only run into the limit).
  if (LastError() != wxSOCKET_WOULDBLOCK) return Fail(ConnectResult::Refused);
  return WaitForConnection();
}

wxTcpClient::ConnectResult wxTcpClient::WaitForConnection() {
  // Only through an active event loop does the toolkit's wait dispatch GUI
  // events and turn socket readiness into notifications (the owner's
  // connection event among them); called outside one, lend it one.
  std::unique_ptr<wxEventLoopBase> lentLoop;
  std::unique_ptr<wxEventLoopActivator> activation;
  if (wxEventLoopBase::GetActive() == nullptr && wxIsMainThread()) {
    lentLoop = std::make_unique<wxGUIEventLoop>();
    activation = std::make_unique<wxEventLoopActivator>(lentLoop.get());
  }

  const ConnectDeadline deadline(ConnectDeadline::Clock::now(), connectTimeout);
  for (;;) {
    const long wait = static_cast<long>(deadline.NextWait(ConnectDeadline::Clock::now()).count());
    WaitFindings found;
    found.ranOut = !WaitOnConnect(wait / kMillisecondsPerSecond, wait % kMillisecondsPerSecond);
    found.connected = IsConnected();
    found.cancelRequested = state == ClientState::CancelRequested;
    found.peerClosed = IsClosed();
    found.limitPassed = deadline.Passed(ConnectDeadline::Clock::now());
    const std::optional<ConnectResult> outcome = attemptOutcome(found);
    if (!outcome) continue;
    return *outcome == ConnectResult::Connected ? Succeed() : Fail(*outcome);
  }
}

wxTcpClient::ConnectResult wxTcpClient::Succeed() {
  SetNotify(kAllNotifications);
  // Typed keys and transfer handshakes are single small writes that must
  // leave at once, not wait to be merged with later ones.
  const int on = 1;
  SetOption(IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  // A telnet server marks a flush with an urgent IAC DM: kept in line, the
  // telnet layer takes the pair out; left out of line, the DM alone would
  // reach the screen or a transfer as data.
  SetOption(SOL_SOCKET, SO_OOBINLINE, &on, sizeof on);
  state = ClientState::Connected;
  WatchLine();
  return ConnectResult::Connected;
}

wxTcpClient::ConnectResult wxTcpClient::Fail(ConnectResult result) {
  // Also ends a handshake still under way and a connection that came in
  // together with a cancellation.
  Close();
  state = ClientState::Idle;
  return result;
}

bool wxTcpClient::Disconnect() {
  // Checked first: the socket may already count as connected while
  // ConnectTo has yet to see it, and closing under the running attempt
  // would leave the owner deleting the client beneath it.
  if (state == ClientState::Connecting) {
    state = ClientState::CancelRequested;
    InterruptWait();
    return false;
  }
  if (state == ClientState::CancelRequested || !IsConnected()) return false;
  state = ClientState::Closing;
  // Unread input would make the close a reset instead of an orderly end.
  Discard();
  StopWatchingLine();
  Close();
  state = ClientState::Idle;
  return true;
}

std::int32_t wxTcpClient::WriteBytes(const void* data, std::int32_t length) {
  if (!IsConnected() || data == nullptr || length <= 0) return 0;
  Write(data, static_cast<wxUint32>(length));
  const auto written = static_cast<std::int32_t>(LastCount());
  // A full send buffer writes nothing without the connection being gone;
  // any other failure to write means it is.
  const bool broken = written == 0 && LastError() != wxSOCKET_WOULDBLOCK;
  if (onBytesWritten && !broken && IsConnected()) onBytesWritten(static_cast<std::uint64_t>(length));
  return written;
}

std::int32_t wxTcpClient::Send(const ByteBuffer& bytes) {
  // Larger buffers go out in part, like any short write.
  const auto length = static_cast<std::int32_t>(std::min<std::size_t>(bytes.size(), kMaxWrite));
  return Send(bytes.data(), length);
}

std::int32_t wxTcpClient::Send(const void* data, std::int32_t length) {
  if (!IsConnected()) return 0;
  return WriteBytes(data, length);
}

std::int32_t wxTcpClient::SendByte(std::uint8_t byte) { return Send(&byte, 1); }

void wxTcpClient::write(const std::uint8_t* bytes, std::size_t size) {
  Send(bytes, static_cast<std::int32_t>(std::min<std::size_t>(size, kMaxWrite)));
}

void wxTcpClient::discardPendingInput() {
  if (IsConnected()) Discard();
}

bool wxTcpClient::ClosedByPeer() const { return !lineBroken; }

void wxTcpClient::WatchLine() {
  // The toolkit learns of a lost line by reading from the socket, which
  // takes away the error that says why; a watch of higher priority on a
  // second descriptor of the same socket sees an error first. An orderly
  // close by the other side is no error and leaves it waiting.
  watchFd = dup(GetSocket());
  if (watchFd < 0) return;
  GIOChannel* channel = g_io_channel_unix_new(watchFd);
  watchSource = g_io_add_watch_full(channel, G_PRIORITY_HIGH, static_cast<GIOCondition>(G_IO_ERR | G_IO_HUP),
                                    &wxTcpClient::OnLineTrouble, this, nullptr);
  g_io_channel_unref(channel);
}

gboolean wxTcpClient::OnLineTrouble(GIOChannel*, GIOCondition, gpointer data) {
  auto* client = static_cast<wxTcpClient*>(data);
  client->watchSource = 0;
  int error = 0;
  socklen_t size = sizeof error;
  if (getsockopt(client->watchFd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error != 0) client->lineBroken = true;
  return FALSE;  // once is enough: the line is over either way
}

void wxTcpClient::StopWatchingLine() {
  if (watchSource != 0) g_source_remove(watchSource);
  watchSource = 0;
  // The socket itself closes only once this descriptor has gone too.
  if (watchFd >= 0) close(watchFd);
  watchFd = -1;
}

wxTcpClient::~wxTcpClient() { StopWatchingLine(); }

}  // namespace qwx
