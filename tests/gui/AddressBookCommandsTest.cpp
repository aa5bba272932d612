// SPDX-License-Identifier: GPL-3.0-or-later
// The address book window's commands on the real window: new, delete,
// moves, undo, import and export, paste screenshot, close and connect.
#include <optional>

#include "addressbook/AddressBookEditing.h"
#include "gui/AddressBookTestSupport.h"
#include "settings/AddressBookText.h"
#include "settings/Base64.h"

namespace {

using namespace addressbooktest;
using namespace addressBookId;
using NameList = std::vector<std::string>;
// How long the keys typed into a context menu take to act.
constexpr int kMenuKeysMs = 300;

// What a context menu held once it was up.
struct MenuLook {
  bool opened = false;
  std::vector<wxString> labels;
  bool pasteEnabled = false;
};

class AddressBookCommands : public AddressBookFixture {
 protected:
  void SetUp() override {
    AddressBookFixture::SetUp();
    char pattern[] = "/tmp/morlen-book-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory = pattern;
  }
  void TearDown() override {
    AddressBookFixture::TearDown();
    std::system(("rm -rf '" + directory + "'").c_str());
  }

  // The file dialogs answer `path` (nothing: cancelled) and note the question.
  void AnswerFileDialogs(std::optional<std::string> path) {
    frame->prompts.chooseFile = [this, path](wxWindow* owner, const FileChoice& choice) {
      EXPECT_EQ(owner, frame.get());
      asked.push_back(choice);
      return path ? std::optional<wxString>(*path) : std::nullopt;
    };
  }
  void AnswerCloseQuestion(bool yes) {
    frame->prompts.askToSave = [this, yes] { return ++questions, yes; };
  }
  // The configuration file's address book; nothing when there is no file.
  std::optional<std::vector<AddressBookEntry>> SavedEntries() {
    if (!std::ifstream(configFilePath()).good()) return std::nullopt;
    Settings settings;
    AddressBook book;
    readConfiguration(ReadFile(configFilePath()), settings, book);
    return book.entries;
  }

  // Opens a context menu with a real right-click, notes what it holds once
  // up, then types `keys` into it, and Escape if it is still open (Escape
  // in the window would close the window).
  MenuLook OpenContextMenu(wxWindow* window, std::vector<int> keys = {}) {
    MenuLook look;
    bool closed = false;
    wxTimer escape;
    escape.Bind(wxEVT_TIMER, [&closed](wxTimerEvent&) {
      if (!closed) wxUIActionSimulator().Char(WXK_ESCAPE);
    });
    const auto onOpen = [&look, &escape, keys](wxMenuEvent& event) {
      event.Skip();
      wxMenu* menu = event.GetMenu();
      if (!menu || look.opened) return;
      look.opened = true;
      wxTheApp->CallAfter([&look, &escape, menu, keys] {
        for (wxMenuItem* item : menu->GetMenuItems()) look.labels.push_back(item->GetItemLabel());
        if (wxMenuItem* paste = menu->FindItem(kPasteScreenshot))
          look.pasteEnabled = paste->IsEnabled() && paste->GetBitmap().IsOk();
        wxMilliSleep(100);
        wxUIActionSimulator sim;
        for (int key : keys) sim.Char(key);
        escape.StartOnce(kMenuKeysMs);
      });
    };
    const auto onClose = [&closed](wxMenuEvent& event) {
      event.Skip();
      closed = true;
    };
    frame->Bind(wxEVT_MENU_OPEN, onOpen);
    frame->Bind(wxEVT_MENU_CLOSE, onClose);
    ClickAt(window->GetScreenRect().GetPosition() + window->GetSize() / 2, wxMOUSE_BTN_RIGHT);
    RunEventLoopUntil([&] { return look.opened; }, 2000);
    RunEventLoopFor(200);
    RunEventLoopUntil([&] { return !escape.IsRunning(); }, 2000);
    frame->Unbind(wxEVT_MENU_OPEN, onOpen);
    frame->Unbind(wxEVT_MENU_CLOSE, onClose);
    return look;
  }

  std::string directory;
  std::vector<FileChoice> asked;
  int questions = 0;
};

TEST_F(AddressBookCommands, NewAppendsADefaultEntryDeleteRemovesWithoutAsking) {
  Open(FiveEntries(), 1);
  Press(kNew);
  ASSERT_EQ(Working().size(), 6u);
  EXPECT_EQ(Working()[5], makeNewEntry());
  EXPECT_EQ(SelectedRow(), 5);
  EXPECT_EQ(Field(kPort)->GetValue(), "64128");
  EXPECT_TRUE(Enabled(kUndo));
  EXPECT_EQ(ConnectLabel(), "Save && Connect");

  ChooseRow(1);
  Press(kDelete);
  EXPECT_EQ(Names(), (NameList{"Alpha", "Charlie", "Delta", "Echo", "New..."}));
  EXPECT_EQ(Field(kName)->GetValue(), "Charlie") << "the next row moves up into the place";
  ChooseRow(4);
  Press(kDelete);
  EXPECT_EQ(SelectedRow(), 3) << "the new last row";
  EXPECT_EQ(Field(kName)->GetValue(), "Echo");
  for (int left = 4; left > 0; --left) Press(kDelete);
  EXPECT_EQ(List()->GetItemCount(), 0);
  EXPECT_EQ(Field(kName)->GetValue(), "");
  EXPECT_FALSE(Field(kName)->IsEnabled());
  EXPECT_FALSE(Enabled(kDelete));
  EXPECT_EQ(questions, 0);
  EXPECT_EQ(programAddressBook().entries, FiveEntries()) << "nothing is stored before a commit";
}

TEST_F(AddressBookCommands, MovesExchangeNeighboursFromMenuAndKeys) {
  Open({Entry("A"), Entry("B"), Entry("C")});
  EXPECT_FALSE(CommandEnabled(kMoveUp)) << "row 0 cannot go up";
  Command(kMoveUp);
  const MenuLook menu = OpenContextMenu(List(), {WXK_DOWN, WXK_RETURN});  // the first offered item
  ASSERT_TRUE(menu.opened);
  EXPECT_EQ(menu.labels, (std::vector<wxString>{"Move &Up\tAlt+Up", "Move &Down\tAlt+Down"}));
  EXPECT_EQ(MnemonicFaults(menu.labels), std::vector<wxString>{});
  EXPECT_EQ(Names(), (NameList{"B", "A", "C"}));
  EXPECT_EQ(Field(kName)->GetValue(), "A") << "the moved entry stays in the editor";

  List()->SetFocus();
  RunEventLoopFor(50);
  wxUIActionSimulator sim;
  sim.Char(WXK_DOWN, wxMOD_ALT);
  RunEventLoopFor(200);
  EXPECT_EQ(Names(), (NameList{"B", "C", "A"}));
  EXPECT_EQ(SelectedRow(), 2);
  EXPECT_FALSE(CommandEnabled(kMoveDown)) << "the last row cannot go down";
  Command(kMoveDown);
  sim.Char(WXK_UP, wxMOD_ALT);
  RunEventLoopFor(200);
  EXPECT_EQ(Names(), (NameList{"B", "A", "C"}));

  Unselect(1);  // with no row both are offered and do nothing
  EXPECT_TRUE(CommandEnabled(kMoveUp));
  EXPECT_TRUE(CommandEnabled(kMoveDown));
  Command(kMoveUp);
  EXPECT_EQ(Names(), (NameList{"B", "A", "C"}));
  EXPECT_FALSE(SavedEntries()) << "moving saves nothing";
}

TEST_F(AddressBookCommands, UndoDropsEveryChangeAtOnce) {
  Open(FiveEntries(), 3);
  Field(kName)->SetValue("Renamed");
  Press(kNew);
  ChooseRow(0);
  Press(kDelete);
  Command(kMoveDown);
  Press(kUndo);
  EXPECT_EQ(Working(), FiveEntries());
  EXPECT_EQ(Names(), (NameList{"Alpha", "Bravo", "Charlie", "Delta", "Echo"}));
  EXPECT_FALSE(Enabled(kUndo));
  EXPECT_EQ(ConnectLabel(), "Connect");
  EXPECT_EQ(SelectedRow(), programAddressBook().selectedIndex) << "the row selected last";
  EXPECT_EQ(Field(kName)->GetValue(), List()->GetItemText(SelectedRow()));

  Open({});
  Press(kNew);
  Press(kUndo);
  EXPECT_EQ(SelectedRow(), -1);
  EXPECT_FALSE(Field(kName)->IsEnabled());
  EXPECT_EQ(Field(kName)->GetValue(), "");
}

TEST_F(AddressBookCommands, ImportAppendsEveryEntryOfTheFileAndSelectsTheLast) {
  Open(FiveEntries(), 1);
  const std::string path = directory + "/two.morbbs", empty = directory + "/empty.morbbs";
  AddressBookEntry first = Entry("Imported one", 23), second = Entry("Imported two", 6510);
  std::ofstream(path) << entryToText(first) << "\n" << entryToText(second);
  std::ofstream(empty) << "[]";
  for (const std::optional<std::string>& nothing : {std::optional<std::string>(), std::optional(empty),
                                                    std::optional(directory + "/missing.morbbs")}) {
    AnswerFileDialogs(nothing);
    Press(kImport);
    EXPECT_EQ(Working(), FiveEntries());
    EXPECT_EQ(SelectedRow(), 1);
  }
  AnswerFileDialogs(path);
  Press(kImport);
  EXPECT_EQ(asked.back().message, "Choose a file to open");
  EXPECT_EQ(asked.back().wildcard, "MORBBS files|*.morbbs");
  EXPECT_EQ(asked.back().style, long(wxFD_OPEN));
  ASSERT_EQ(Working().size(), 7u);
  EXPECT_EQ(Working()[5], first);
  EXPECT_EQ(Working()[6], second);
  EXPECT_EQ(SelectedRow(), 6);
  EXPECT_EQ(Field(kPort)->GetValue(), "6510");
  EXPECT_EQ(ConnectLabel(), "Save && Connect");
}

TEST_F(AddressBookCommands, AnExportedEntryImportsAgainUnchanged) {
  AddressBookEntry board = Entry("Board");
  board.foreground = 7;
  board.screenshot = base64Encode({0x05, 'O', 'K'});
  Open({Entry("First"), board}, 1);
  const std::string path = directory + "/board.morbbs";
  AnswerFileDialogs(path);
  Press(kExport);
  EXPECT_EQ(asked.back().message, "Save Entry As");
  EXPECT_EQ(asked.back().wildcard, "MORBBS files|*.morbbs");
  EXPECT_EQ(asked.back().style, long(wxFD_SAVE)) << "no overwrite question";
  EXPECT_EQ(ReadFile(path), entryToText(board));
  EXPECT_FALSE(Enabled(kUndo));

  Press(kImport);
  ASSERT_EQ(Working().size(), 3u);
  EXPECT_EQ(Working()[2], board);
  EXPECT_EQ(frame->Preview()->Terminal().Bytes(), base64Decode(board.screenshot));
}

TEST_F(AddressBookCommands, PasteScreenshotWaitsForAScreenshotThenShowsIt) {
  Open(FiveEntries(), 1);
  // Up reaches the last item, the paste item, when it is enabled.
  const MenuLook before = OpenContextMenu(frame->Preview(), {WXK_UP, WXK_RETURN});
  ASSERT_TRUE(before.opened);
  EXPECT_EQ(before.labels, (std::vector<wxString>{"&Copy as ASCII\tAlt+C", "Copy as &PETSCII", "Select A&ll",
                                                  "P&aste Screenshot"}));
  EXPECT_EQ(MnemonicFaults(before.labels), std::vector<wxString>{});
  EXPECT_FALSE(before.pasteEnabled);

  const ByteBuffer screen = {0x1C, 'R', 'E', 'D'};
  screenshotText() = base64Encode(screen);
  const MenuLook after = OpenContextMenu(frame->Preview(), {WXK_UP, WXK_RETURN});
  EXPECT_TRUE(after.pasteEnabled);
  EXPECT_EQ(Working()[1].screenshot, screenshotText());
  const PetsciiScreen& shown = frame->Preview()->Screen();
  EXPECT_EQ(frame->Preview()->Terminal().Bytes(), screen);
  ASSERT_FALSE(shown.Lines().empty());
  EXPECT_EQ(shown.Lines()[shown.Top()].cells.at(0).colour, 2) << "red";
  EXPECT_EQ(ConnectLabel(), "Save && Connect");
  RunEventLoopFor(200);
  SaveScreenShot(frame, "address_book_pasted");
}

TEST_F(AddressBookCommands, ClosingAsksOnlyWithChangesAndOnlyYesSaves) {
  Open(FiveEntries());
  AnswerCloseQuestion(true);
  frame->Close();
  RunEventLoopFor(50);
  EXPECT_EQ(questions, 0);
  EXPECT_FALSE(frame);

  Open(FiveEntries());
  Press(kNew);
  AnswerCloseQuestion(false);
  frame->Close();
  RunEventLoopFor(50);
  EXPECT_EQ(questions, 1);
  EXPECT_FALSE(frame) << "No closes as well";
  EXPECT_FALSE(SavedEntries());
  frame = OpenAddressBook(parent);
  EXPECT_EQ(List()->GetItemCount(), 5) << "the next opening starts from the stored book";

  Field(kName)->SetValue("Saved name");
  AnswerCloseQuestion(true);
  frame->Close();
  RunEventLoopFor(50);
  EXPECT_EQ(questions, 2);
  ASSERT_TRUE(SavedEntries());
  EXPECT_EQ(SavedEntries()->at(0).name, "Saved name");
  EXPECT_EQ(programAddressBook().entries[0].name, "Saved name");
}

TEST_F(AddressBookCommands, ConnectClosesThenPostsTheIndexSavingChangesFirst) {
  Open(FiveEntries(), 3);
  AnswerCloseQuestion(true);
  EXPECT_EQ(ConnectLabel(), "Connect");
  wxCommandEvent press(wxEVT_BUTTON, kConnect);
  Control(kConnect)->GetEventHandler()->ProcessEvent(press);
  EXPECT_TRUE(connects.empty()) << "posted, not sent";
  RunEventLoopFor(50);
  ASSERT_EQ(connects.size(), 1u);
  EXPECT_EQ(connects[0].id, 0);
  EXPECT_EQ(connects[0].index, 3);
  EXPECT_FALSE(frame) << "the window closed itself";
  EXPECT_EQ(questions, 0) << "a forced close asks nothing";
  EXPECT_FALSE(SavedEntries()) << "nothing to save";

  Open(FiveEntries(), 1);
  TypeInto(Field(kAddress), ".net");
  ChooseRow(2);
  Press(kConnect);
  RunEventLoopFor(50);
  ASSERT_EQ(connects.size(), 2u);
  EXPECT_EQ(connects[1].index, 2);
  EXPECT_EQ(programAddressBook().selectedIndex, 2);
  ASSERT_TRUE(SavedEntries());
  EXPECT_EQ(SavedEntries()->at(1).address, "Bravo.example.net");
}

TEST_F(AddressBookCommands, ActivatingARowConnectsOnlyToAConnectableEntry) {
  Open({Entry("No port", 0), Entry(""), Entry("Fine")});
  for (int row : {0, 1}) {
    ChooseRow(row);
    EXPECT_FALSE(Enabled(kConnect)) << row;
    wxListEvent activate(wxEVT_LIST_ITEM_ACTIVATED, kList);
    List()->GetEventHandler()->ProcessEvent(activate);
    RunEventLoopFor(50);
    EXPECT_TRUE(frame && connects.empty()) << row;
  }
  wxRect rect;
  ASSERT_TRUE(List()->GetItemRect(2, rect));
  wxUIActionSimulator sim;
  sim.MouseMove(List()->ClientToScreen(rect.GetPosition() + wxPoint(10, rect.height / 2)));
  RunEventLoopFor(60);
  sim.MouseDblClick();
  RunEventLoopFor(300);
  ASSERT_EQ(connects.size(), 1u);
  EXPECT_EQ(connects[0].index, 2);
}

}  // namespace
