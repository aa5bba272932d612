// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SessionAdapters.h"

#include <vector>

#include "app/FileChooser.h"
#include "app/LocaleText.h"
#include "app/MessagePrompt.h"
#include "app/SaveReport.h"

namespace {
// Any name: C64 files often have no extension, which "*.*" would hide.
constexpr const char* kAnyFile = "All files (*)|*";
constexpr const char* kSaveCaption = "Save File";
}

void StatusBarSink::ShowStatus(StatusField field, const std::string& text) {
  frame.SetStatusText(FromByteString(text), static_cast<int>(field));
}

void CanvasSessionScreen::SetEntryColours(std::uint8_t foreground, std::uint8_t background) {
  canvas.initialColour = foreground;
  canvas.initialBackground = background;
}

void CanvasSessionScreen::Clear() {
  canvas.LoadBytes(ByteBuffer());
  canvas.ProcessPending();
  canvas.ShowCurrentScreen();
  canvas.Refresh();
}

void CanvasSessionScreen::StartAfresh() {
  canvas.StartAfresh();
  canvas.ShowCurrentScreen();
  canvas.Refresh();
}

void CanvasSessionScreen::Show(const std::uint8_t* data, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) canvas.AppendByte(data[i]);
  canvas.ProcessPending();
  canvas.ShowCurrentScreen();
  canvas.Refresh();
}

void CanvasSessionScreen::ToggleCharset() {
  canvas.ToggleCharset();
  canvas.Refresh();
}

void TimerPaceClock::StartTicks(std::chrono::milliseconds interval) {
  // Started again, a running timer would wait a whole interval anew.
  if (!timer.IsRunning()) timer.Start(static_cast<int>(interval.count()), wxTIMER_CONTINUOUS);
}

std::string FileChooserTransferDialogs::ChooseFileToSend() {
  return ToByteString(ProgramFileChooser()(&parent, FileRequest{false, "Choose a file to send", kAnyFile}));
}

std::string FileChooserTransferDialogs::ChooseFileToSave(bool partial) {
  const char* title = partial ? "Save Partial File As" : "Save Received As";
  return ToByteString(ProgramFileChooser()(&parent, FileRequest{true, title, kAnyFile}));
}

TransferDialogs::IncompleteChoice FileChooserTransferDialogs::AskAboutIncomplete(const std::string& message,
                                                                                 bool partialOffered,
                                                                                 bool earlierOffered) {
  MessageRequest request{kSaveCaption, FromByteString(message), {}, false};
  std::vector<IncompleteChoice> choices;
  if (partialOffered) {
    request.answers.push_back("Save Partial File...");
    choices.push_back(IncompleteChoice::SavePartial);
  }
  if (earlierOffered) {
    request.answers.push_back("Save Earlier File...");
    choices.push_back(IncompleteChoice::SaveEarlier);
  }
  request.answers.push_back("Cancel");
  choices.push_back(IncompleteChoice::Nothing);
  const std::size_t chosen = ProgramMessagePrompt()(&parent, request);
  return chosen < choices.size() ? choices[chosen] : IncompleteChoice::Nothing;
}

void FileChooserTransferDialogs::ShowSaveFailure(const std::string& message) {
  TellSaveFailure(&parent, message);
}
