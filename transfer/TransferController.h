// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's transfers without the toolkit: the current engine (one
// at a time, made from its row of the protocol table), the file loaded to
// send and the last single file received, the Transfer menu's commands, the
// status texts after each chunk and at each end, the batch files saved
// into the download folder, and when the file dialogs open. The session
// routes received chunks to its one route; the window supplies the
// dialogs and the one timer every deadline is served by.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "net/SessionOutputs.h"
#include "net/TransferEngine.h"
#include "settings/AtomicFileWrite.h"
#include "settings/ByteBuffer.h"
#include "transfer/DownloadFolder.h"
#include "transfer/FileTransfer.h"
#include "transfer/TransferClock.h"
#include "transfer/TransferLink.h"
#include "transfer/TransferProtocols.h"

// The dialogs of the transfer commands. Paths are 8-bit texts.
class TransferDialogs {
 public:
  // What to save when the last receive did not complete.
  enum class IncompleteChoice { SavePartial, SaveEarlier, Nothing };

  virtual ~TransferDialogs() = default;
  // "Load File...": the file chosen to send, empty when cancelled.
  virtual std::string ChooseFileToSend() = 0;
  // "Save File...": where to save (the dialog asked before overwriting),
  // empty when cancelled. `partial`: what is saved is the part of a file.
  virtual std::string ChooseFileToSave(bool partial) = 0;
  // "Save File..." after a receive that did not complete: `message` says
  // so; the answers offered are saving its part (`partialOffered`), the
  // complete file received before it (`earlierOffered`) or nothing.
  virtual IncompleteChoice AskAboutIncomplete(const std::string& message, bool partialOffered,
                                              bool earlierOffered) = 0;
  // A save failed; `message` says why.
  virtual void ShowSaveFailure(const std::string& message) = 0;
};

class TransferController {
 public:
  // After a transfer is cancelled or fails, the board may go on sending its
  // part of it: the line's bytes are kept off the screen until it has been
  // quiet this long.
  static constexpr std::uint32_t kQuietLineMs = 2000;

  // `line` is the session's; `timer` is the owner's one timer, which calls
  // TimeReached when the moment it was set to has come.
  // `promptAfterReceive` is read at each completed receive; `connected`
  // tells whether the line still has a connection behind it (it may go
  // while a dialog is open).
  TransferController(TransferLink& line, TransferTimer& timer, StatusSink& status, TransferDialogs& dialogs,
                     const bool& promptAfterReceive, std::function<bool()> connected);

  // The Transfer menu's commands. The window offers them by the rules below.
  // A send without a file loaded asks for one first.
  void Start(TransferProtocolId protocol);
  void XmodemReceive() { Start(TransferProtocolId::XmodemReceive); }
  void PunterReceive() { Start(TransferProtocolId::PunterReceive); }
  void XmodemSend(bool oneK) { Start(oneK ? TransferProtocolId::Xmodem1kSend : TransferProtocolId::XmodemSend); }
  void LoadFile();
  void SaveFile();
  void Cancel();

  // The owner's timer has come: every deadline due is served.
  void TimeReached();

  // What the session asks before the terminal gets a chunk.
  TransferEngine& Route() { return route; }

  // An engine is at work (the quiet-line wait is not counted).
  bool Running() const { return EngineActive(); }
  // A protocol's command is offered: connected and no transfer at work.
  bool Offered() const { return connected() && !Running(); }
  // The line's bytes are being kept off the screen until it is quiet.
  bool Discarding() const { return discard.on; }
  // "Save File..." has something to save: a completed receive, or the part
  // of one that did not complete.
  bool SaveOffered() const;

  const ByteBuffer& FileToSend() const { return loaded; }
  const std::string& LoadedPath() const { return loadedPath; }
  // The last completed single-file receive (empty before one).
  const ByteBuffer& ReceivedFile() const { return received; }
  // The part of the last receive when it did not complete.
  const ByteBuffer& PartialFile() const { return partial; }
  // The current engine and its protocol (null before the first transfer).
  const FileTransfer* Current() const { return engine.get(); }
  const TransferProtocol* CurrentProtocol() const { return protocol; }

  // How "Save File..." writes; tests make single steps fail.
  FileWriteSteps saveSteps;
  // The folder batch files go to, asked at the start of each batch.
  std::function<std::string()> downloadFolder;
  // How batch files are written; tests make single steps fail.
  FileWriteSteps batchSteps;

 private:
  bool EngineActive() const { return engine && engine->isActive(); }
  bool Receiving() const { return protocol->direction == TransferDirection::Receive; }
  // After each call into the engine: batch files saved, progress or end shown.
  void AfterEngine();
  // True when a file was saved.
  bool SaveBatchFiles();
  void Progress();
  void Ended();
  std::string FailureText(TransferEnd end) const;
  std::string FilesText(std::size_t count) const;
  // Shows how a transfer ended that was no success; `quietLine`: the board
  // may still be sending, so its bytes are kept off the screen for a while.
  void Failed(const std::string& text, bool quietLine);
  void Received(ByteBuffer data);
  void Incomplete(ByteBuffer data);
  std::string IncompleteMessage() const;
  void SaveBytes(const ByteBuffer& data, bool partialFile);
  void Discard();
  void LineQuiet();
  void StopDiscarding();
  void ConnectionEnded(SessionEnd how);
  // Sets the owner's timer to the earliest deadline.
  void Rearm();
  void Show(const std::string& text);

  class RouteEngine : public TransferEngine {
   public:
    explicit RouteEngine(TransferController& owner) : owner(owner) {}
    bool Active() const override { return owner.EngineActive() || owner.discard.on; }
    bool Working() const override { return owner.EngineActive(); }
    void TakeBytes(const std::uint8_t* data, std::size_t length) override;
    void ConnectionEnded(SessionEnd how) override { owner.ConnectionEnded(how); }

   private:
    TransferController& owner;
  };

  TransferLink& line;
  TransferTimer& timer;
  StatusSink& status;
  TransferDialogs& dialogs;
  const bool& promptAfterReceive;
  std::function<bool()> connected;

  std::unique_ptr<FileTransfer> engine;
  const TransferProtocol* protocol = nullptr;
  ByteBuffer loaded;
  std::string loadedPath;
  std::int64_t loadedModified = 0;
  ByteBuffer received;
  bool receivedOnce = false;  // `received` holds a completed receive (it may be empty)
  // The last receive ended without its whole file: its part and protocol.
  bool lastIncomplete = false;
  ByteBuffer partial;
  std::string incompleteProtocol;
  // The batch under way or last ended: where its files go, how many went.
  std::optional<DownloadFolder> batch;
  std::size_t batchSaved = 0;
  std::string saveFailure;  // a batch file could not be written: why
  struct {
    bool on = false;
    TransferMs until = 0;
    std::string endText;
  } discard;
  RouteEngine route{*this};
};
