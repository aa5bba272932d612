// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window of its own on the main window's buffer: the whole buffer at once
// ("View"), or a replay at a line speed, chosen in its Speed menu, with the
// history kept or on a fixed 25-row screen. Any number may be open; each
// reads the buffer it was given while it runs, so a buffer replaced
// meanwhile is replayed on from the same position.
#include <wx/wx.h>

#include <memory>

#include "app/CommandTable.h"
#include "app/ReplayPlayback.h"
#include "settings/ByteBuffer.h"
#include "terminal/wxPetsciiScrolledCanvas.h"

class ReplayTimer;

enum class ReplayMode { View, Scrolled, Simulated };

class ReplayFrame : public wxFrame {
 public:
  static constexpr std::uint64_t kScale = 2;
  static constexpr std::uint8_t kInitialColour = 15;
  static constexpr int kMinimumHeight = 160;
  static constexpr int kStepIntervalMilliseconds = static_cast<int>(LinePacer::kTickInterval.count());

  ReplayFrame(wxWindow* parent, wxWindowID id, const wxString& title);
  ~ReplayFrame() override;

  // The buffer to show; it must outlive the window (the main window's own
  // buffer does: this window is its child). Null shows nothing. Clears the
  // canvas in the screen mode set on it.
  void SetSource(const ByteBuffer* buffer);
  void ShowAll();
  void StartReplay();
  // The menus (Edit; Speed, the line speeds, for a replay) and the
  // window's keys: the Edit menu's, Alt+C, and the close keys.
  void InstallCommands(bool speeds);
  void SetSpeed(std::uint32_t bitsPerSecond);
  std::uint32_t Speed() const { return playback.Speed(); }
  // One timer expiry: the bytes now due, or the end of the replay.
  void ReplayStep();
  bool Destroy() override;

  qwx::wxPetsciiScrolledCanvas* Canvas() const { return canvas; }
  std::uint64_t Position() const { return playback.Position(); }
  bool Replaying() const;

 private:
  void SetSizeLimits();
  void StopTimer();
  void OnClose(wxCloseEvent& event);
  void OnCanvasScreenshot(wxCommandEvent& event);

  const ByteBuffer* source = &emptyBuffer;
  ReplayPlayback playback;
  CommandTable commands;
  wxPanel* panel = nullptr;
  PetsciiTerminal terminal;  // what the canvas shows
  qwx::wxPetsciiScrolledCanvas* canvas = nullptr;
  std::unique_ptr<ReplayTimer> timer;
  const ByteBuffer emptyBuffer;
};

// The main window's "View", "Replay (scrolled)" and "Replay (simulated)":
// opens and shows a new window on `storedBuffer`, a child of `mainWindow`.
ReplayFrame* OpenBufferWindow(wxWindow* mainWindow, const ByteBuffer* storedBuffer, ReplayMode mode);
