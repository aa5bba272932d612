// SPDX-License-Identifier: GPL-3.0-or-later
// Every save of the program on a disk that refuses it: the user is told in
// a message naming the file and the reason, and the file that was there
// stays whole. The faults are put into the save's system calls.
#include <gtest/gtest.h>
#include <wx/listctrl.h>
#include <wx/wx.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "addressbook/AddressBookFrame.h"
#include "app/CommandIds.h"
#include "app/FileChooser.h"
#include "app/MorlenApp.h"
#include "app/MorlenFrame.h"
#include "app/SaveReport.h"
#include "gui/GuiTestSupport.h"
#include "settings/AtomicFileWrite.h"
#include "settings/Configuration.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

class SaveFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/morlen-savefail-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    programSettings() = Settings{};
    programSettings().autoCheckForUpdate = false;
    programAddressBook() = AddressBook{{AddressBookEntry{}}, kNoEntrySelected};
    programAddressBook().entries[0].name = "Board";
    guardConfigurationFile("");
    ASSERT_TRUE(saveConfiguration());
    std::ofstream(dir + "/board.seq", std::ios::binary) << "\x93\x05HELLO";
    for (const char* name : {"/old.seq", "/old.morbbs"}) std::ofstream(dir + name, std::ios::binary) << "old " << name;
    savedChooser = ProgramFileChooser();
    ProgramFileChooser() = [this](wxWindow*, const FileRequest&) { return wxString(answer); };
    savedReporter = ProgramSaveFailureReporter();
    ProgramSaveFailureReporter() = [this](wxWindow*, const wxString& text) { told.push_back(text.ToStdString()); };
    frame = new MorlenFrame;
    frame->Show();
    RunEventLoopFor(100);
  }
  void TearDown() override {
    programFileWriteSteps() = FileWriteSteps();
    ProgramFileChooser() = savedChooser;
    ProgramSaveFailureReporter() = savedReporter;
    if (book) {
      book->prompts.askToSave = [] { return false; };
      book->Destroy();
    }
    frame->Destroy();
    RunEventLoopFor(50);
    std::system(("rm -rf '" + dir + "'").c_str());
  }
  void Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    frame->GetEventHandler()->ProcessEvent(event);
  }
  // The address book as F7 opens it, its first row chosen.
  void OpenBook() {
    book = OpenAddressBook(frame);
    RunEventLoopFor(200);
    auto* list = dynamic_cast<wxListCtrl*>(wxWindow::FindWindowById(addressBookId::kList, book));
    ASSERT_NE(list, nullptr);
    list->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    RunEventLoopFor(30);
  }
  void Press(int id) {
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(wxWindow::FindWindowById(id, book));
    book->GetEventHandler()->ProcessEvent(event);
    RunEventLoopFor(30);
  }

  std::string dir;
  std::string answer;
  std::vector<std::string> told;
  FileChooser savedChooser;
  SaveFailureReporter savedReporter;
  MorlenFrame* frame = nullptr;
  AddressBookFrame* book = nullptr;
};

TEST_F(SaveFailure, EverySaveSaysSoAndKeepsTheOldFile) {
  struct Fault {
    const char* reason;
    std::function<void(FileWriteSteps&)> apply;
  };
  const auto failingCreate = [](int error) {
    return [error](FileWriteSteps& steps) {
      steps.create = [error](char*) {
        errno = error;
        return -1;
      };
    };
  };
  const Fault faults[] = {
      {"the disk is full",
       [](FileWriteSteps& steps) {
         steps.write = [](int, const void*, std::size_t) -> ssize_t {
           errno = ENOSPC;
           return -1;
         };
       }},
      {"permission denied", failingCreate(EACCES)},
      {"the disk is read-only", failingCreate(EROFS)},
  };
  const std::string config = configFilePath();
  struct SavePath {
    const char* what;
    std::string file;
    std::function<void()> save;
  };
  const SavePath paths[] = {
      {"Buffer > Save...", dir + "/old.seq",
       [&] {
         answer = dir + "/old.seq";
         Command(command::kSaveBuffer);
         EXPECT_FALSE(frame->GetStatusBar()->GetStatusText(0).StartsWith("Saved"));
       }},
      {"Export", dir + "/old.morbbs",
       [&] {
         book->prompts.chooseFile = [&](wxWindow*, const FileChoice&) { return std::optional<wxString>(answer); };
         answer = dir + "/old.morbbs";
         Press(addressBookId::kExport);
       }},
      {"an address book edit", config,
       [&] {
         Press(addressBookId::kNew);
         book->prompts.askToSave = [] { return true; };
         book->Close();
         book = nullptr;
         RunEventLoopFor(50);
       }},
      {"a menu setting", config,
       [&] {
         Command(command::kScale1);
         RunEventLoopUntil([&] { return !told.empty(); }, 3000);
       }},
      {"leaving the program", config, [] { SaveAtExit(); }},
  };
  // A buffer to save and an open address book, made while the disk works.
  answer = dir + "/board.seq";
  Command(command::kLoadBuffer);
  OpenBook();
  for (std::size_t i = 0; i < std::size(paths); ++i) {
    const SavePath& p = paths[i];
    const Fault& fault = faults[i % std::size(faults)];
    SCOPED_TRACE(std::string(p.what) + ", " + fault.reason);
    const std::string before = ReadFile(p.file);
    told.clear();
    fault.apply(programFileWriteSteps());
    p.save();
    programFileWriteSteps() = FileWriteSteps();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(p.file), std::string::npos) << told[0];
    EXPECT_NE(told[0].find(fault.reason), std::string::npos) << told[0];
    EXPECT_EQ(ReadFile(p.file), before);
  }
}

}  // namespace
