// SPDX-License-Identifier: GPL-3.0-or-later
// The address book window as it opens, its layout, and the editor: loading
// rows, typing into the fields, the locale conversion, odd colours.
#include <wx/radiobut.h>

#include <clocale>

#include "addressbook/wxColor16ChooserPopup.h"
#include "gui/AddressBookTestSupport.h"
#include "settings/Base64.h"
#include "settings/DefaultAddressBook.h"

namespace {

using namespace addressbooktest;
using namespace addressBookId;

class AddressBookWindow : public AddressBookFixture {
 protected:
  wxColour Swatch(int id) { return BitmapColour(Control<wxButton>(id)->GetBitmap(), 15, 7); }
  bool Radio(int id) { return Control<wxRadioButton>(id)->GetValue(); }
  void ExpectEditorEmptyAndDisabled() {
    for (int id : {kName, kDescription, kAddress, kPort}) {
      EXPECT_EQ(Field(id)->GetValue(), "") << id;
      EXPECT_FALSE(Field(id)->IsEnabled()) << id;
    }
    for (int id : {kBackground, kForeground, kTelnet, kEcho, kDelete, kExport, kConnect}) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Radio(kColumns40));
    EXPECT_TRUE(frame->Preview()->Terminal().Bytes().empty());
  }
};

TEST_F(AddressBookWindow, OpensAnEmptyBookWithADisabledEmptyEditor) {
  Open({});
  EXPECT_EQ(wxWindow::FindWindowByLabel("Address Book"), frame.get()) << "how the main window finds it";
  EXPECT_EQ(frame->GetParent(), parent);
  EXPECT_EQ(List()->GetItemCount(), 0);
  ExpectEditorEmptyAndDisabled();
  EXPECT_FALSE(Enabled(kUndo));
  EXPECT_TRUE(Enabled(kNew));
  EXPECT_TRUE(Enabled(kImport));
  EXPECT_EQ(ConnectLabel(), "Connect");
}

TEST_F(AddressBookWindow, OpensOnTheStoredRowWhenItNamesOneAfterTheFirst) {
  for (auto [stored, row] : {std::pair{3, 3}, std::pair{0, 0}, std::pair{-1, 0}, std::pair{5, 0}}) {
    Open(FiveEntries(), stored);
    EXPECT_EQ(SelectedRow(), row) << "stored " << stored;
    EXPECT_EQ(Field(kName)->GetValue(), FiveEntries()[static_cast<std::size_t>(row)].name) << stored;
    EXPECT_TRUE(Field(kName)->IsEnabled());
    EXPECT_EQ(programAddressBook().selectedIndex, stored) << "the opening selection is not the user's";
  }
}

TEST_F(AddressBookWindow, ListBesideTheEditorWithTheCentredPreview) {
  Open(defaultAddressBookEntries(), 1);
  qwx::wxPetsciiScrolledCanvas* preview = frame->Preview();
  EXPECT_EQ(preview->GetClientSize(), wxSize(320, 200));
  EXPECT_FALSE(preview->HasScrollbar(wxVERTICAL));
  const wxRect previewRect = preview->GetRect();
  const int rightGap = preview->GetParent()->GetClientSize().x - previewRect.GetRight() - 1;
  EXPECT_LE(std::abs(previewRect.x - rightGap), 1) << previewRect.x << " " << rightGap;

  const wxRect list = List()->GetScreenRect(), name = Field(kName)->GetScreenRect();
  const wxRect deleteButton = Control(kDelete)->GetScreenRect(), newButton = Control(kNew)->GetScreenRect();
  const int buttonRowWidth = newButton.GetRight() + 1 - deleteButton.x + 2 * 5;  // with their borders
  EXPECT_LE(list.width, buttonRowWidth) << "no wider than the buttons";
  EXPECT_LT(list.GetRight(), name.x);
  EXPECT_LT(list.GetBottom(), deleteButton.y);
  const wxRect address = Field(kAddress)->GetScreenRect(), port = Field(kPort)->GetScreenRect();
  EXPECT_LT(name.GetBottom(), Field(kDescription)->GetScreenRect().y);
  EXPECT_GT(Field(kDescription)->GetSize().y, 3 * name.height) << "room for five lines";
  EXPECT_EQ(address.y, port.y);
  EXPECT_GT(address.width, 2 * port.width);
  const wxRect telnet = Control(kTelnet)->GetScreenRect();
  EXPECT_GT(telnet.x, port.GetRight()) << "the Telnet option beside the port";
  EXPECT_LT(std::abs((telnet.y + telnet.height / 2) - (port.y + port.height / 2)), port.height / 2);
  const wxRect undo = Control(kUndo)->GetScreenRect(), connect = Control(kConnect)->GetScreenRect();
  EXPECT_GT(undo.y, preview->GetScreenRect().GetBottom());
  EXPECT_LT(undo.GetRight(), connect.x);

  const wxFont standard = wxListCtrl(frame, wxID_ANY).GetFont();
  EXPECT_NEAR(List()->GetFont().GetFractionalPointSize() / standard.GetFractionalPointSize(), 1.44, 0.05);
  EXPECT_EQ(frame->GetWindowStyleFlag(), wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxCLIP_CHILDREN | wxTAB_TRAVERSAL);
  RunEventLoopFor(300);
  SaveScreenShot(frame, "address_book_window");
}

TEST_F(AddressBookWindow, SelectingARowLoadsItAndLosingTheSelectionClears) {
  AddressBookEntry board = Entry("Board", 23);
  board.description = "Line one\nLine two";
  board.background = 6;
  board.foreground = 7;
  board.echo = true;
  board.telnet = true;
  board.columns = 80;
  const ByteBuffer screen = {0x05, 'H', 'I'};  // white "HI"
  board.screenshot = base64Encode(screen);
  Open({Entry("First"), board});

  wxRect row;
  ASSERT_TRUE(List()->GetItemRect(1, row));
  ClickAt(List()->ClientToScreen(row.GetPosition() + wxPoint(row.width / 3, row.height / 2)));
  EXPECT_EQ(programAddressBook().selectedIndex, 1);
  EXPECT_EQ(Field(kName)->GetValue(), "Board");
  EXPECT_EQ(Field(kDescription)->GetValue(), "Line one\nLine two");
  EXPECT_EQ(Field(kAddress)->GetValue(), "Board.example");
  EXPECT_EQ(Field(kPort)->GetValue(), "23");
  EXPECT_EQ(Swatch(kBackground), LiveColour(6));
  EXPECT_EQ(Swatch(kForeground), LiveColour(7));
  EXPECT_TRUE(Control<wxCheckBox>(kEcho)->GetValue());
  EXPECT_TRUE(Control<wxCheckBox>(kTelnet)->GetValue());
  EXPECT_TRUE(Radio(kColumns80));
  EXPECT_FALSE(Radio(kColumns40));
  for (int id : {kEcho, kTelnet}) EXPECT_TRUE(Enabled(id)) << id;
  for (int id : {kColumns40, kColumns80}) EXPECT_FALSE(Enabled(id)) << "shown, not changed here: " << id;
  const PetsciiScreen& shown = frame->Preview()->Screen();
  EXPECT_EQ(frame->Preview()->Terminal().Bytes(), screen);
  ASSERT_GE(shown.Lines()[shown.Top()].cells.size(), 2u);
  EXPECT_EQ(shown.Lines()[shown.Top()].cells[1].colour, 1);
  EXPECT_FALSE(programWorkingCopy().isModified()) << "selecting is not editing";

  Unselect(1);
  EXPECT_EQ(programAddressBook().selectedIndex, -1);
  ExpectEditorEmptyAndDisabled();
  EXPECT_EQ(Working()[1], board) << "clearing the editor leaves the entry alone";
}

TEST_F(AddressBookWindow, TypingEditsTheSelectedEntry) {
  Open(FiveEntries(), 1);
  const int columnWidth = List()->GetColumnWidth(0);
  TypeInto(Field(kName), " and a much longer name");
  EXPECT_EQ(Working()[1].name, "Bravo and a much longer name");
  EXPECT_EQ(List()->GetItemText(1), "Bravo and a much longer name");
  EXPECT_EQ(List()->GetColumnWidth(0), columnWidth) << "renames do not resize the column";
  EXPECT_EQ(ConnectLabel(), "Save && Connect");
  TypeInto(Field(kDescription), "\rmore");
  EXPECT_EQ(Working()[1].description, "Bravo description\nmore");

  ClickOn(Control(kTelnet));
  ClickOn(Control(kEcho));
  EXPECT_TRUE(Working()[1].telnet);
  EXPECT_TRUE(Working()[1].echo);

  wxTextCtrl* port = Field(kPort);
  port->SetValue("");
  EXPECT_EQ(Working()[1].port, 0) << "an empty field stores 0";
  EXPECT_FALSE(Enabled(kConnect));
  TypeInto(port, "7a0-0x00");
  EXPECT_EQ(port->GetValue(), "70000") << "only digits can be typed";
  EXPECT_EQ(Working()[1].port, 4464);
  EXPECT_TRUE(Enabled(kConnect));
  port->SetValue("telnet");  // pasted: kept in the field, the port stays
  EXPECT_EQ(Working()[1].port, 4464);
  EXPECT_EQ(Working()[0], FiveEntries()[0]);
}

// Sets the process's character type locale for one test.
class ScopedCharacterLocale {
 public:
  explicit ScopedCharacterLocale(const char* name) : previous(std::setlocale(LC_CTYPE, nullptr)) {
    ok = std::setlocale(LC_CTYPE, name) != nullptr;
  }
  ~ScopedCharacterLocale() { std::setlocale(LC_CTYPE, previous.c_str()); }
  bool ok = false;

 private:
  std::string previous;
};

TEST_F(AddressBookWindow, TextsCrossThroughTheLocaleConversion) {
  ScopedCharacterLocale utf8("C.UTF-8");
  ASSERT_TRUE(utf8.ok);
  Open({Entry("First"), Entry("Bad \xff name")});
  Field(kName)->SetValue(wxString::FromUTF8("Caf\xc3\xa9 \xe2\x98\x95"));
  EXPECT_EQ(Working()[0].name, "Caf\xc3\xa9 \xe2\x98\x95");
  ChooseRow(1);
  EXPECT_EQ(Field(kName)->GetValue(), "") << "not UTF-8: nothing to show";
  EXPECT_EQ(List()->GetItemText(1), "");
  EXPECT_EQ(Working()[1].name, "Bad \xff name");

  ScopedCharacterLocale ascii("C");
  ASSERT_TRUE(ascii.ok);
  ChooseRow(0);
  Field(kName)->SetValue(wxString::FromUTF8("Caf\xc3\xa9"));
  EXPECT_EQ(Working()[0].name, "") << "the locale cannot hold it";
}

TEST_F(AddressBookWindow, ColoursAboveFifteenShowInsideThePaletteAndStayStored) {
  AddressBookEntry odd = Entry("Odd");
  odd.background = 17;
  odd.foreground = 200;
  Open({Entry("First"), odd}, 1);
  EXPECT_EQ(Swatch(kBackground), LiveColour(17 & 15));
  EXPECT_EQ(Swatch(kForeground), LiveColour(200 & 15));
  TypeInto(Field(kName), "!");
  EXPECT_EQ(Working()[1].background, 17);
  EXPECT_EQ(Working()[1].foreground, 200);

  ClickOn(Control(kForeground));
  wxWindow* swatch = wxWindow::FindWindowById(qwx::wxColor16ChooserPopup::kFirstSwatchId + 5);
  ASSERT_NE(swatch, nullptr) << "no popup";
  ClickOn(swatch);
  EXPECT_EQ(Working()[1].foreground, 5);
  EXPECT_EQ(Working()[1].background, 17);
  EXPECT_EQ(Swatch(kForeground), LiveColour(5));
}

}  // namespace
