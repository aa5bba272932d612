// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The raw TCP connection to a board: a toolkit client socket with a bounded,
// cancellable connection attempt that keeps the GUI running, guarded sends,
// and a hook that reports every send so the owner can count traffic. Reading
// is the owner's: it makes itself the socket's event handler and reads when
// the socket reports input. One client serves one attempt; it is not reused.
#include <glib.h>
#include <wx/socket.h>

#include <cstdint>
#include <functional>
#include <string>

#include "net/ByteLink.h"
#include "net/ConnectAttempt.h"
#include "settings/ByteBuffer.h"

namespace qwx {

class wxTcpClient : public wxSocketClient, public ByteLink {
 public:
  using ClientState = qwx::ClientState;
  using ConnectResult = qwx::ConnectResult;

  // Reads and writes never block: they move what they can at once.
  static constexpr long kIoTimeoutSeconds = 120;

  wxTcpClient();
  ~wxTcpClient() override;

  // Resolves the trimmed `host` and connects, dispatching the GUI's events
  // while it waits (in steps of at most three seconds, `connectTimeout`
  // seconds in all). Returns once the attempt has ended. Only Disconnect
  // may be called on this client from handlers run meanwhile.
  ConnectResult ConnectTo(const std::string& host, std::uint16_t port);

  // Connected: discards waiting input, closes, returns true. During an
  // attempt: asks ConnectTo to give up and returns false. Else false.
  bool Disconnect() override;

  // Writes what the socket takes at once and returns that count (short
  // writes are not retried). The hook hears the count asked for, but only
  // while the connection stands: nothing is sent or reported otherwise.
  std::int32_t WriteBytes(const void* data, std::int32_t length);
  std::int32_t Send(const ByteBuffer& bytes);
  std::int32_t Send(const void* data, std::int32_t length);
  std::int32_t SendByte(std::uint8_t byte);

  // The line as the session and the transfers write to it: one send, and
  // input not yet read dropped (the toolkit's Discard).
  void write(const std::uint8_t* bytes, std::size_t size) override;
  void discardPendingInput() override;

  // Once the connection is lost: the other side closed it in order,
  // rather than the line breaking (a reset, a timeout).
  bool ClosedByPeer() const;

  ClientState State() const { return state; }
  // Host and port of the current or last attempt.
  const wxIPV4address& PeerAddress() const { return peerAddress; }

  std::function<void(std::uint64_t)> onBytesWritten;
  std::int32_t connectTimeout = kDefaultConnectTimeoutSeconds;

 private:
  ConnectResult WaitForConnection();
  ConnectResult Succeed();
  ConnectResult Fail(ConnectResult result);
  void WatchLine();
  void StopWatchingLine();
  static gboolean OnLineTrouble(GIOChannel* channel, GIOCondition condition, gpointer data);

  ClientState state = ClientState::Idle;
  wxIPV4address peerAddress;
  // The watch for a line that breaks: a second descriptor of the socket.
  int watchFd = -1;
  guint watchSource = 0;
  bool lineBroken = false;
};

}  // namespace qwx
