#pragma once
// The main window's side of its terminal session and its transfers: the
// status bar, the canvas and the file dialogs behind their small interfaces.
#include <wx/wx.h>

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

// The transfers' file dialogs through the program's replaceable chooser.
class FileChooserTransferDialogs : public TransferDialogs {
 public:
  explicit FileChooserTransferDialogs(wxWindow& parent) : parent(parent) {}
  std::string ChooseFileToSend() override;
  std::string ChooseFileToSave() override;

 private:
  wxWindow& parent;
};
