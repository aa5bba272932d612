// SPDX-License-Identifier: GPL-3.0-or-later
// Every save of the windows on a disk that refuses it: the user is told in
// a message naming the file and the reason, and the file that was there
// stays whole. The faults are put into the save's system calls.
#include <gtest/gtest.h>
#include <wx/listctrl.h>
#include <wx/wx.h>

#include <cerrno>
#include <filesystem>
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
#include "app/MessagePrompt.h"
#include "gui/GuiTestSupport.h"
#include "settings/Configuration.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

TEST(SaveFailure, EverySaveSaysSoAndKeepsTheOldFile) {
  char pattern[] = "/tmp/morlen-savefail-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = pattern, config = configFilePath();
  programSettings() = Settings{2, 1, false, false};
  programAddressBook() = AddressBook{{AddressBookEntry{}}, kNoEntrySelected};
  programAddressBook().entries[0].name = "Board";
  ASSERT_TRUE(saveConfiguration());
  for (const char* name : {"/board.seq", "/old.seq", "/old.morbbs"}) std::ofstream(dir + name) << "old " << name;
  std::string answer = dir + "/board.seq";
  std::vector<std::string> told;
  const FileChooser chooser = ProgramFileChooser();
  const MessagePrompt prompt = ProgramMessagePrompt();
  ProgramFileChooser() = [&](wxWindow*, const FileRequest&) { return wxString(answer); };
  ProgramMessagePrompt() = [&](wxWindow*, const MessageRequest& request) {
    EXPECT_TRUE(request.error);
    told.push_back(request.message.ToStdString());
    return std::size_t{0};
  };
  auto* frame = new MorlenFrame;
  frame->Show();
  const auto command = [&](int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    frame->GetEventHandler()->ProcessEvent(event);
  };
  // A buffer to save, and the address book as F7 opens it, its first row chosen.
  command(command::kLoadBuffer);
  AddressBookFrame* book = OpenAddressBook(frame);
  RunEventLoopFor(200);
  const long chosen = wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED;
  dynamic_cast<wxListCtrl*>(wxWindow::FindWindowById(addressBookId::kList, book))->SetItemState(0, chosen, chosen);
  book->prompts.chooseFile = [&](wxWindow*, const FileChoice&) { return std::optional<wxString>(answer); };
  book->prompts.askToSave = [] { return true; };
  const auto press = [&](int id) {
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(wxWindow::FindWindowById(id, book));
    book->GetEventHandler()->ProcessEvent(event);
  };

  struct SavePath {
    const char* what;
    std::string file;
    std::function<void()> save;
  };
  const SavePath paths[] = {
      {"Buffer > Save...", dir + "/old.seq", [&] { command(command::kSaveBuffer); }},
      {"Export", dir + "/old.morbbs", [&] { press(addressBookId::kExport); }},
      {"an address book edit", config, [&] {
         press(addressBookId::kNew);
         book->Close();
       }},
      {"a menu setting", config, [&] {
         command(command::kScale1);
         RunEventLoopUntil([&] { return !told.empty(); }, 3000);
       }},
      {"leaving the program", config, [] { SaveAtExit(); }},
  };
  // A full disk fails the write; no permission and a read-only disk, the
  // temporary file.
  const std::pair<const char*, int> faults[] = {
      {"the disk is full", ENOSPC}, {"permission denied", EACCES}, {"the disk is read-only", EROFS}};
  for (std::size_t i = 0; i < std::size(paths); ++i) {
    const auto& [reason, error] = faults[i % std::size(faults)];
    SCOPED_TRACE(std::string(paths[i].what) + ", " + reason);
    const std::string before = ReadFile(paths[i].file);
    answer = paths[i].file;
    told.clear();
    if (error == ENOSPC) {
      programFileWriteSteps().write = [](int, const void*, std::size_t) -> ssize_t { return errno = ENOSPC, -1; };
    } else {
      programFileWriteSteps().create = [error = error](char*) { return errno = error, -1; };
    }
    paths[i].save();
    programFileWriteSteps() = FileWriteSteps();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(paths[i].file + ": " + reason + "."), std::string::npos) << told[0];
    EXPECT_EQ(ReadFile(paths[i].file), before);
  }
  EXPECT_FALSE(frame->GetStatusBar()->GetStatusText(0).StartsWith("Saved"));
  ProgramFileChooser() = chooser;
  ProgramMessagePrompt() = prompt;
  frame->Destroy();
  RunEventLoopFor(50);
  std::filesystem::remove_all(dir);
}

}  // namespace
