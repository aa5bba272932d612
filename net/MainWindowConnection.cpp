// The main window's side of a connection: starting it for an address-book
// entry, reporting how the attempt ended, turning socket events into
// terminal output, counting traffic, disconnecting, and the keyboard.
#include <wx/socket.h>

#include "app/MorlenFrame.h"
#include "keyboard/KeyPressAction.h"
#include "settings/AddressBook.h"

namespace {
constexpr int kMessageField = 0;

const char* FailureMessage(qwx::ConnectResult result) {
  switch (result) {
    case qwx::ConnectResult::HostNameFailed: return "Connection failed (host name)";
    case qwx::ConnectResult::Refused: return "Connection failed (refused)";
    case qwx::ConnectResult::TimedOut: return "Connection failed (timeout)";
    case qwx::ConnectResult::Cancelled: return "Connection cancelled by user";
    case qwx::ConnectResult::Connected: break;
  }
  return "";
}
}  // namespace

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
  client->onBytesWritten = [this](std::uint64_t count) {
    txCount += static_cast<long long>(count);
    UpdateTrafficStatus();
  };
  client->SetEventHandler(*this, wxID_ANY);
  SetStatusText(wxString::Format("Connecting to %s:%d", entry.address.c_str(), int(entry.port)), kMessageField);

  connecting = true;
  sessionStarted = false;
  eventsDuringAttempt = {};
  const qwx::ConnectResult result = client->ConnectTo(entry.address, entry.port);
  connecting = false;
  if (result == qwx::ConnectResult::Connected) {
    canvas->initialColour = entry.foreground;
    // Events the wait dispatched before the attempt had ended are handled now.
    if (eventsDuringAttempt.established) OnConnectionEstablished();
    if (eventsDuringAttempt.input) OnInput();
    // What the host sent while the attempt was still waiting may have been
    // taken up by that wait, and the socket reports input only once until
    // it is read: look once the queued connection event has been handled.
    CallAfter([this] {
      if (Connected() && client->IsData()) OnInput();
    });
  } else {
    SetStatusText(FailureMessage(result), kMessageField);
    client.reset();
  }
  // A close asked for during the attempt waited for it to end.
  if (closeWhenAttemptEnds) Close();
}

void MorlenFrame::OnConnectRequest(wxCommandEvent& event) { StartConnection(event.GetInt()); }

void MorlenFrame::OnSocketEvent(wxSocketEvent& event) {
  // Events of a client already gone are not for this handler.
  if (!client || event.GetSocket() != client.get()) return;
  if (connecting) {
    // The attempt is still running: remember, handle once it has ended.
    if (event.GetSocketEvent() == wxSOCKET_CONNECTION) eventsDuringAttempt.established = true;
    if (event.GetSocketEvent() == wxSOCKET_INPUT) eventsDuringAttempt.input = true;
    return;
  }
  switch (event.GetSocketEvent()) {
    case wxSOCKET_CONNECTION:
      if (!sessionStarted) OnConnectionEstablished();
      break;
    case wxSOCKET_LOST:
      client.reset();
      SetStatusText("Disconnected (connection dropped)", kMessageField);
      break;
    case wxSOCKET_INPUT: OnInput(); break;
    case wxSOCKET_OUTPUT: break;
  }
}

void MorlenFrame::OnConnectionEstablished() {
  sessionStarted = true;
  if (welcomeShown) {
    canvas->LoadBytes(ByteBuffer());
    canvas->ProcessPending();
    activeSession.clear();
    welcomeShown = false;
    canvas->Refresh();
    UpdateBufferStatus();
  }
  rxCount = 0;
  txCount = 0;
  UpdateTrafficStatus();
  SetStatusText("Connected.", kMessageField);
}

void MorlenFrame::OnInput() {
  // The socket may report input before the connection itself: the session
  // (clearing the welcome screen, counting from zero) starts first.
  if (!sessionStarted) OnConnectionEstablished();
  client->Read(readBuffer.data(), static_cast<wxUint32>(readBuffer.size()));
  const std::size_t n = client->LastCount();
  rxCount += static_cast<long long>(n);
  UpdateTrafficStatus();
  if (TransferRunning()) return;  // the transfers take the bytes (not yet here)
  activeSession.insert(activeSession.end(), readBuffer.begin(), readBuffer.begin() + static_cast<std::ptrdiff_t>(n));
  for (std::size_t i = 0; i < n; ++i) canvas->AppendByte(readBuffer[i]);
  canvas->ProcessPending();
  int unitsX = 0, unitsY = 0;
  canvas->GetVirtualSize(&unitsX, &unitsY);
  canvas->Scroll(0, unitsY / canvas->CellHeight());
  canvas->Refresh();
  UpdateBufferStatus();
}

void MorlenFrame::OnDisconnectCommand() {
  if (!client) return;
  // During the attempt this only asks it to give up; StartConnection reports that.
  if (client->Disconnect()) {
    SetStatusText("Disconnected by user", kMessageField);
    client.reset();
  }
}

void MorlenFrame::OnKey(wxKeyEvent& event) {
  if (event.AltDown() || !client || TransferRunning()) {
    event.Skip();
    return;
  }
  const KeyPressAction action = ActionOfKeyPress(keymap->Translate(event));
  switch (action.kind) {
    case KeyPressAction::Kind::PassOn: event.Skip(); break;
    case KeyPressAction::Kind::ToggleCharset:
      canvas->ToggleCharset();
      canvas->Refresh();
      break;
    case KeyPressAction::Kind::Send:
      if (Connected()) client->SendByte(action.byte);
      break;
    case KeyPressAction::Kind::Swallow: break;
  }
}
