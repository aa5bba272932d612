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

std::vector<CommandRow> MorlenFrame::TransferCommands() {
  const auto offered = [this] { return Connected() && !transfers->Running(); };
  const auto running = [this] { return transfers->Running(); };
  return {
      Command(command::kXmodemReceive, "Xmodem &Receive", "Receive a file using Xmodem",
              [this] { transfers->XmodemReceive(); }, offered),
      Command(command::kPunterReceive, "&Punter Receive\tF3", "Receive a file using Punter",
              [this] { transfers->PunterReceive(); }, offered),
      Command(command::kSaveReceivedFile, "&Save File...", "Save a received file", [this] { transfers->SaveFile(); },
              [this] { return transfers->SaveOffered(); }),
      Choice(wxITEM_CHECK, command::kPromptAfterReceive, "Prompt &after Receive", "Open a save dialog automatically",
             [] { programSettings().dialogOnReceived = !programSettings().dialogOnReceived; },
             [] { return programSettings().dialogOnReceived; }),
      Separator(),
      Command(command::kXmodemSend, "&Xmodem Send\tF1", "Send a file using Xmodem",
              [this] { transfers->XmodemSend(false); }, offered),
      Command(command::kXmodem1kSend, "Xmodem-&1k Send", "Send a file using Xmodem-1k",
              [this] { transfers->XmodemSend(true); }, offered),
      Command(command::kLoadFileToSend, "&Load File...", "Load a file to send", [this] { transfers->LoadFile(); },
              [this] { return !transfers->Running(); }),
      Separator(),
      Command(command::kCancelTransfer, "&Cancel Transfer", "Cancel the upload/download",
              [this] { transfers->Cancel(); }, running),
  };
}
