#pragma once
// Identifiers of the main window's commands and of the canvas's context menu.
namespace command {
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
constexpr int kCopyAsPetscii = 6012;
constexpr int kScreenshot = 6013;
constexpr int kScale1 = 6015;
constexpr int kScale2 = 6016;
constexpr int kScale3 = 6017;
constexpr int kScale5 = 6018;
constexpr int kScale8 = 6019;
constexpr int kRows25 = 6022;
constexpr int kXmodemSend = 6024;
constexpr int kXmodem1kSend = 6025;
constexpr int kXmodemReceive = 6026;
constexpr int kPunterReceive = 6027;
constexpr int kCancelTransfer = 6028;
constexpr int kSaveReceivedFile = 6029;
constexpr int kLoadFileToSend = 6030;
constexpr int kPromptAfterReceive = 6031;
constexpr int kCheckForUpdates = 6033;
}  // namespace command
