// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every command identifier of the program, in one place so that none is
// given twice: the main window's commands, the terminal canvas's context
// menu and the address book window's controls and commands. A transfer
// protocol's command is its identifier in the protocol table.
#include "transfer/TransferProtocols.h"

namespace command {
constexpr int ProtocolCommand(TransferProtocolId id) { return static_cast<int>(id); }

constexpr int kConnect = 6000;
constexpr int kDisconnect = 6001;
constexpr int kLoadBuffer = 6002;
constexpr int kKeyboardMenu = 6003;
constexpr int kPositionalKeymap = 6004;
constexpr int kHybridKeymap = 6005;
constexpr int kSaveBuffer = 6006;
constexpr int kStash = 6007;
constexpr int kViewBuffer = 6008;
constexpr int kReplayScrolled = 6009;
constexpr int kReplaySimulated = 6010;
// The canvas's context menu (its ASCII copy is the stock wxID_COPY).
constexpr int kCopyAsPetscii = 6012;
constexpr int kScreenshot = 6013;
constexpr int kScale1 = 6015;
constexpr int kScale2 = 6016;
constexpr int kScale3 = 6017;
constexpr int kScale5 = 6018;
constexpr int kScale8 = 6019;
constexpr int kRows25 = 6022;
constexpr int kXmodemSend = ProtocolCommand(TransferProtocolId::XmodemSend);
constexpr int kXmodem1kSend = ProtocolCommand(TransferProtocolId::Xmodem1kSend);
constexpr int kXmodemReceive = ProtocolCommand(TransferProtocolId::XmodemReceive);
constexpr int kPunterReceive = ProtocolCommand(TransferProtocolId::PunterReceive);
constexpr int kCancelTransfer = 6028;
constexpr int kSaveReceivedFile = 6029;
constexpr int kLoadFileToSend = 6030;
constexpr int kPromptAfterReceive = 6031;
constexpr int kDownloadFolder = 6032;
constexpr int kCheckForUpdates = 6033;
// View > Line Speed, then one row per offered speed, in their order.
constexpr int kLineSpeedMenu = 6060;
constexpr int kFirstLineSpeed = 6061;
constexpr int kPunterSend = ProtocolCommand(TransferProtocolId::PunterSend);
constexpr int kMultiPunterReceive = ProtocolCommand(TransferProtocolId::MultiPunterReceive);
constexpr int kYmodemReceive = ProtocolCommand(TransferProtocolId::YmodemReceive);
constexpr int kYmodemSend = ProtocolCommand(TransferProtocolId::YmodemSend);
// The Edit menu's own commands (its ASCII copy is the stock wxID_COPY; the
// PETSCII copy and the screenshot are the context menu's above).
constexpr int kPaste = 6080;
constexpr int kStopPaste = 6081;
constexpr int kSelectAll = 6082;  // also in the context menu
constexpr int kCopyPicture = 6083;
constexpr int kSavePicture = 6084;
constexpr int kPictureBorder = 6085;
}  // namespace command

// The address book window's controls and commands.
namespace addressBookId {
constexpr int kPasteScreenshot = 6014;  // the preview's context menu
constexpr int kList = 6034;
constexpr int kDelete = 6035;
constexpr int kNew = 6036;
constexpr int kExport = 6037;
constexpr int kImport = 6038;
constexpr int kMoveUp = 6039;  // the list's context menu and Alt+Up
constexpr int kMoveDown = 6040;
constexpr int kUndo = 6041;
constexpr int kConnect = 6042;
constexpr int kName = 6043;
constexpr int kDescription = 6044;
constexpr int kAddress = 6045;
constexpr int kPort = 6046;
constexpr int kBackground = 6047;
constexpr int kForeground = 6048;
constexpr int kEcho = 6049;
constexpr int kColumns40 = 6050;
constexpr int kColumns80 = 6051;
constexpr int kTelnet = 6052;
constexpr int kLineSpeed = 6053;
}  // namespace addressBookId
