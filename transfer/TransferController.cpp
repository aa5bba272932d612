#include "transfer/TransferController.h"

#include <string_view>
#include <utility>

#include "settings/FileHelpers.h"

namespace {
std::string Counted(const char* before, std::size_t count, const char* after) {
  return before + std::to_string(count) + after;
}

// Why a transfer stopped with its connection, for the status text.
std::string Stopped(const char* protocol, SessionEnd how) {
  const char* why = "connection closed";
  if (how == SessionEnd::Dropped) why = "connection dropped";
  if (how == SessionEnd::Disconnected) why = "disconnected by user";
  return std::string(protocol) + " stopped (" + why + ")";
}
}  // namespace

TransferController::TransferController(TransferLink& line, TransferScheduler& xmodemClock,
                                       TransferScheduler& punterClock, StatusSink& status, TransferDialogs& dialogs,
                                       const bool& promptAfterReceive, std::function<bool()> connected)
    : line(line),
      xmodemClock(xmodemClock),
      punterClock(punterClock),
      status(status),
      dialogs(dialogs),
      promptAfterReceive(promptAfterReceive),
      connected(std::move(connected)) {}

bool TransferController::Running() const {
  return (xmodem && xmodem->isActive()) || (punter && punter->isActive());
}

bool TransferController::SaveOffered() const { return !received.empty() || (punter && !punter->data().empty()); }

// Commands

void TransferController::XmodemReceive() {
  xmodem = std::make_unique<Xmodem>(line, xmodemClock);
  xmodem->initiate();
  Show("Xmodem receive; handshaking");
}

void TransferController::PunterReceive() {
  punter = std::make_unique<Punter>(line, punterClock);
  punter->initiate();
}

void TransferController::XmodemSend(bool oneK) {
  if (loaded.empty()) LoadFile();
  if (loaded.empty()) {
    Show("Xmodem send; no file loaded");
    return;
  }
  // The connection may have ended while the dialog was open.
  if (!connected()) {
    Show("Xmodem send; not connected");
    return;
  }
  xmodem = std::make_unique<Xmodem>(line, xmodemClock);
  xmodem->initiateSend(loaded, oneK);
  Show("Xmodem send; handshaking");
}

void TransferController::LoadFile() {
  const std::string path = dialogs.ChooseFileToSend();
  if (path.empty()) return;
  loadedPath = path;
  LoadedFile file;
  if (readWholeFile(path, file)) {
    loaded = std::move(file.bytes);
    Show("Loaded " + path);
  } else {
    // Nothing is loaded rather than the file chosen before.
    loaded.clear();
    Show("Could not read " + path);
  }
}

void TransferController::SaveFile() {
  const std::string path = dialogs.ChooseFileToSave();
  if (path.empty()) return;
  // The last completed receive; before any, what a Punter receive holds.
  const ByteBuffer& data = !received.empty() || !punter ? received : punter->data();
  const std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size());
  // Replaced whole or not at all; a failed write says nothing.
  if (replaceFileAtomically(path, bytes, saveSteps)) Show("Saved " + path);
}

void TransferController::Cancel() {
  if (xmodem && xmodem->isActive()) {
    xmodem->cancel();
    // A send waits for the receiver's next answer, a receive for the
    // sender's next packet, to tell the other side.
    if (xmodem->isActive()) {
      Show("Xmodem cancelled by user");
    } else {
      XmodemEnded();
    }
  }
  if (punter && punter->isActive()) {
    punter->cancel();
    Show("Punter cancelled by user");
  }
}

void TransferController::XmodemTimerFired(int id) {
  if (!xmodem || !xmodem->isActive()) return;
  xmodem->timerFired(id);
  if (!xmodem->isActive()) XmodemEnded();
}

void TransferController::PunterTimerFired(int id) {
  if (punter) punter->timerFired(id);
}

// Progress and ends

void TransferController::XmodemProgress() {
  if (!xmodem->isActive()) {
    XmodemEnded();
  } else if (xmodem->wasCancelRequested()) {
    Show("Xmodem cancelled by user");
  } else if (xmodem->isReceiving()) {
    Show(Counted("Xmodem receiving: ", xmodem->receivedData().size(), " bytes"));
  } else {
    Show(Counted("Xmodem sending: ", xmodem->bytesLeftToSend(), " bytes left"));
  }
}

void TransferController::XmodemEnded() {
  const bool receive = xmodem->transferMode() == Xmodem::Mode::Receive;
  switch (xmodem->end()) {
    case TransferEnd::Completed:
      if (receive) {
        Received(xmodem->receivedData(), "Xmodem");
      } else {
        Show(Counted("Xmodem sent ", loaded.size(), " bytes"));
        loaded.clear();
      }
      break;
    case TransferEnd::CancelledByEndpoint: Show("Xmodem cancelled by endpoint"); break;
    case TransferEnd::CancelledByUser: Show("Xmodem cancelled by user"); break;
    // Not a file received: nothing to save, and no count that looks like one.
    case TransferEnd::TooManyErrors: Show("Xmodem receive failed (too many errors)"); break;
    case TransferEnd::OutOfSequence: Show("Xmodem receive failed (out of sequence)"); break;
    case TransferEnd::ConnectionClosed:  // told by ConnectionEnded
    case TransferEnd::Running: break;
  }
}

void TransferController::PunterProgress() {
  if (punter->isActive()) {
    Show(Counted("Punter receiving: ", punter->data().size(), " bytes"));
  } else if (punter->end() == TransferEnd::Completed) {
    Received(punter->data(), "Punter");
  }
}

void TransferController::Received(const ByteBuffer& data, const char* protocol) {
  received = data;
  Show(Counted((std::string(protocol) + " received ").c_str(), received.size(), " bytes"));
  if (promptAfterReceive) SaveFile();
}

void TransferController::Show(const std::string& text) { status.ShowStatus(StatusField::Message, text); }

// Routes

bool TransferController::PunterRouteEngine::Active() const { return owner.punter && owner.punter->isActive(); }

void TransferController::PunterRouteEngine::TakeBytes(const std::uint8_t* data, std::size_t length) {
  owner.punter->recieve(data, length);
  owner.PunterProgress();
}

void TransferController::PunterRouteEngine::ConnectionEnded(SessionEnd how) {
  owner.punter->connectionClosed();
  owner.Show(Stopped("Punter", how));
}

bool TransferController::XmodemRouteEngine::Active() const { return owner.xmodem && owner.xmodem->isActive(); }

void TransferController::XmodemRouteEngine::TakeBytes(const std::uint8_t* data, std::size_t length) {
  owner.xmodem->process(data, length);
  owner.XmodemProgress();
}

void TransferController::XmodemRouteEngine::ConnectionEnded(SessionEnd how) {
  owner.xmodem->connectionClosed();
  owner.Show(Stopped("Xmodem", how));
}
