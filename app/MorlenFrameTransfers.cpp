// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Transfer menu: a row per protocol of the protocol
// table, receives then sends, around the rows of their own. The commands
// go to the transfer controller, which writes through the session's line
// and routes the received chunks; the window only supplies dialogs, the
// one timer and texts.
#include "app/CommandIds.h"
#include "app/FileChooser.h"
#include "app/LocaleText.h"
#include "app/MorlenFrame.h"
#include "settings/Settings.h"
#include "settings/UserDirectories.h"

void MorlenFrame::CreateTransfers() {
  transfers = std::make_unique<TransferController>(session->TransferLine(), transferTimer, statusSink,
                                                   transferDialogs, programSettings().dialogOnReceived,
                                                   [this] { return Connected(); });
  transfers->downloadFolder = [] { return downloadFolderInUse(programSettings()); };
  // The terminal has what the transfers do not take.
  session->AddTransfer(transfers->Route());
}

std::vector<CommandRow> MorlenFrame::ProtocolCommands(TransferDirection direction) {
  std::vector<CommandRow> rows;
  for (const TransferProtocol& protocol : transferProtocols()) {
    if (protocol.direction != direction) continue;
    rows.push_back(Command(command::ProtocolCommand(protocol.id), protocol.menuText, protocol.help,
                           [this, id = protocol.id] { transfers->Start(id); },
                           [this] { return transfers->Offered(); }));
  }
  return rows;
}

void MorlenFrame::OnChooseDownloadFolder() {
  FileRequest request{false, "Choose the download folder", "", true,
                      FromByteString(downloadFolderInUse(programSettings()))};
  const std::string folder = ToByteString(ProgramFileChooser()(this, request));
  if (folder.empty()) return;
  programSettings().downloadFolder = folder;
  SetStatusText(FromByteString("Download folder: " + folder), static_cast<int>(StatusField::Message));
}

std::vector<CommandRow> MorlenFrame::TransferCommands() {
  std::vector<CommandRow> rows = ProtocolCommands(TransferDirection::Receive);
  const std::vector<CommandRow> after = {
      Command(command::kSaveReceivedFile, "&Save File...", "Save a received file", [this] { transfers->SaveFile(); },
              [this] { return transfers->SaveOffered(); }),
      Choice(wxITEM_CHECK, command::kPromptAfterReceive, "Prompt &after Receive", "Open a save dialog automatically",
             [] { programSettings().dialogOnReceived = !programSettings().dialogOnReceived; },
             [] { return programSettings().dialogOnReceived; }),
      Command(command::kDownloadFolder, "&Download Folder...", "Choose where batch receives save their files",
              [this] { OnChooseDownloadFolder(); }),
      Separator(),
  };
  rows.insert(rows.end(), after.begin(), after.end());
  for (CommandRow& send : ProtocolCommands(TransferDirection::Send)) rows.push_back(std::move(send));
  rows.push_back(Command(command::kLoadFileToSend, "&Load File...", "Load a file to send",
                         [this] { transfers->LoadFile(); }, [this] { return !transfers->Running(); }));
  rows.push_back(Separator());
  rows.push_back(Command(command::kCancelTransfer, "&Cancel Transfer", "Cancel the upload/download",
                         [this] { transfers->Cancel(); }, [this] { return transfers->Running(); }));
  return rows;
}
