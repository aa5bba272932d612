#pragma once
// The main window: the terminal canvas, the menus with every command and the
// five-field status bar. It owns the per-session objects and is the hub
// where key presses, socket events and other windows' requests arrive.
#include <wx/wx.h>

#include <memory>

#include "keyboard/wxKeymapC64.h"
#include "settings/ByteBuffer.h"
#include "terminal/wxPetsciiScrolledCanvas.h"

// Posted by the address book window; the integer is the entry's index.
wxDECLARE_EVENT(wxEVT_ADDRESS_BOOK_CONNECT, wxCommandEvent);

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

  qwx::wxPetsciiScrolledCanvas* Canvas() const { return canvas; }
  const ByteBuffer& StoredBuffer() const { return storedBuffer; }
  const ByteBuffer& ActiveSession() const { return activeSession; }

 private:
  void CreateStatusFields();
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
  bool Connected() const;
  bool TransferRunning() const;

  wxPanel* panel = nullptr;
  qwx::wxPetsciiScrolledCanvas* canvas = nullptr;
  bool welcomeShown = false;
  ByteBuffer activeSession;
  ByteBuffer storedBuffer;
  ByteBuffer readBuffer;
  long long rxCount = 0;
  long long txCount = 0;
  std::unique_ptr<qwx::wxKeymapC64> keymap;
};
