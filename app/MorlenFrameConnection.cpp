// The main window's side of a connection: it makes the client for an
// address-book entry and turns the client's results and socket events, and
// the key events, into calls on its terminal session.
#include <wx/socket.h>

#include "app/MorlenFrame.h"
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
  session->AttemptStarted(*client, entry.address, entry.port, entry.foreground, entry.background);

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
}

void MorlenFrame::ReadInput() {
  if (!session->InputWaiting()) return;
  client->Read(readBuffer.data(), static_cast<wxUint32>(readBuffer.size()));
  session->Received(readBuffer.data(), client->LastCount());
}

void MorlenFrame::OnDisconnectCommand() {
  if (session->Disconnect()) client.reset();
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

void MorlenFrame::OnKey(wxKeyEvent& event) {
  // The function keys that start transfers and open windows do so while
  // their command is offered; otherwise they are the C64's function keys.
  if (RunAccelerator(event)) return;
  if (session->Key(event.AltDown(), [&] { return keymap->Translate(event); }) == KeyOutcome::PassOn) event.Skip();
}
