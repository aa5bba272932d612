#include "transfer/TransferController.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

#include "settings/FileHelpers.h"

namespace {
// What a new file gets before the user's umask takes its part.
constexpr mode_t kNewFileMode = 0666;
constexpr const char* kDiscardingSuffix = "; discarding the board's data";

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

mode_t ProcessUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
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

bool TransferController::Running() const { return XmodemActive() || PunterActive(); }

bool TransferController::SaveOffered() const { return receivedOnce || !partial.empty(); }

// Commands

void TransferController::XmodemReceive() {
  // A new transfer takes the line's bytes from now on.
  StopDiscarding();
  xmodem = std::make_unique<Xmodem>(line, xmodemClock);
  xmodem->initiate();
  Show("Xmodem receive; handshaking");
}

void TransferController::PunterReceive() {
  StopDiscarding();
  punter = std::make_unique<Punter>(line, punterClock);
  punter->initiate();
  Show("Punter receive: waiting for the board");
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
  StopDiscarding();
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
  if (!lastIncomplete) {
    if (receivedOnce) {
      SaveBytes(received, false);
    } else {
      Show("No file received");
    }
    return;
  }
  // Never a part for a whole: the user is told, and saves the part only on asking for it.
  if (partial.empty() && !receivedOnce) {
    Show("No complete file received");
    return;
  }
  switch (dialogs.AskAboutIncomplete(IncompleteMessage(), !partial.empty(), receivedOnce)) {
    case TransferDialogs::IncompleteChoice::SavePartial:
      if (!partial.empty()) SaveBytes(partial, true);
      break;
    case TransferDialogs::IncompleteChoice::SaveEarlier:
      if (receivedOnce) SaveBytes(received, false);
      break;
    case TransferDialogs::IncompleteChoice::Nothing: break;
  }
}

std::string TransferController::IncompleteMessage() const {
  std::string message = "The last " + incompleteProtocol + " receive stopped ";
  message += partial.empty() ? "before any data arrived" : Counted("after ", partial.size(), " bytes");
  message += ": no complete file is there.";
  if (receivedOnce) {
    message += Counted(" The complete file received before it (", received.size(), " bytes) can still be saved.");
  }
  return message;
}

void TransferController::SaveBytes(const ByteBuffer& data, bool partialFile) {
  const std::string path = dialogs.ChooseFileToSave(partialFile);
  if (path.empty()) return;
  struct stat before {};
  const bool existed = ::stat(path.c_str(), &before) == 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size());
  // Replaced whole or not at all.
  errno = 0;
  if (!replaceFileAtomically(path, bytes, saveSteps)) {
    const int why = errno != 0 ? errno : EIO;
    const std::string message = "Could not save " + path + ": " + std::strerror(why);
    Show(message);
    dialogs.ShowSaveFailure(message);
    return;
  }
  // The replacement is made private; a file new to the user gets what the
  // user's umask gives new files.
  if (!existed) ::chmod(path.c_str(), kNewFileMode & ~ProcessUmask());
  Show((partialFile ? "Saved partial file " : "Saved ") + path);
}

void TransferController::Cancel() {
  if (XmodemActive()) {
    xmodem->cancel();
    XmodemEnded();
  }
  if (PunterActive()) {
    punter->cancel();
    PunterEnded();
  }
}

void TransferController::XmodemTimerFired(int id) {
  if (id == kQuietLineTimer) {
    LineQuiet();
    return;
  }
  if (!XmodemActive()) return;
  xmodem->timerFired(id);
  if (!xmodem->isActive()) XmodemEnded();
}

void TransferController::PunterTimerFired(int id) {
  if (id == kQuietLineTimer) {
    LineQuiet();
    return;
  }
  if (!PunterActive()) return;
  punter->timerFired(id);
  if (!punter->isActive()) PunterEnded();
}

// Progress and ends

void TransferController::XmodemProgress() {
  if (!xmodem->isActive()) {
    XmodemEnded();
  } else if (xmodem->isReceiving()) {
    Show(Counted("Xmodem receiving: ", xmodem->receivedData().size(), " bytes"));
  } else {
    Show(Counted("Xmodem sending: ", xmodem->bytesLeftToSend(), " bytes left"));
  }
}

void TransferController::XmodemEnded() {
  const bool receive = xmodem->transferMode() == Xmodem::Mode::Receive;
  std::string text;
  bool quietLine = true;
  switch (xmodem->end()) {
    case TransferEnd::Completed:
      if (receive) {
        Received(xmodem->takeReceivedData(), "Xmodem");
      } else {
        Show(Counted("Xmodem sent ", loaded.size(), " bytes"));
        loaded.clear();
      }
      return;
    case TransferEnd::CancelledByEndpoint: text = "Xmodem cancelled by endpoint"; break;
    case TransferEnd::CancelledByUser: text = "Xmodem cancelled by user"; break;
    case TransferEnd::TooManyErrors:
      text = receive ? "Xmodem receive failed (too many errors)" : "Xmodem send failed (too many errors)";
      break;
    case TransferEnd::OutOfSequence: text = "Xmodem receive failed (out of sequence)"; break;
    case TransferEnd::FileTooLarge: text = "Xmodem receive failed (file too large)"; break;
    case TransferEnd::NoAnswer:
      // The line has long been quiet.
      text = "Xmodem receive failed (no answer)";
      quietLine = false;
      break;
    case TransferEnd::ConnectionClosed:  // told by ConnectionEnded
    case TransferEnd::Running: return;
  }
  if (receive) Incomplete(xmodem->takeReceivedData(), "Xmodem");
  Failed(text, quietLine, xmodemClock);
}

void TransferController::PunterProgress() {
  if (punter->isActive()) {
    Show(Counted("Punter receiving: ", punter->data().size(), " bytes"));
  } else {
    PunterEnded();
  }
}

void TransferController::PunterEnded() {
  std::string text;
  bool quietLine = true;
  switch (punter->end()) {
    case TransferEnd::Completed: Received(punter->takeData(), "Punter"); return;
    case TransferEnd::CancelledByUser: text = "Punter cancelled by user"; break;
    case TransferEnd::TooManyErrors: text = "Punter receive failed (too many errors)"; break;
    case TransferEnd::FileTooLarge: text = "Punter receive failed (file too large)"; break;
    case TransferEnd::NoAnswer:
      text = "Punter receive failed (no answer)";
      quietLine = false;
      break;
    case TransferEnd::CancelledByEndpoint:  // Punter has no word for it
    case TransferEnd::OutOfSequence:
    case TransferEnd::ConnectionClosed:  // told by ConnectionEnded
    case TransferEnd::Running: return;
  }
  Incomplete(punter->takeData(), "Punter");
  Failed(text, quietLine, punterClock);
}

void TransferController::Failed(const std::string& text, bool quietLine, TransferScheduler& clock) {
  StopDiscarding();
  if (!quietLine) {
    Show(text);
    return;
  }
  discard.on = true;
  discard.clock = &clock;
  discard.endText = text;
  Show(text + kDiscardingSuffix);
  clock.start(kQuietLineTimer, kQuietLineMs, TransferScheduler::Repeat::Once);
}

void TransferController::Discard() {
  // More of what the board still sends: the quiet wait starts over.
  if (discard.on) discard.clock->start(kQuietLineTimer, kQuietLineMs, TransferScheduler::Repeat::Once);
}

void TransferController::LineQuiet() {
  if (!discard.on) return;
  discard.on = false;
  Show(discard.endText);
}

void TransferController::StopDiscarding() {
  if (!discard.on) return;
  discard.on = false;
  discard.clock->stop(kQuietLineTimer);
}

void TransferController::Received(ByteBuffer data, const char* protocol) {
  received = std::move(data);
  receivedOnce = true;
  lastIncomplete = false;
  partial = ByteBuffer();
  Show(Counted((std::string(protocol) + " received ").c_str(), received.size(), " bytes"));
  if (promptAfterReceive) SaveFile();
}

void TransferController::Incomplete(ByteBuffer data, const char* protocol) {
  partial = std::move(data);
  lastIncomplete = true;
  incompleteProtocol = protocol;
}

void TransferController::Show(const std::string& text) { status.ShowStatus(StatusField::Message, text); }

// Routes: an active engine takes the chunks; after a failure, the
// quiet-line wait takes them and drops them.

bool TransferController::PunterRouteEngine::Active() const { return owner.PunterActive() || owner.discard.on; }

void TransferController::PunterRouteEngine::TakeBytes(const std::uint8_t* data, std::size_t length) {
  if (!owner.PunterActive()) {
    owner.Discard();
    return;
  }
  owner.punter->recieve(data, length);
  owner.PunterProgress();
}

void TransferController::PunterRouteEngine::ConnectionEnded(SessionEnd how) {
  if (!owner.PunterActive()) {
    owner.StopDiscarding();
    return;
  }
  owner.punter->connectionClosed();
  owner.Incomplete(owner.punter->takeData(), "Punter");
  owner.Show(Stopped("Punter", how));
}

bool TransferController::XmodemRouteEngine::Active() const { return owner.XmodemActive() || owner.discard.on; }

void TransferController::XmodemRouteEngine::TakeBytes(const std::uint8_t* data, std::size_t length) {
  if (!owner.XmodemActive()) {
    owner.Discard();
    return;
  }
  owner.xmodem->process(data, length);
  owner.XmodemProgress();
}

void TransferController::XmodemRouteEngine::ConnectionEnded(SessionEnd how) {
  if (!owner.XmodemActive()) {
    owner.StopDiscarding();
    return;
  }
  const bool receive = owner.xmodem->isReceiving();
  owner.xmodem->connectionClosed();
  if (receive) owner.Incomplete(owner.xmodem->takeReceivedData(), "Xmodem");
  owner.Show(Stopped("Xmodem", how));
}
