#pragma once
// Window and command identifiers of the address book window.
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
}  // namespace addressBookId
