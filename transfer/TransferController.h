#pragma once
// The main window's transfers without the toolkit: the current Xmodem and
// Punter objects (each replaced by the next command of its kind), the file
// loaded to send and the last file received, the commands of the Transfer
// menu, the status texts after each chunk and at each end, and when the
// file dialogs open. The session routes received chunks to it through its
// two routes, Punter's first; the window supplies the dialogs and the timers.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/SessionOutputs.h"
#include "net/TransferEngine.h"
#include "settings/AtomicFileWrite.h"
#include "settings/ByteBuffer.h"
#include "transfer/Punter.h"
#include "transfer/TransferLink.h"
#include "transfer/TransferScheduler.h"
#include "transfer/Xmodem.h"

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
  // quiet this long. The wait runs on the ended engine's clock, under an
  // id no engine uses.
  static constexpr int kQuietLineTimer = 100;
  static constexpr std::uint32_t kQuietLineMs = 2000;

  // `line` is the session's; each engine gets its own clock, whose timers
  // come back through XmodemTimerFired and PunterTimerFired.
  // `promptAfterReceive` is read at each completed receive; `connected`
  // tells whether the line still has a connection behind it (it may go
  // while a dialog is open).
  TransferController(TransferLink& line, TransferScheduler& xmodemClock, TransferScheduler& punterClock,
                     StatusSink& status, TransferDialogs& dialogs, const bool& promptAfterReceive,
                     std::function<bool()> connected);

  // The Transfer menu's commands. The window offers them by the rules below.
  void XmodemReceive();
  void PunterReceive();
  void XmodemSend(bool oneK);
  void LoadFile();
  void SaveFile();
  void Cancel();

  void XmodemTimerFired(int id);
  void PunterTimerFired(int id);

  // What the session asks, in this order, before the terminal gets a chunk.
  TransferEngine& PunterRoute() { return punterRoute; }
  TransferEngine& XmodemRoute() { return xmodemRoute; }

  // An engine is at work (the quiet-line wait is not counted).
  bool Running() const;
  // The line's bytes are being kept off the screen until it is quiet.
  bool Discarding() const { return discard.on; }
  // "Save File..." has something to save: a completed receive, or the part
  // of one that did not complete.
  bool SaveOffered() const;

  const ByteBuffer& FileToSend() const { return loaded; }
  const std::string& LoadedPath() const { return loadedPath; }
  // The last completed receive (empty before one).
  const ByteBuffer& ReceivedFile() const { return received; }
  // The part of the last receive when it did not complete.
  const ByteBuffer& PartialFile() const { return partial; }
  const Xmodem* CurrentXmodem() const { return xmodem.get(); }
  const Punter* CurrentPunter() const { return punter.get(); }

  // How "Save File..." writes; tests make single steps fail.
  FileWriteSteps saveSteps;

 private:
  void XmodemProgress();
  void XmodemEnded();
  void PunterProgress();
  void PunterEnded();
  // Shows how a transfer ended that was no success; `quietLine`: the board
  // may still be sending, so its bytes are kept off the screen for a while.
  void Failed(const std::string& text, bool quietLine, TransferScheduler& clock);
  void Received(ByteBuffer data, const char* protocol);
  void Incomplete(ByteBuffer data, const char* protocol);
  std::string IncompleteMessage() const;
  void SaveBytes(const ByteBuffer& data, bool partialFile);
  void Discard();
  void LineQuiet();
  void StopDiscarding();
  bool XmodemActive() const { return xmodem && xmodem->isActive(); }
  bool PunterActive() const { return punter && punter->isActive(); }
  void Show(const std::string& text);

  class PunterRouteEngine : public TransferEngine {
   public:
    explicit PunterRouteEngine(TransferController& owner) : owner(owner) {}
    bool Active() const override;
    bool Working() const override { return owner.PunterActive(); }
    void TakeBytes(const std::uint8_t* data, std::size_t length) override;
    void ConnectionEnded(SessionEnd how) override;

   private:
    TransferController& owner;
  };
  class XmodemRouteEngine : public TransferEngine {
   public:
    explicit XmodemRouteEngine(TransferController& owner) : owner(owner) {}
    bool Active() const override;
    bool Working() const override { return owner.XmodemActive(); }
    void TakeBytes(const std::uint8_t* data, std::size_t length) override;
    void ConnectionEnded(SessionEnd how) override;

   private:
    TransferController& owner;
  };

  TransferLink& line;
  TransferScheduler& xmodemClock;
  TransferScheduler& punterClock;
  StatusSink& status;
  TransferDialogs& dialogs;
  const bool& promptAfterReceive;
  std::function<bool()> connected;

  std::unique_ptr<Xmodem> xmodem;
  std::unique_ptr<Punter> punter;
  ByteBuffer loaded;
  std::string loadedPath;
  ByteBuffer received;
  bool receivedOnce = false;  // `received` holds a completed receive (it may be empty)
  // The last receive ended without its whole file: its part and protocol.
  bool lastIncomplete = false;
  ByteBuffer partial;
  std::string incompleteProtocol;
  struct {
    bool on = false;
    TransferScheduler* clock = nullptr;
    std::string endText;
  } discard;
  PunterRouteEngine punterRoute{*this};
  XmodemRouteEngine xmodemRoute{*this};
};
