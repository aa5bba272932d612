// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/TerminalSession.h"

#include <algorithm>
#include <limits>

#include "keyboard/KeyPressAction.h"

namespace {
constexpr const char* kTelnetHint = "This board looks like a telnet board: the entry's Telnet option would fit";
constexpr const char* kServerEchoes = "The board echoes typed keys itself (telnet): local echo is off";
constexpr const char* kServerStopsEchoing = "The board no longer echoes typed keys (telnet): local echo is on";
constexpr const char* kOverlongNegotiation = "The board sent an overlong telnet negotiation: skipped to its end";
constexpr const char* kBrokenTelnet = "Disconnected: the board's telnet server broke the protocol";

const char* FailureMessage(qwx::ConnectResult result) {
  switch (result) {
    case qwx::ConnectResult::HostNameFailed: return "Connection failed (host name)";
    case qwx::ConnectResult::Refused: return "Connection failed (refused)";
    case qwx::ConnectResult::TimedOut: return "Connection failed (timeout)";
    case qwx::ConnectResult::Cancelled: return "Connection cancelled by user";
    case qwx::ConnectResult::Connected: break;
  }
  return "";
}

SessionEnd EndOfFailure(qwx::ConnectResult result) {
  switch (result) {
    case qwx::ConnectResult::HostNameFailed: return SessionEnd::HostNameFailed;
    case qwx::ConnectResult::Refused: return SessionEnd::Refused;
    case qwx::ConnectResult::TimedOut: return SessionEnd::TimedOut;
    case qwx::ConnectResult::Cancelled: return SessionEnd::Cancelled;
    case qwx::ConnectResult::Connected: break;
  }
  return SessionEnd::None;
}
}  // namespace

TerminalSession::TerminalSession(StatusSink& status, SessionScreen& screen, ByteBuffer welcome, PaceClock& clock,
                                 std::size_t bufferCeiling)
    : status(status), screen(screen), clock(clock), activeSession(std::move(welcome), bufferCeiling) {}

void TerminalSession::AttemptStarted(ByteLink& newLink, const std::string& address, std::uint16_t port,
                                     std::uint8_t entryForeground, std::uint8_t entryBackground,
                                     const std::string& entryName, const LineOptions& line) {
  if (HasClient()) return;
  link = &newLink;
  lineOptions = line;
  telnet = line.telnet ? std::make_unique<TelnetLayer>(telnetSide) : nullptr;
  boardName = entryName;
  foreground = entryForeground;
  background = entryBackground;
  state = SessionState::Connecting;
  end = SessionEnd::None;
  sessionStarted = false;
  closeWhenAttemptEnds = false;
  duringAttempt = {};
  // The address as the entry holds it, blanks and all.
  ShowMessage("Connecting to " + address + ":" + std::to_string(port));
}

TerminalSession::AttemptFollowUp TerminalSession::AttemptEnded(qwx::ConnectResult result) {
  AttemptFollowUp followUp;
  if (state != SessionState::Connecting) return followUp;
  followUp.closeWindow = closeWhenAttemptEnds;
  closeWhenAttemptEnds = false;
  if (result != qwx::ConnectResult::Connected) {
    state = SessionState::Ended;
    end = EndOfFailure(result);
    link = nullptr;
    ShowMessage(FailureMessage(result));
    return followUp;
  }
  state = SessionState::Connected;
  followUp.keepClient = true;
  // Events the attempt's wait dispatched before it had ended count now.
  if (duringAttempt.established) StartSession();
  followUp.readInput = duringAttempt.input;
  return followUp;
}

void TerminalSession::ConnectionEstablished() {
  if (state == SessionState::Connecting) {
    duringAttempt.established = true;
  } else if (state == SessionState::Connected && !sessionStarted) {
    StartSession();
  }
}

bool TerminalSession::InputWaiting() {
  if (state == SessionState::Connecting) {
    duringAttempt.input = true;
    return false;
  }
  if (state != SessionState::Connected) return false;
  // The socket may report input before the connection itself: the session
  // (clearing the welcome screen, counting from zero) starts first.
  if (!sessionStarted) StartSession();
  // Left unread, the socket reports nothing more: the pace asks for it.
  if (ReadAllowance() == 0) {
    inputHeld = true;
    return false;
  }
  return true;
}

void TerminalSession::StartSession() {
  sessionStarted = true;
  inputHeld = false;
  // What the last connection sent is all on the screen before this one starts.
  ShowQueued(QueuedBytes());
  screen.SetEntryColours(foreground, background);
  if (welcomeShown) {
    // The first connection of the run replaces the welcome screen.
    screen.Clear();
    activeSession.Clear();
    welcomeShown = false;
    status.ShowStatus(StatusField::ActiveSession, ActiveSessionText());
  } else {
    // Later ones go on below the last, on a screen of their own: a board
    // that left black text or reverse on must not hide the next one's.
    // The session buffer goes on as well.
    screen.StartAfresh();
  }
  rxCount = 0;
  txCount = 0;
  ShowTraffic();
  ShowMessage("Connected.");
  rawStartSeen = 0;
  if (telnet) telnet->Start();
}

void TerminalSession::Received(const std::uint8_t* data, std::size_t length) {
  rxCount += static_cast<long long>(length);
  ShowTraffic();
  // The layer hands the board's data on to Deliver.
  if (telnet) {
    telnet->Receive(data, length);
    return;
  }
  NoteRawStart(data, length);
  Deliver(data, length);
}

void TerminalSession::Deliver(const std::uint8_t* data, std::size_t length) {
  for (TransferEngine* transfer : transfers) {
    if (!transfer->Active()) continue;
    // A transfer's bytes are neither stored nor shown, and come at full
    // speed; what was received before it is shown first.
    ShowQueued(QueuedBytes());
    transfer->TakeBytes(data, length);
    return;
  }
  ShowData(data, length);
}

// The board's data and the keys echoed locally, in the order they came:
// at the line speed when one is in force.
void TerminalSession::ShowData(const std::uint8_t* data, std::size_t length) {
  activeSession.Append(data, length);
  if (!pacer.Paced()) {
    screen.Show(data, length);
  } else if (length > 0) {
    // An idle line starts sending now.
    if (QueuedBytes() == 0) {
      pacer.Restart(clock.Now());
      clock.StartTicks(LinePacer::kTickInterval);
    }
    queue.insert(queue.end(), data, data + length);
  }
  status.ShowStatus(StatusField::ActiveSession, ActiveSessionText());
}

bool TerminalSession::SetLineSpeed(std::uint32_t bitsPerSecond) {
  pacer.SetSpeed(bitsPerSecond, clock.Now());
  if (!pacer.Paced()) ShowQueued(QueuedBytes());
  ShowTraffic();
  return ResumeInput();
}

std::size_t TerminalSession::ReadAllowance() const {
  if (!pacer.Paced() || TransferRunning()) return std::numeric_limits<std::size_t>::max();
  const std::size_t most = std::max<std::size_t>(1, pacer.BytesIn(kMostQueued));
  return most > QueuedBytes() ? most - QueuedBytes() : 0;
}

bool TerminalSession::PaceTick() {
  const std::size_t waiting = QueuedBytes();
  ShowQueued(TransferRunning() ? waiting : pacer.Release(waiting, clock.Now()));
  return ResumeInput();
}

void TerminalSession::ShowQueued(std::size_t count) {
  count = std::min(count, QueuedBytes());
  if (count > 0) screen.Show(queue.data() + queueStart, count);
  queueStart += count;
  if (queueStart == queue.size()) {
    // Cleared, not freed: the next bytes reuse the room.
    queue.clear();
    queueStart = 0;
    clock.StopTicks();
  } else if (queueStart > queue.size() / 2) {
    queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(queueStart));
    queueStart = 0;
  }
}

bool TerminalSession::ResumeInput() {
  if (!inputHeld) return false;
  // Held back, reading waits until half the queue has been shown: then it
  // comes about once a second, with the status texts each read changes,
  // rather than at every tick.
  const bool paced = pacer.Paced() && !TransferRunning();
  if (paced && QueuedBytes() > pacer.BytesIn(kMostQueued) / 2) return false;
  inputHeld = false;
  return state == SessionState::Connected;
}

bool TerminalSession::ConnectionLost(LineLoss how) {
  // While connecting, a failed attempt is the attempt's result, not a drop.
  if (state != SessionState::Connected) return false;
  if (how == LineLoss::ClosedByBoard && !TransferRunning()) {
    EndConnection(SessionEnd::ClosedByBoard, "Disconnected by the board");
  } else {
    EndConnection(SessionEnd::Dropped, "Disconnected (connection dropped)");
  }
  return true;
}

void TerminalSession::BytesSent(std::uint64_t count) {
  txCount += static_cast<long long>(count);
  ShowTraffic();
}

bool TerminalSession::Disconnect() {
  if (!HasClient()) return false;
  // During the attempt this only asks it to give up; AttemptEnded reports that.
  if (!link->Disconnect()) return false;
  EndConnection(SessionEnd::Disconnected, "Disconnected by user");
  return true;
}

void TerminalSession::DisconnectForExit() {
  if (HasClient()) link->Disconnect();
}

bool TerminalSession::CloseMustWait(bool canWait) {
  // The window cannot go while the attempt waits inside one of its handlers.
  if (state == SessionState::Connecting && canWait) {
    closeWhenAttemptEnds = true;
    link->Disconnect();
    return true;
  }
  // Nobody reads the status bar of a window that goes.
  if (HasClient()) EndConnection(SessionEnd::Closed, "");
  return false;
}

void TerminalSession::EndConnection(SessionEnd how, const std::string& message) {
  state = SessionState::Ended;
  end = how;
  link = nullptr;
  // What was received goes on to the screen at its pace.
  inputHeld = false;
  if (!message.empty()) ShowMessage(message);
  // A running transfer stops at once (its own text follows the connection's)
  // and can no longer write: the line has no client behind it any more.
  for (TransferEngine* transfer : transfers)
    if (transfer->Active()) transfer->ConnectionEnded(how);
}

KeyOutcome TerminalSession::Key(const KeyOrigin& origin, const std::function<C64KeyPress()>& translate) {
  switch (RouteKey(origin, HasClient(), TransferWorking())) {
    case KeyRoute::Window: return KeyOutcome::PassOn;
    case KeyRoute::CancelTransfer: return KeyOutcome::CancelTransfer;
    case KeyRoute::Board: break;
  }
  const KeyPressAction action = ActionOfKeyPress(translate());
  switch (action.kind) {
    case KeyPressAction::Kind::PassOn: return KeyOutcome::PassOn;
    case KeyPressAction::Kind::ToggleCharset: screen.ToggleCharset(); break;
    case KeyPressAction::Kind::Send: Type(&action.byte, 1); break;
    case KeyPressAction::Kind::Swallow: break;
  }
  return KeyOutcome::Consumed;
}

void TerminalSession::Type(const std::uint8_t* keys, std::size_t count) {
  if (state != SessionState::Connected || count == 0) return;
  WriteToLine(keys, count);
  // For a board that does not echo: the keys as they would have come back.
  if (LocalEchoOn()) ShowData(keys, count);
}

void TerminalSession::AddTransfer(TransferEngine& transfer) {
  if (std::find(transfers.begin(), transfers.end(), &transfer) == transfers.end()) transfers.push_back(&transfer);
}

void TerminalSession::RemoveTransfer(TransferEngine& transfer) {
  transfers.erase(std::remove(transfers.begin(), transfers.end(), &transfer), transfers.end());
}

bool TerminalSession::TransferRunning() const {
  return std::any_of(transfers.begin(), transfers.end(), [](const TransferEngine* t) { return t->Active(); });
}

bool TerminalSession::TransferWorking() const {
  return std::any_of(transfers.begin(), transfers.end(), [](const TransferEngine* t) { return t->Working(); });
}

void TerminalSession::Line::write(const std::uint8_t* bytes, std::size_t size) {
  if (session.state == SessionState::Connected) session.WriteToLine(bytes, size);
}

void TerminalSession::WriteToLine(const std::uint8_t* data, std::size_t length) {
  if (telnet)
    telnet->Send(data, length);
  else
    link->write(data, length);
}

void TerminalSession::TelnetSide::TelnetWrite(const std::uint8_t* data, std::size_t length) {
  if (session.state == SessionState::Connected) session.link->write(data, length);
}

void TerminalSession::NoteRawStart(const std::uint8_t* data, std::size_t length) {
  if (rawStartSeen == rawStart.size()) return;
  const std::size_t taken = std::min(length, rawStart.size() - rawStartSeen);
  std::copy_n(data, taken, rawStart.begin() + static_cast<std::ptrdiff_t>(rawStartSeen));
  rawStartSeen += taken;
  // Only said: the bytes go to the screen as ever.
  if (rawStartSeen == rawStart.size() && LooksLikeTelnet(rawStart[0], rawStart[1])) ShowMessage(kTelnetHint);
}

bool TerminalSession::LocalEchoOn() const {
  // The server's ECHO, once it took it, wins over the entry's flag.
  return lineOptions.localEcho && !(telnet && telnet->ServerEchoes());
}

void TerminalSession::OnTelnetNotice(TelnetNotice notice) {
  switch (notice) {
    case TelnetNotice::ServerEchoes:
      if (lineOptions.localEcho) ShowMessage(kServerEchoes);
      break;
    case TelnetNotice::ServerStopsEchoing:
      if (lineOptions.localEcho) ShowMessage(kServerStopsEchoing);
      break;
    case TelnetNotice::OverlongNegotiation: ShowMessage(kOverlongNegotiation); break;
    case TelnetNotice::Unusable:
      if (state != SessionState::Connected) break;
      link->Disconnect();
      EndConnection(SessionEnd::BrokenTelnet, kBrokenTelnet);
      break;
  }
}

void TerminalSession::Line::discardPendingInput() {
  if (session.state == SessionState::Connected) session.link->discardPendingInput();
}

std::string TerminalSession::ConnectedBoard() const {
  return state == SessionState::Connected && sessionStarted ? boardName : std::string();
}

std::string TerminalSession::ActiveSessionText() const {
  if (welcomeShown) return "Active: 0";
  return "Active: " + RecordSizeText(activeSession.Size(), activeSession.Trimmed(), activeSession.Ceiling());
}

void TerminalSession::ShowMessage(const std::string& text) { status.ShowStatus(StatusField::Message, text); }

void TerminalSession::ShowTraffic() {
  std::string text = "Rx: " + std::to_string(rxCount) + " | Tx: " + std::to_string(txCount);
  if (pacer.Paced()) text += " | " + lineSpeedText(pacer.Speed());
  status.ShowStatus(StatusField::Traffic, text);
}
