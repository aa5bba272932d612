// The main window's Transfer menu: its commands go to the transfer
// controller, which writes through the session's line and routes the
// received chunks; the window only supplies dialogs, timers and texts.
#include "app/CommandIds.h"
#include "app/MorlenFrame.h"
#include "settings/Settings.h"

void MorlenFrame::CreateTransfers() {
  transfers = std::make_unique<TransferController>(session->TransferLine(), xmodemTimers, punterTimers, statusSink,
                                                   transferDialogs, programSettings().dialogOnReceived,
                                                   [this] { return Connected(); });
  // Punter first, then Xmodem; the terminal has what neither takes.
  session->AddTransfer(transfers->PunterRoute());
  session->AddTransfer(transfers->XmodemRoute());
}

void MorlenFrame::BindTransferCommands() {
  BindWhileEnabled(command::kXmodemReceive, [this] { transfers->XmodemReceive(); });
  BindWhileEnabled(command::kPunterReceive, [this] { transfers->PunterReceive(); });
  BindWhileEnabled(command::kXmodemSend, [this] { transfers->XmodemSend(false); });
  BindWhileEnabled(command::kXmodem1kSend, [this] { transfers->XmodemSend(true); });
  BindWhileEnabled(command::kLoadFileToSend, [this] { transfers->LoadFile(); });
  BindWhileEnabled(command::kSaveReceivedFile, [this] { transfers->SaveFile(); });
  BindWhileEnabled(command::kCancelTransfer, [this] { transfers->Cancel(); });
  Bind(wxEVT_MENU, [](wxCommandEvent&) {
    programSettings().dialogOnReceived = !programSettings().dialogOnReceived;
  }, command::kPromptAfterReceive);
}

void MorlenFrame::BindWhileEnabled(int id, std::function<void()> action) {
  Bind(wxEVT_MENU, [this, id, action = std::move(action)](wxCommandEvent&) {
    if (CommandEnabled(id)) action();
  }, id);
}
