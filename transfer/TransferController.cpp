// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/TransferController.h"

#include <sys/stat.h>

#include <cstring>
#include <string_view>
#include <utility>

#include "settings/FileHelpers.h"
#include "settings/UserDirectories.h"
#include "transfer/TransferLimits.h"

namespace {
constexpr const char* kDiscardingSuffix = "; discarding the board's data";

std::string Counted(const std::string& before, std::size_t count, const char* after) {
  return before + std::to_string(count) + after;
}

// Why a transfer stopped with its connection, for the status text.
std::string Stopped(const std::string& protocol, SessionEnd how) {
  const char* why = "connection closed";
  if (how == SessionEnd::Dropped) why = "connection dropped";
  if (how == SessionEnd::Disconnected) why = "disconnected by user";
  return protocol + " stopped (" + why + ")";
}

// The name a sent file goes by: the last part of its path.
std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }
}  // namespace

TransferController::TransferController(TransferLink& line, TransferTimer& timer, StatusSink& status,
                                       TransferDialogs& dialogs, const bool& promptAfterReceive,
                                       std::function<bool()> connected)
    : line(line),
      timer(timer),
      status(status),
      dialogs(dialogs),
      promptAfterReceive(promptAfterReceive),
      connected(std::move(connected)) {}

bool TransferController::SaveOffered() const { return receivedOnce || !partial.empty(); }

// Commands

void TransferController::Start(TransferProtocolId id) {
  if (EngineActive()) return;
  const TransferProtocol& row = transferProtocol(id);
  const bool send = row.direction == TransferDirection::Send;
  if (send) {
    if (loaded.empty()) LoadFile();
    if (loaded.empty()) {
      Show(std::string(row.name) + " send; no file loaded");
      return;
    }
    // The connection may have ended while the dialog was open.
    if (!connected()) {
      Show(std::string(row.name) + " send; not connected");
      return;
    }
  }
  const std::string folder = !row.batch ? "" : downloadFolder ? downloadFolder() : defaultDownloadFolder();
  if (row.batch && folder.empty()) {
    Show(std::string(row.name) + " receive; no download folder");
    return;
  }
  // A new transfer takes the line's bytes from now on.
  StopDiscarding();
  protocol = &row;
  batch.reset();
  batchSaved = 0;
  saveFailure.clear();
  if (row.batch) {
    batch.emplace(folder);
    batch->steps = batchSteps;
  }
  const std::string name = BaseName(loadedPath);
  const OutgoingFile file{loaded, name, loadedModified};
  engine = row.start(line, timer, send ? &file : nullptr);
  Show(row.startText);
  Rearm();
}

void TransferController::LoadFile() {
  const std::string path = dialogs.ChooseFileToSend();
  if (path.empty()) return;
  loadedPath = path;
  LoadedFile file;
  struct stat info {};
  loadedModified = ::stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_mtime) : 0;
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
  const std::string_view bytes(reinterpret_cast<const char*>(data.data()), data.size());
  // Replaced whole or not at all; a new file gets the user's umask.
  if (const FileReplacement saved = replaceFileAtomically(path, bytes, saveSteps); !saved) {
    const std::string message = saveFailureText(path, saved.error);
    Show(message);
    dialogs.ShowSaveFailure(message);
    return;
  }
  Show((partialFile ? "Saved partial file " : "Saved ") + path);
}

void TransferController::Cancel() {
  if (!EngineActive()) return;
  engine->cancel();
  AfterEngine();
}

void TransferController::TimeReached() {
  if (EngineActive()) {
    engine->timeout();
    // A batch file may have completed with the engine's last word.
    if (SaveBatchFiles() && engine->isActive()) Progress();
    if (!engine->isActive()) Ended();
  }
  if (discard.on && timer.now() >= discard.until) LineQuiet();
  Rearm();
}

// Progress and ends

void TransferController::AfterEngine() {
  SaveBatchFiles();
  if (engine->isActive()) {
    Progress();
  } else {
    Ended();
  }
  Rearm();
}

bool TransferController::SaveBatchFiles() {
  if (!batch) return false;
  bool saved = false;
  for (const BatchFile& file : engine->takeFiles()) {
    // After a failure nothing more is written: the batch is stopping.
    if (!saveFailure.empty()) continue;
    const FolderSave result = batch->save(file.name, protocol->names, file.data);
    if (result.ok) {
      ++batchSaved;
      saved = true;
      continue;
    }
    saveFailure = "could not save " + result.path + ": " + std::strerror(result.error);
    if (engine->isActive()) engine->cancel();
  }
  return saved;
}

std::string TransferController::FilesText(std::size_t count) const {
  return std::to_string(count) + (count == 1 ? " file" : " files");
}

void TransferController::Progress() {
  const std::string name = protocol->name;
  if (!Receiving()) {
    Show(Counted(name + " sending: ", engine->progressBytes(), " bytes left"));
  } else if (!protocol->batch) {
    Show(Counted(name + " receiving: ", engine->progressBytes(), " bytes"));
  } else if (!engine->currentName().empty()) {
    const std::string file = safeFileName(engine->currentName(), protocol->names);
    const std::string number = std::to_string(engine->filesDone() + 1);
    Show(Counted(name + " receiving " + file + " (file " + number + "): ", engine->progressBytes(), " bytes"));
  } else if (batchSaved > 0) {
    Show(name + " receive: " + FilesText(batchSaved) + " saved, waiting for the next");
  }
}

void TransferController::Ended() {
  const std::string name = protocol->name;
  const TransferEnd end = engine->end();
  // A connection that ended has been told by ConnectionEnded.
  if (end == TransferEnd::Running || end == TransferEnd::ConnectionClosed) return;
  if (end == TransferEnd::Completed && saveFailure.empty()) {
    if (!Receiving()) {
      Show(Counted(name + " sent ", loaded.size(), " bytes"));
      loaded.clear();
    } else if (protocol->batch) {
      Show(name + " received " + FilesText(batchSaved) + " into " + batch->path());
    } else {
      Received(engine->takeData());
    }
    return;
  }
  std::string text = saveFailure.empty() ? FailureText(end) : name + " receive stopped (" + saveFailure + ")";
  if (Receiving() && !protocol->batch) Incomplete(engine->takeData());
  if (protocol->batch && batchSaved > 0) text += "; " + FilesText(batchSaved) + " saved";
  // After silence the line has long been quiet.
  Failed(text, end != TransferEnd::NoAnswer);
  if (!saveFailure.empty()) dialogs.ShowSaveFailure("C" + saveFailure.substr(1));
}

std::string TransferController::FailureText(TransferEnd end) const {
  const std::string name = protocol->name;
  const std::string failed = name + (Receiving() ? " receive failed (" : " send failed (");
  switch (end) {
    case TransferEnd::CancelledByUser: return name + " cancelled by user";
    case TransferEnd::CancelledByEndpoint: return name + " cancelled by endpoint";
    case TransferEnd::TooManyErrors: return failed + "too many errors)";
    case TransferEnd::OutOfSequence: return failed + "out of sequence)";
    case TransferEnd::NoAnswer: return failed + "no answer)";
    case TransferEnd::FileTooLarge: return failed + "file too large)";
    case TransferEnd::HeaderTooLong: return failed + "file header too long)";
    case TransferEnd::TooManyFiles:
      return name + " receive stopped: " + std::to_string(transfer_limits::kMaxBatchFiles) +
             " files is the most a batch takes";
    case TransferEnd::Completed:
    case TransferEnd::ConnectionClosed:
    case TransferEnd::Running: break;
  }
  return name + " stopped";
}

void TransferController::Failed(const std::string& text, bool quietLine) {
  StopDiscarding();
  if (!quietLine) {
    Show(text);
    return;
  }
  discard.on = true;
  discard.until = timer.now() + kQuietLineMs;
  discard.endText = text;
  Show(text + kDiscardingSuffix);
}

void TransferController::Discard() {
  // More of what the board still sends: the quiet wait starts over.
  if (discard.on) discard.until = timer.now() + kQuietLineMs;
  Rearm();
}

void TransferController::LineQuiet() {
  if (!discard.on) return;
  discard.on = false;
  Show(discard.endText);
}

void TransferController::StopDiscarding() { discard.on = false; }

void TransferController::Received(ByteBuffer data) {
  received = std::move(data);
  receivedOnce = true;
  lastIncomplete = false;
  partial = ByteBuffer();
  Show(Counted(std::string(protocol->name) + " received ", received.size(), " bytes"));
  if (promptAfterReceive) SaveFile();
}

void TransferController::Incomplete(ByteBuffer data) {
  partial = std::move(data);
  lastIncomplete = true;
  incompleteProtocol = protocol->name;
}

void TransferController::ConnectionEnded(SessionEnd how) {
  if (!EngineActive()) {
    StopDiscarding();
    Rearm();
    return;
  }
  engine->connectionClosed();
  // A send whose receiver has said it has the whole file is complete.
  if (engine->end() == TransferEnd::Completed) {
    Ended();
    Rearm();
    return;
  }
  // The files completed before it stay; the one on its way is not kept.
  SaveBatchFiles();
  if (Receiving() && !protocol->batch) Incomplete(engine->takeData());
  std::string text = Stopped(protocol->name, how);
  if (protocol->batch && batchSaved > 0) text += "; " + FilesText(batchSaved) + " saved";
  Show(text);
  Rearm();
}

void TransferController::Rearm() {
  std::optional<TransferMs> next = EngineActive() ? engine->deadline() : std::nullopt;
  if (discard.on) next = earlier(next, discard.until);
  timer.wakeAt(next);
}

void TransferController::Show(const std::string& text) { status.ShowStatus(StatusField::Message, text); }

void TransferController::RouteEngine::TakeBytes(const std::uint8_t* data, std::size_t length) {
  if (!owner.EngineActive()) {
    // After a failure, the quiet-line wait takes them and drops them.
    owner.Discard();
    return;
  }
  owner.engine->receive(data, length);
  owner.AfterEngine();
}
