#pragma once
// The main window: the terminal canvas, the menus with every command and the
// five-field status bar. It owns the per-session objects and is the hub
// where key presses, socket events and other windows' requests arrive.
#include <wx/wx.h>

#include <memory>

#include "addressbook/AddressBookEvents.h"  // wxEVT_ADDRESS_BOOK_CONNECT
#include "keyboard/wxKeymapC64.h"
#include "net/wxTcpClient.h"
#include "settings/ByteBuffer.h"
#include "terminal/wxPetsciiScrolledCanvas.h"

class MorlenFrame : public wxFrame {
 public:
  static constexpr int kMinimumHeight = 160;
  static constexpr std::size_t kReadBufferSize = 4096;

  MorlenFrame();
  ~MorlenFrame() override;

  void SetKeymap(int type);
  void ApplyScale(int scale);
  void UpdateBufferStatus();
  void UpdateTrafficStatus();
  void StartConnection(int index);
  bool Connected() const;

  qwx::wxPetsciiScrolledCanvas* Canvas() const { return canvas; }
  const ByteBuffer& StoredBuffer() const { return storedBuffer; }
  const ByteBuffer& ActiveSession() const { return activeSession; }

 private:
  void CreateStatusFields();
  wxStatusBar* OnCreateStatusBar(int number, long style, wxWindowID id, const wxString& name) override;
  void CreateMenus();
  void OnUpdateCommand(wxUpdateUIEvent& event);
  void OnScaleCommand(int scale);
  void OnRowsCommand();
  void OnExitCommand();
  void OnStash();
  void OnLoadBuffer();
  void OnSaveBuffer();
  void OnCanvasResized(wxCommandEvent& event);
  void OnCanvasScreenshot(wxCommandEvent& event);
  void SetWidthLimits();
  bool DisplayLargerThan(int width, int height) const;
  bool TransferRunning() const;
  void OnConnectRequest(wxCommandEvent& event);
  void OnSocketEvent(wxSocketEvent& event);
  void OnConnectionEstablished();
  void OnInput();
  void OnDisconnectCommand();
  void OnConnectCommand();
  bool ConnectOffered() const;
  void OnKey(wxKeyEvent& event);
  void OnClose(wxCloseEvent& event);

  struct ClientDestroyer {
    void operator()(qwx::wxTcpClient* client) const;
  };

  wxPanel* panel = nullptr;
  qwx::wxPetsciiScrolledCanvas* canvas = nullptr;
  bool welcomeShown = false;
  ByteBuffer activeSession;
  ByteBuffer storedBuffer;
  ByteBuffer readBuffer;
  long long rxCount = 0;
  long long txCount = 0;
  std::unique_ptr<qwx::wxTcpClient, ClientDestroyer> client;
  bool connecting = false;            // StartConnection is waiting for the attempt
  bool closeWhenAttemptEnds = false;  // a close came during that wait
  bool sessionStarted = false;        // the established connection has been handled
  struct {
    bool established = false;
    bool input = false;
  } eventsDuringAttempt;
  std::unique_ptr<qwx::wxKeymapC64> keymap;
};
