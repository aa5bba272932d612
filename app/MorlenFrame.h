// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the terminal canvas, the menus with every command and the
// five-field status bar. It owns the per-session objects; key presses,
// socket events and other windows' requests arrive here and go on to them,
// the connection's own rules to its terminal session.
#include <wx/wx.h>
// After wx.h: it needs the toolkit's type traits.
#include <wx/modalhook.h>
#include <wx/weakref.h>

#include <functional>
#include <memory>

#include "addressbook/AddressBookEvents.h"  // wxEVT_ADDRESS_BOOK_CONNECT
#include "dialogs/wxCheckForUpdates.h"
#include "app/CommandTable.h"
#include "app/SessionAdapters.h"
#include "app/SettingsAutosave.h"
#include "app/wxMainStatusBar.h"
#include "keyboard/wxKeymapC64.h"
#include "net/TerminalSession.h"
#include "net/wxTcpClient.h"
#include "settings/ByteBuffer.h"
#include "terminal/wxPetsciiScrolledCanvas.h"
#include "transfer/TransferController.h"
#include "transfer/wxTransferTimer.h"

class MorlenFrame : public wxFrame {
 public:
  static constexpr int kMinimumHeight = 160;
  static constexpr std::size_t kReadBufferSize = 4096;

  MorlenFrame();
  ~MorlenFrame() override;

  // The title while no board is connected.
  static wxString ProgramTitle();

  void SetKeymap(int type);
  void ApplyScale(int scale);
  void UpdateBufferStatus();
  void StartConnection(int index);
  bool Connected() const;

  qwx::wxPetsciiScrolledCanvas* Canvas() const { return canvas; }
  const ByteBuffer& StoredBuffer() const { return storedBuffer; }
  qwx::wxCheckForUpdates* UpdateChecker() const { return updateChecker; }
  const TerminalSession& Session() const { return *session; }
  const TransferController& Transfers() const { return *transfers; }
  const PasteFeeder& Paste() const { return *paste; }
  // The command's menu item would be enabled now.
  bool CommandEnabled(int id);

 private:
  void CreateStatusFields();
  qwx::wxMainStatusBar& StatusBar() const;
  // The status bar takes as many rows as the window's width asks for.
  void FitStatusBar();
  wxStatusBar* OnCreateStatusBar(int number, long style, wxWindowID id, const wxString& name) override;
  void CreateMenus();
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
  void OnConnectRequest(wxCommandEvent& event);
  void OnSocketEvent(wxSocketEvent& event);
  void ReadInput();
  void SetLineSpeed(std::uint32_t bitsPerSecond);
  void OnDisconnectCommand();
  bool ConnectOffered() const;
  // The title names the board while connected.
  void UpdateTitle();
  void OnKey(wxKeyEvent& event);
  void OnCharHook(wxKeyEvent& event);
  KeyPlace PlaceOf(const wxKeyEvent& event) const;
  // The Transfer menu (MorlenFrameTransfers.cpp).
  void CreateTransfers();
  std::vector<CommandRow> TransferCommands();
  std::vector<CommandRow> ProtocolCommands(TransferDirection direction);
  void OnChooseDownloadFolder();
  void OnClose(wxCloseEvent& event);
  // The Edit menu and the paste (MorlenFrameEdit.cpp).
  std::vector<CommandRow> EditCommands();
  void OnPaste();
  // The Help menu (MorlenFrameHelp.cpp).
  std::vector<CommandRow> HelpCommands();
  void OnAbout();
  void OnCheckForUpdates();
  void StartUpdateCheck();
  void ReplaceUpdateChecker(qwx::wxCheckForUpdates* checker);

  // Counts the program's dialogs running modally.
  class ModalDialogs : public wxModalDialogHook {
   public:
    bool Open() const { return open > 0; }

   protected:
    int Enter(wxDialog*) override {
      ++open;
      return wxID_NONE;
    }
    void Exit(wxDialog*) override { --open; }

   private:
    int open = 0;
  };

  struct ClientDestroyer {
    void operator()(qwx::wxTcpClient* client) const;
  };

  CommandTable commands;
  ModalDialogs modalDialogs;
  wxPanel* panel = nullptr;
  PetsciiTerminal terminal;  // what the canvas shows
  qwx::wxPetsciiScrolledCanvas* canvas = nullptr;
  ByteBuffer storedBuffer;
  bool storedTrimmed = false;  // stashed from a session buffer past its ceiling
  ByteBuffer readBuffer;
  std::unique_ptr<qwx::wxTcpClient, ClientDestroyer> client;
  std::unique_ptr<qwx::wxKeymapC64> keymap;
  // The most recent update checker. A child window: a start-up check
  // destroys itself once answered, so it is watched, not owned.
  wxWeakRef<qwx::wxCheckForUpdates> updateChecker;
  StatusBarSink statusSink{*this};
  std::unique_ptr<CanvasSessionScreen> sessionScreen;
  // Shows the bytes due at the line speed; reads again once they fit.
  TimerPaceClock paceClock{[this] {
    if (session->PaceTick()) ReadInput();
  }};
  // The connection's state, counters, session buffer and routing.
  std::unique_ptr<TerminalSession> session;
  // The transfers' one timer, file dialogs and commands.
  wxTransferTimer transferTimer{[this] { transfers->TimeReached(); }};
  FileChooserTransferDialogs transferDialogs{*this};
  std::unique_ptr<TransferController> transfers;
  // Clipboard text typed into the board at the line's pace.
  std::unique_ptr<SessionPasteTarget> pasteTarget;
  TimerPaceClock pasteClock{[this] { paste->Tick(); }};
  std::unique_ptr<PasteFeeder> paste;
  // Settings changed from the menus are saved soon after.
  SettingsAutosave settingsAutosave{*this};
};
