// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's side of a connection: it makes the client for an
// address-book entry and turns the client's results and socket events, and
// the key events, into calls on its terminal session.
#include <wx/socket.h>

#include <algorithm>

#include "app/CommandIds.h"
#include "app/LocaleText.h"
#include "app/MorlenFrame.h"
#include "app/ProductInfo.h"
#include "settings/AddressBook.h"

void MorlenFrame::ClientDestroyer::operator()(qwx::wxTcpClient* client) const {
  // Events may still be queued for the socket: the toolkit deletes it once they are gone.
  client->Destroy();
}

bool MorlenFrame::Connected() const {
  return client && client->State() == qwx::ClientState::Connected && client->IsConnected();
}

void MorlenFrame::StartConnection(int index) {
  const auto& entries = programAddressBook().entries;
  if (client || index < 0 || static_cast<std::size_t>(index) >= entries.size()) return;
  const AddressBookEntry entry = entries[static_cast<std::size_t>(index)];
  client.reset(new qwx::wxTcpClient);
  client->onBytesWritten = [this](std::uint64_t count) { session->BytesSent(count); };
  client->SetEventHandler(*this, wxID_ANY);
  session->SetLineSpeed(entry.lineSpeed);
  session->AttemptStarted(*client, entry.address, entry.port, entry.foreground, entry.background, entry.name,
                          LineOptions{entry.telnet, entry.echo});

  const TerminalSession::AttemptFollowUp followUp = session->AttemptEnded(client->ConnectTo(entry.address, entry.port));
  if (!followUp.keepClient) {
    client.reset();
  } else {
    if (followUp.readInput) ReadInput();
    // What the host sent while the attempt was still waiting may have been
    // taken up by that wait, and the socket reports input only once until
    // it is read: look once the queued connection event has been handled.
    CallAfter([this] {
      if (Connected() && client->IsData()) ReadInput();
    });
  }
  UpdateTitle();
  if (followUp.closeWindow) Close();
}

void MorlenFrame::OnConnectRequest(wxCommandEvent& event) { StartConnection(event.GetInt()); }

void MorlenFrame::OnSocketEvent(wxSocketEvent& event) {
  // Events of a client already gone are not for this handler.
  if (!client || event.GetSocket() != client.get()) return;
  switch (event.GetSocketEvent()) {
    case wxSOCKET_CONNECTION: session->ConnectionEstablished(); break;
    case wxSOCKET_LOST:
      if (session->ConnectionLost(client->ClosedByPeer() ? LineLoss::ClosedByBoard : LineLoss::Broken)) client.reset();
      break;
    case wxSOCKET_INPUT: ReadInput(); break;
    case wxSOCKET_OUTPUT: break;
  }
  UpdateTitle();
}

void MorlenFrame::ReadInput() {
  // Unread, the socket reports no more input and TCP slows the board down:
  // the session asks again once its queue has room.
  if (!session->InputWaiting()) return;
  const std::size_t room = std::min(readBuffer.size(), session->ReadAllowance());
  client->Read(readBuffer.data(), static_cast<wxUint32>(room));
  session->Received(readBuffer.data(), client->LastCount());
  // The session hangs up on a telnet server that broke the protocol.
  if (!session->HasClient()) client.reset();
}

void MorlenFrame::SetLineSpeed(std::uint32_t bitsPerSecond) {
  if (session->SetLineSpeed(bitsPerSecond) && client) ReadInput();
}

void MorlenFrame::OnDisconnectCommand() {
  if (session->Disconnect()) client.reset();
  UpdateTitle();
}

void MorlenFrame::UpdateTitle() {
  const std::string board = session->ConnectedBoard();
  const wxString title =
      board.empty() ? ProgramTitle() : wxString::Format("%s \u2014 %s", productName, FromByteString(board));
  if (GetTitle() != title) SetTitle(title);
}

void MorlenFrame::OnExitCommand() {
  session->DisconnectForExit();
  Close();
}

void MorlenFrame::OnClose(wxCloseEvent& event) {
  // The close waits for a running attempt; it is asked for again when that ends.
  if (session->CloseMustWait(event.CanVeto())) {
    event.Veto();
    return;
  }
  client.reset();
  event.Skip();
}

KeyPlace MorlenFrame::PlaceOf(const wxKeyEvent& event) const {
  // While the menu bar is open its keys come from the bar itself.
  wxObject* object = event.GetEventObject();
  if (wxDynamicCast(object, wxMenuBar) || wxDynamicCast(object, wxMenu)) return KeyPlace::Menu;
  auto* window = wxDynamicCast(object, wxWindow);
  if (!window || wxGetTopLevelParent(window) != this) return KeyPlace::OtherWindow;
  return window == canvas ? KeyPlace::Terminal : KeyPlace::MainWindow;
}

void MorlenFrame::OnKey(wxKeyEvent& event) {
  // The commands' own keys never get here: the frame's accelerator table
  // runs an enabled command first; a disabled one leaves its key to the board.
  KeyOrigin origin;
  origin.place = PlaceOf(event);
  origin.dialogOpen = modalDialogs.Open();
  origin.altHeld = event.AltDown();
  origin.escapePressed = event.GetEventType() == wxEVT_KEY_DOWN && event.GetKeyCode() == WXK_ESCAPE;
  switch (session->Key(origin, [&] { return keymap->Translate(event); })) {
    case KeyOutcome::PassOn: event.Skip(); break;
    case KeyOutcome::CancelTransfer: commands.Run(command::kCancelTransfer); break;
    case KeyOutcome::Consumed: break;
  }
}

void MorlenFrame::OnCharHook(wxKeyEvent& event) {
  // Every key-down comes here before the accelerators: a command's
  // Ctrl+Shift+letter, which the keymap never sees, is no charset chord.
  const int code = event.GetKeyCode();
  if (code != WXK_CONTROL && code != WXK_SHIFT) keymap->KeyTakenElsewhere();
  event.Skip();
}
