// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One main window's connection to a board, without the toolkit: the state
// of the connection and how it ended, the traffic counters, the session
// buffer with the welcome screen it starts from, where each received chunk
// goes, what a key press does, and the status texts all of this produces.
// Received bytes reach the screen at the line speed in force: they wait in
// a queue shown on the ticks of a pace clock, and while about two seconds'
// worth wait the owner reads no more from the socket.
// The owner turns socket and key events into calls here; the nested wait of
// a connection attempt stays with the owner's client, between
// AttemptStarted and AttemptEnded.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "keyboard/C64KeyPress.h"
#include "net/ByteLink.h"
#include "net/ConnectAttempt.h"
#include "net/KeyRoute.h"
#include "net/LinePacer.h"
#include "net/PaceClock.h"
#include "net/SessionEnd.h"
#include "net/SessionOutputs.h"
#include "net/SessionRecord.h"
#include "net/TelnetLayer.h"
#include "net/TransferEngine.h"
#include "settings/ByteBuffer.h"

enum class SessionState {
  NoClient,    // no attempt yet
  Connecting,  // an attempt is waiting for the connection
  Connected,   // the attempt succeeded; the connection stands
  Ended,       // the attempt failed or the connection ended: see SessionEnd
};

enum class KeyOutcome {
  PassOn,          // left to the toolkit: menus, mnemonics, other windows
  Consumed,        // sent, swallowed or the charset toggled
  CancelTransfer,  // the owner cancels the running transfer
};

// How the line to a board is spoken: the entry's options.
struct LineOptions {
  bool telnet = false;     // a telnet server stands in front of the board
  bool localEcho = false;  // typed keys are shown as the board would echo them
};

class TerminalSession {
 public:
  // What the owner does once its client's attempt has returned.
  struct AttemptFollowUp {
    bool keepClient = false;   // false: the client is to be deleted now
    bool readInput = false;    // input was reported during the attempt: read it
    bool closeWindow = false;  // a close asked for during the attempt waited for it
  };

  // Bytes waiting to be shown at the line speed stop the reading at this
  // much of the speed's time; it goes on once half of it is shown.
  static constexpr std::chrono::seconds kMostQueued{2};

  // The session starts out showing `welcome`, which is not yet anything
  // received. Paced bytes are shown by `clock`. The session buffer keeps at
  // most `bufferCeiling` bytes.
  TerminalSession(StatusSink& status, SessionScreen& screen, ByteBuffer welcome, PaceClock& clock,
                  std::size_t bufferCeiling = SessionRecord::kDefaultCeiling);

  // A new client, `link`, is about to connect to the entry's address and
  // port; its screen is to start in the entry's colours, its line is spoken
  // as `line` says. Ignored while a client exists.
  void AttemptStarted(ByteLink& link, const std::string& address, std::uint16_t port, std::uint8_t foreground,
                      std::uint8_t background, const std::string& boardName = std::string(),
                      const LineOptions& line = LineOptions());
  AttemptFollowUp AttemptEnded(qwx::ConnectResult result);

  // The socket's notifications. InputWaiting is true when the owner is to
  // read now, at most ReadAllowance bytes, and hand them to Received;
  // during the attempt it only notes the input, and while the queue is full
  // it holds it back (PaceTick or SetLineSpeed then asks for the read).
  // ConnectionLost is true when the client is to be deleted; a board that
  // closes in order during a transfer has still dropped the line. After
  // Received the connection may be over (HasClient false): the session hung
  // up on a telnet server that broke the protocol.
  void ConnectionEstablished();
  bool InputWaiting();
  void Received(const std::uint8_t* data, std::size_t length);
  bool ConnectionLost(LineLoss how = LineLoss::Broken);
  // The client's write hook: every send request, keys and transfers alike.
  void BytesSent(std::uint64_t count);

  // Received bytes are shown at `bitsPerSecond` from now on (kLineSpeedOff:
  // at once, the queue too). The owner sets the entry's speed as it
  // connects; the View menu changes it for the session. True when input
  // held back fits now: the owner reads.
  bool SetLineSpeed(std::uint32_t bitsPerSecond);
  // The speed in force, for the menu, and for anything else the session
  // sends or shows at the line's pace.
  std::uint32_t LineSpeed() const { return pacer.Speed(); }
  // How many bytes the owner may read now: any number while nothing is
  // paced or a transfer runs, else what fits below kMostQueued.
  std::size_t ReadAllowance() const;
  // A tick of the pace clock: the bytes now due go to the screen; with a
  // transfer running, every byte queued before it. True when input held
  // back is to be read now: the queue is down to half of kMostQueued.
  bool PaceTick();
  std::size_t QueuedBytes() const { return queue.size() - queueStart; }

  // The Disconnect command; true when the client is to be deleted (during
  // the attempt it only asks the attempt to give up).
  bool Disconnect();
  // The exit command ends the connection without a message.
  void DisconnectForExit();
  // The window is asked to close. True: the close must wait, because an
  // attempt is running (it has been asked to give up; AttemptEnded asks for
  // the close again). False: the connection is over and the client is to be
  // deleted with the window.
  bool CloseMustWait(bool canWait);

  // A key event from `origin`: when it is the board's (RouteKey),
  // `translate` gives the C64 key press (only then is it asked).
  KeyOutcome Key(const KeyOrigin& origin, const std::function<C64KeyPress()>& translate);
  // Keys typed by other means (a paste): sent as typed keys are, echoed
  // locally as they are; nothing goes out before the connection stands.
  void Type(const std::uint8_t* keys, std::size_t count);

  // Transfers are asked in the order added; the first active one takes the
  // chunk. They must outlive the session or be removed first.
  void AddTransfer(TransferEngine& transfer);
  void RemoveTransfer(TransferEngine& transfer);
  bool TransferRunning() const;
  // A transfer is moving a file (not only keeping a sender's bytes away).
  bool TransferWorking() const;
  // The line the transfers write on: the current client's while the
  // connection stands, nothing once it is over (the client may be gone).
  TransferLink& TransferLine() { return line; }

  SessionState State() const { return state; }
  SessionEnd End() const { return end; }
  // From the start of an attempt until the connection is over.
  bool HasClient() const { return state == SessionState::Connecting || state == SessionState::Connected; }
  // The link of the current client, for the transfers; null without one.
  ByteLink* Link() const { return link; }
  bool WelcomeShown() const { return welcomeShown; }
  // The entry's name while its connection stands, for the window's title;
  // empty otherwise.
  std::string ConnectedBoard() const;
  // The session buffer: at most its ceiling's worth, the latest bytes.
  const ByteBuffer& ActiveSession() const { return activeSession.Bytes(); }
  bool ActiveSessionTrimmed() const { return activeSession.Trimmed(); }
  long long RxCount() const { return rxCount; }
  long long TxCount() const { return txCount; }
  // "Active: n": the bytes received outside transfers, 0 while the welcome
  // screen shows; "Active: last 64 MiB" once the oldest have been dropped.
  std::string ActiveSessionText() const;

 private:
  void StartSession();
  // Shows `message`, then ends what ran over the connection.
  void EndConnection(SessionEnd how, const std::string& message);
  // The board's data: to the running transfer, else to the buffer and screen.
  void Deliver(const std::uint8_t* data, std::size_t length);
  void ShowData(const std::uint8_t* data, std::size_t length);
  // Keys and transfer packets on their way out, encoded for telnet.
  void WriteToLine(const std::uint8_t* data, std::size_t length);
  void NoteRawStart(const std::uint8_t* data, std::size_t length);
  bool LocalEchoOn() const;
  void OnTelnetNotice(TelnetNotice notice);
  void ShowMessage(const std::string& text);
  void ShowTraffic();
  // The first `count` queued bytes go to the screen.
  void ShowQueued(std::size_t count);
  bool ResumeInput();

  StatusSink& status;
  SessionScreen& screen;
  PaceClock& clock;
  LinePacer pacer;
  ByteBuffer queue;            // received, not yet shown: from queueStart on
  std::size_t queueStart = 0;
  bool inputHeld = false;      // input was reported and left unread
  SessionState state = SessionState::NoClient;
  SessionEnd end = SessionEnd::None;
  ByteLink* link = nullptr;
  std::uint8_t foreground = 0;
  std::uint8_t background = 0;
  std::string boardName;
  bool sessionStarted = false;  // the established connection has been handled
  bool closeWhenAttemptEnds = false;
  struct {
    bool established = false;
    bool input = false;
  } duringAttempt;
  bool welcomeShown = true;
  SessionRecord activeSession;
  long long rxCount = 0;
  long long txCount = 0;
  std::vector<TransferEngine*> transfers;
  LineOptions lineOptions;
  std::unique_ptr<TelnetLayer> telnet;  // kept until the next attempt
  // A raw connection's first bytes, to tell a telnet server by.
  std::array<std::uint8_t, 2> rawStart{};
  std::size_t rawStartSeen = 0;

  class TelnetSide : public TelnetPeer {
   public:
    explicit TelnetSide(TerminalSession& session) : session(session) {}
    void TelnetData(const std::uint8_t* data, std::size_t length) override { session.Deliver(data, length); }
    void TelnetWrite(const std::uint8_t* data, std::size_t length) override;
    void Notice(TelnetNotice notice) override { session.OnTelnetNotice(notice); }

   private:
    TerminalSession& session;
  } telnetSide{*this};

  class Line : public TransferLink {
   public:
    explicit Line(TerminalSession& session) : session(session) {}
    void write(const std::uint8_t* bytes, std::size_t size) override;
    void discardPendingInput() override;

   private:
    TerminalSession& session;
  } line{*this};
};
