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

// The file dialogs of the transfer commands. Paths are 8-bit texts.
class TransferDialogs {
 public:
  virtual ~TransferDialogs() = default;
  // "Load File...": the file chosen to send, empty when cancelled.
  virtual std::string ChooseFileToSend() = 0;
  // "Save File...": where to save (the dialog asked before overwriting),
  // empty when cancelled.
  virtual std::string ChooseFileToSave() = 0;
};

class TransferController {
 public:
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

  bool Running() const;
  // "Save File..." has something to save.
  bool SaveOffered() const;

  const ByteBuffer& FileToSend() const { return loaded; }
  const std::string& LoadedPath() const { return loadedPath; }
  const ByteBuffer& ReceivedFile() const { return received; }
  const Xmodem* CurrentXmodem() const { return xmodem.get(); }
  const Punter* CurrentPunter() const { return punter.get(); }

  // How "Save File..." writes; tests make single steps fail.
  FileWriteSteps saveSteps;

 private:
  void XmodemProgress();
  void XmodemEnded();
  void PunterProgress();
  void PunterEnded();
  void Received(const ByteBuffer& data, const char* protocol);
  void Show(const std::string& text);

  class PunterRouteEngine : public TransferEngine {
   public:
    explicit PunterRouteEngine(TransferController& owner) : owner(owner) {}
    bool Active() const override;
    void TakeBytes(const std::uint8_t* data, std::size_t length) override;
    void ConnectionEnded(SessionEnd how) override;

   private:
    TransferController& owner;
  };
  class XmodemRouteEngine : public TransferEngine {
   public:
    explicit XmodemRouteEngine(TransferController& owner) : owner(owner) {}
    bool Active() const override;
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
  PunterRouteEngine punterRoute{*this};
  XmodemRouteEngine xmodemRoute{*this};
};
