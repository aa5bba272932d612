// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared by the address book window's GUI tests: a parent window that
// records connect requests, a clean book and configuration file, the real
// window opened as the main window opens it, and helpers that drive its
// controls with real input or with the controls' own events.
#include <gtest/gtest.h>
#include <wx/listctrl.h>
#include <wx/uiaction.h>
#include <wx/weakref.h>
#include <wx/wx.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "addressbook/AddressBookFrame.h"
#include "app/CommandIds.h"
#include "app/ProgramValues.h"
#include "gui/GuiTestSupport.h"
#include "settings/Configuration.h"
#include "terminal/Palette.h"

namespace addressbooktest {

inline AddressBookEntry Entry(const std::string& name, std::uint16_t port = 6400) {
  AddressBookEntry e;
  e.name = name;
  e.description = name + " description";
  e.address = name + ".example";
  e.port = port;
  return e;
}

inline std::vector<AddressBookEntry> FiveEntries() {
  return {Entry("Alpha"), Entry("Bravo"), Entry("Charlie"), Entry("Delta"), Entry("Echo")};
}

inline std::string ReadFile(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

inline wxColour BitmapColour(const wxBitmap& bitmap, int x, int y) {
  const wxImage image = bitmap.ConvertToImage();
  return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

inline wxColour LiveColour(int index) {
  const ::PaletteColour& c = LivePalette()[static_cast<std::size_t>(index)];
  return wxColour(c.red, c.green, c.blue);
}

// A PNG of the window's screen area when MORLEN_GUI_SHOTS names a directory.
inline void SaveScreenShot(wxWindow* window, const std::string& name) {
  const char* directory = std::getenv("MORLEN_GUI_SHOTS");
  if (!directory) return;
  const wxRect r = window->GetScreenRect();
  const std::string command = "import -window root -crop " + std::to_string(r.width) + "x" +
                              std::to_string(r.height) + "+" + std::to_string(r.x) + "+" + std::to_string(r.y) +
                              " '" + directory + "/" + name + ".png'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

// A failed toolkit assertion becomes a test failure instead of a modal
// dialog that would stall the run.
inline void FailOnAssert(const wxString& file, int line, const wxString& function, const wxString& condition,
                         const wxString& message) {
  ADD_FAILURE() << "toolkit assertion in " << function << " (" << file << ":" << line << "): " << condition << " "
                << message;
}

// Real pointer input through the X server.
inline void ClickAt(const wxPoint& screenPoint, int button = wxMOUSE_BTN_LEFT) {
  wxUIActionSimulator sim;
  sim.MouseMove(screenPoint);
  RunEventLoopFor(60);
  sim.MouseClick(button);
  RunEventLoopFor(200);
}
inline void ClickOn(wxWindow* window) { ClickAt(window->GetScreenRect().GetPosition() + window->GetSize() / 2); }

struct ConnectRequest {
  int id;
  int index;
};

class AddressBookFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    previousAssertHandler = wxSetAssertHandler(&FailOnAssert);
    programAddressBook() = AddressBook{};
    screenshotText().clear();
    std::remove(configFilePath().c_str());
    parent = new wxFrame(nullptr, wxID_ANY, "Main window stand-in", wxPoint(0, 0), wxSize(400, 300));
    parent->Bind(wxEVT_ADDRESS_BOOK_CONNECT,
                 [this](wxCommandEvent& e) { connects.push_back({e.GetId(), e.GetInt()}); });
    parent->Show();
  }
  void TearDown() override {
    if (frame) {
      frame->prompts.askToSave = [] { return false; };
      frame->Destroy();
    }
    parent->Destroy();
    RunEventLoopFor(50);
    wxSetAssertHandler(previousAssertHandler);
  }

  // Opens the window the way the main window's Connect command does.
  void Open(const std::vector<AddressBookEntry>& entries, std::int32_t selected = kNoEntrySelected) {
    programAddressBook().entries = entries;
    programAddressBook().selectedIndex = selected;
    if (frame) frame->Destroy();
    frame = OpenAddressBook(parent);
    RunEventLoopFor(200);
  }
  // What the idle-time update events do, at once.
  void RefreshUi() { frame->UpdateWindowUI(wxUPDATE_UI_RECURSE); }

  template <typename T = wxWindow>
  T* Control(int id) const {
    wxWindow* window = wxWindow::FindWindowById(id, frame.get());
    EXPECT_NE(window, nullptr) << "no window " << id;
    return dynamic_cast<T*>(window);
  }
  wxListCtrl* List() const { return Control<wxListCtrl>(addressBookId::kList); }
  wxTextCtrl* Field(int id) const { return Control<wxTextCtrl>(id); }
  int SelectedRow() const {
    return static_cast<int>(List()->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int i = 0; i < List()->GetItemCount(); ++i) names.push_back(List()->GetItemText(i).ToStdString());
    return names;
  }
  std::vector<AddressBookEntry>& Working() { return programWorkingCopy().entries; }
  bool Enabled(int id) {
    RefreshUi();
    return Control(id)->IsEnabled();
  }
  // A menu command's state, as its update event reports it to a menu.
  bool CommandEnabled(int id) {
    wxUpdateUIEvent event(id);
    event.SetEventObject(frame.get());
    frame->GetEventHandler()->ProcessEvent(event);
    return event.GetSetEnabled() && event.GetEnabled();
  }
  wxString ConnectLabel() {
    RefreshUi();
    return Control(addressBookId::kConnect)->GetLabel();
  }

  // A press as the button itself reports it; refused when it is disabled,
  // as a user's click would be.
  void Press(int id) {
    ASSERT_TRUE(Enabled(id)) << "button " << id << " is disabled";
    wxWindow* button = Control(id);
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(event);
    RunEventLoopFor(30);
  }
  // A command as the list's context menu and accelerators send it.
  void Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    List()->GetEventHandler()->ProcessEvent(event);
    RunEventLoopFor(30);
  }
  // Selection changes through the list, which reports them as for a click.
  void ChooseRow(int row) {
    const long state = wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED;
    List()->SetItemState(row, state, state);
    RunEventLoopFor(30);
  }
  void Unselect(int row) {
    List()->SetItemState(row, 0, wxLIST_STATE_SELECTED);
    RunEventLoopFor(30);
  }
  // Real typing at the end of a field (a click into it selects its text).
  void TypeInto(wxTextCtrl* field, const char* text) {
    ClickOn(field);
    field->SetFocus();
    RunEventLoopFor(60);
    field->SetInsertionPointEnd();
    wxUIActionSimulator().Text(text);
    RunEventLoopFor(150);
  }

  wxAssertHandler_t previousAssertHandler = nullptr;
  wxFrame* parent = nullptr;
  wxWeakRef<AddressBookFrame> frame;
  std::vector<ConnectRequest> connects;
};

}  // namespace addressbooktest
