// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's side of its terminal session and its transfers: the
// status bar, the canvas and the file dialogs behind their small interfaces.
#include <wx/wx.h>
#include <wx/timer.h>

#include <functional>

#include "net/PaceClock.h"
#include "net/PasteFeeder.h"
#include "net/TerminalSession.h"
#include "net/SessionOutputs.h"
#include "terminal/wxPetsciiScrolledCanvas.h"
#include "transfer/TransferController.h"

class StatusBarSink : public StatusSink {
 public:
  explicit StatusBarSink(wxFrame& frame) : frame(frame) {}
  void ShowStatus(StatusField field, const std::string& text) override;

 private:
  wxFrame& frame;
};

class CanvasSessionScreen : public SessionScreen {
 public:
  explicit CanvasSessionScreen(qwx::wxPetsciiScrolledCanvas& canvas) : canvas(canvas) {}
  void SetEntryColours(std::uint8_t foreground, std::uint8_t background) override;
  void Clear() override;
  void StartAfresh() override;
  void Show(const std::uint8_t* data, std::size_t length) override;
  void ToggleCharset() override;

 private:
  qwx::wxPetsciiScrolledCanvas& canvas;
};

// A paste types into the session's connection, for the set its canvas shows.
class SessionPasteTarget : public PasteTarget {
 public:
  SessionPasteTarget(TerminalSession& session, const qwx::wxPetsciiScrolledCanvas& canvas)
      : session(session), canvas(canvas) {}
  bool Connected() const override { return session.State() == SessionState::Connected; }
  bool TransferRunning() const override { return session.TransferRunning(); }
  std::uint32_t LineSpeed() const override { return session.LineSpeed(); }
  bool LowerCaseShown() const override { return canvas.Screen().LowerCase() != 0; }
  void Type(const std::uint8_t* bytes, std::size_t count) override { session.Type(bytes, count); }

 private:
  TerminalSession& session;
  const qwx::wxPetsciiScrolledCanvas& canvas;
};

// The session's pace clock on one toolkit timer; `tick` runs at each expiry.
class TimerPaceClock : public PaceClock {
 public:
  explicit TimerPaceClock(std::function<void()> tick) { timer.tick = std::move(tick); }
  Clock::time_point Now() const override { return Clock::now(); }
  void StartTicks(std::chrono::milliseconds interval) override;
  void StopTicks() override { timer.Stop(); }

 private:
  struct TickTimer : wxTimer {
    std::function<void()> tick;
    void Notify() override { tick(); }
  } timer;
};

// The transfers' dialogs through the program's replaceable file chooser
// and message prompt.
class FileChooserTransferDialogs : public TransferDialogs {
 public:
  explicit FileChooserTransferDialogs(wxWindow& parent) : parent(parent) {}
  std::string ChooseFileToSend() override;
  std::string ChooseFileToSave(bool partial) override;
  IncompleteChoice AskAboutIncomplete(const std::string& message, bool partialOffered, bool earlierOffered) override;
  void ShowSaveFailure(const std::string& message) override;

 private:
  wxWindow& parent;
};
