// SPDX-License-Identifier: GPL-3.0-or-later
// The sixteen-colour chooser on a window of its own: the swatch button,
// its popup and the event a pick sends, driven with real pointer input.
#include <gtest/gtest.h>
#include <wx/clrpicker.h>
#include <wx/uiaction.h>
#include <wx/wx.h>

#include <vector>

#include "addressbook/wxColor16ChooserButton.h"
#include "addressbook/wxColor16ChooserPopup.h"
#include "app/MorlenFrame.h"
#include "gui/AddressBookTestSupport.h"
#include "settings/Settings.h"

namespace {

using namespace addressbooktest;
using qwx::wxColor16ChooserPopup;

constexpr int kChooserId = 6047;

struct Pick {
  int id;
  int index;
  wxObject* object;
};

class AddressBookChooser : public ::testing::Test {
 protected:
  void SetUp() override {
    previousAssertHandler = wxSetAssertHandler(&FailOnAssert);
    frame = new wxFrame(nullptr, wxID_ANY, "Chooser", wxPoint(200, 150), wxSize(300, 200));
    chooser = new qwx::wxColor16ChooserButton(new wxPanel(frame), kChooserId, wxPoint(20, 20), wxDefaultSize, 100,
                                              wxDefaultValidator, wxColourPickerWidgetNameStr);
    chooser->SetPalette(&palette);
    chooser->SetColourIndex(0);
    frame->Bind(wxEVT_COLOR16_CHOSEN,
                [this](wxCommandEvent& e) { picks.push_back({e.GetId(), e.GetInt(), e.GetEventObject()}); });
    frame->Show();
    RunEventLoopFor(200);
  }
  void TearDown() override {
    frame->Destroy();
    RunEventLoopFor(50);
    wxSetAssertHandler(previousAssertHandler);
  }

  wxColour Colour(int i) const {
    const PaletteColour& c = palette[static_cast<std::size_t>(i)];
    return wxColour(c.red, c.green, c.blue);
  }
  wxColour Shown(int x = 15, int y = 7) const { return BitmapColour(chooser->GetBitmap(), x, y); }
  wxColor16ChooserPopup* ShownPopup() const {
    for (wxWindow* child : chooser->GetChildren())
      if (auto* popup = dynamic_cast<wxColor16ChooserPopup*>(child); popup && popup->IsShown()) return popup;
    return nullptr;
  }
  wxColor16ChooserPopup* OpenPopup() {
    ClickOn(chooser);
    wxColor16ChooserPopup* popup = ShownPopup();
    EXPECT_NE(popup, nullptr) << "no popup after a click on the chooser";
    return popup;
  }

  wxAssertHandler_t previousAssertHandler = nullptr;
  Palette palette = kBuiltInPalette;
  wxFrame* frame = nullptr;
  qwx::wxColor16ChooserButton* chooser = nullptr;
  std::vector<Pick> picks;
};

TEST_F(AddressBookChooser, TheButtonShowsThePaletteColourWithoutRoomForALabel) {
  auto* plain = new wxButton(chooser->GetParent(), wxID_ANY, wxEmptyString, wxPoint(20, 80), wxDefaultSize, 100);
  wxBitmap swatch;
  swatch.Create(30, 14, -1);
  plain->SetBitmap(swatch);
  plain->SetBitmapPosition(wxLEFT);
  EXPECT_EQ(chooser->GetBestSize(), plain->GetBestSize() - wxSize(36, 6));
  EXPECT_EQ(chooser->GetBitmap().GetSize(), wxSize(30, 14));

  for (int n : {1, 6, 15}) {
    EXPECT_TRUE(chooser->SetColourIndex(n));
    EXPECT_EQ(Shown(0, 0), Colour(n)) << n;
    EXPECT_EQ(Shown(29, 13), Colour(n)) << n;
  }
  EXPECT_FALSE(chooser->SetColourIndex(16)) << "outside the palette: nothing drawn";
  EXPECT_EQ(Shown(), Colour(15));
  palette[6] = {0x12, 0x34, 0x56};  // read at every drawing
  chooser->SetColourIndex(6);
  EXPECT_EQ(Shown(), wxColour(0x12, 0x34, 0x56));
  EXPECT_TRUE(picks.empty()) << "showing a colour is not a pick";
}

TEST_F(AddressBookChooser, APickFromThePopupShowsTheColourSendsOneEventAndCloses) {
  palette[2] = {0x01, 0x02, 0x03};
  wxColor16ChooserPopup* popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  auto* box = dynamic_cast<wxStaticBox*>(popup->Swatch(0)->GetParent());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->GetLabel(), "palette: Colodore");
  for (int i = 0; i < 16; ++i) {
    wxButton* swatch = popup->Swatch(i);
    EXPECT_EQ(swatch->GetId(), 1000 + i);
    EXPECT_EQ(swatch->GetSize(), wxSize(32, 24)) << i;
    EXPECT_EQ(swatch->GetToolTipText(), ColourName(i));
    EXPECT_EQ(swatch->GetBackgroundColour(), Colour(i)) << i;
    const wxPoint at = swatch->GetPosition(), first = popup->Swatch(i % 8)->GetPosition();
    EXPECT_EQ(at.x, first.x) << "two rows of eight: " << i;
    EXPECT_EQ(at.y > first.y, i >= 8) << i;
  }
  EXPECT_EQ(popup->Swatch(8)->GetToolTipText(), "orange");
  const wxRect button = chooser->GetScreenRect();
  EXPECT_EQ(popup->GetScreenPosition(), wxPoint(button.x + button.width / 2, button.GetBottom() + 1))
      << "below the button, from its middle";
  SaveScreenShot(popup, "colour_popup");

  ClickOn(popup->Swatch(2));
  ASSERT_EQ(picks.size(), 1u);
  EXPECT_EQ(picks[0].id, kChooserId);
  EXPECT_EQ(picks[0].index, 2);
  EXPECT_EQ(picks[0].object, chooser);
  EXPECT_EQ(Shown(), wxColour(0x01, 0x02, 0x03));
  EXPECT_EQ(ShownPopup(), nullptr);
  RunEventLoopFor(100);
  EXPECT_TRUE(chooser->GetChildren().IsEmpty()) << "the popup goes once it is done";
}

TEST_F(AddressBookChooser, APressBetweenSwatchesKeepsItOpenOneOutsideClosesIt) {
  chooser->SetColourIndex(3);
  wxColor16ChooserPopup* popup = OpenPopup();
  ASSERT_NE(popup, nullptr);
  const wxRect first = popup->Swatch(0)->GetScreenRect(), second = popup->Swatch(1)->GetScreenRect();
  ClickAt(wxPoint((first.GetRight() + second.x) / 2, first.y + first.height / 2));
  EXPECT_EQ(ShownPopup(), popup) << "between two swatches";
  ClickAt(popup->GetScreenPosition() + wxPoint(1, 1));
  EXPECT_EQ(ShownPopup(), popup) << "on the popup's edge";

  ClickAt(frame->GetScreenPosition() + wxPoint(280, 180));
  EXPECT_EQ(ShownPopup(), nullptr);
  EXPECT_TRUE(picks.empty()) << "closing without a pick sends nothing";
  EXPECT_EQ(Shown(), Colour(3));
  RunEventLoopFor(100);
  EXPECT_TRUE(chooser->GetChildren().IsEmpty());
}

// The chooser inside the address book the main window opens.
class AddressBookChooserInWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    previousAssertHandler = wxSetAssertHandler(&FailOnAssert);
    programSettings() = Settings{};
    programSettings().autoCheckForUpdate = false;
    programAddressBook() = AddressBook{};
    programAddressBook().entries = {Entry("Alpha")};
    main = new MorlenFrame;
    main->Show();
    RunEventLoopFor(200);
  }
  void TearDown() override {
    main->Destroy();
    RunEventLoopFor(50);
    wxSetAssertHandler(previousAssertHandler);
  }

  wxAssertHandler_t previousAssertHandler = nullptr;
  MorlenFrame* main = nullptr;
};

TEST_F(AddressBookChooserInWindow, WorksByKeyboardAndClosesWithItsAddressBook) {
  wxCommandEvent connect(wxEVT_MENU, command::kConnect);
  main->GetEventHandler()->ProcessEvent(connect);
  RunEventLoopFor(300);
  auto* book = dynamic_cast<AddressBookFrame*>(wxWindow::FindWindowByLabel(AddressBookFrame::kTitle));
  ASSERT_NE(book, nullptr);
  EXPECT_FALSE(main->CommandEnabled(command::kConnect));
  auto* chooser = dynamic_cast<qwx::wxColor16ChooserButton*>(book->FindWindow(addressBookId::kBackground));
  ASSERT_NE(chooser, nullptr);
  const auto open = [chooser] {
    chooser->SetFocus();
    wxUIActionSimulator().Char(WXK_SPACE);
    return RunEventLoopUntil([chooser] { return chooser->ShownPopup() != nullptr; });
  };
  chooser->SetColourIndex(5);
  ASSERT_TRUE(open());
  wxColor16ChooserPopup* popup = chooser->ShownPopup();
  EXPECT_EQ(popup->Highlighted(), 5) << "the keyboard starts on the colour shown";
  EXPECT_NE(BitmapColour(popup->Swatch(5)->GetBitmap(), 10, 7), BitmapColour(popup->Swatch(4)->GetBitmap(), 10, 7))
      << "the colour shown is marked";
  wxUIActionSimulator keys;
  for (int key : {WXK_RIGHT, WXK_DOWN, WXK_LEFT, WXK_RETURN}) {
    keys.Char(key);
    RunEventLoopFor(50);
  }
  EXPECT_TRUE(RunEventLoopUntil([chooser] { return chooser->ShownPopup() == nullptr; }));
  EXPECT_EQ(programWorkingCopy().entries.at(0).background, 13);

  // Escape leaves without a pick; closing the book takes an open palette along.
  ASSERT_TRUE(open());
  keys.Char(WXK_ESCAPE);
  EXPECT_TRUE(RunEventLoopUntil([chooser] { return chooser->ShownPopup() == nullptr; }));
  ASSERT_TRUE(open());
  wxWeakRef<wxColor16ChooserPopup> left = chooser->ShownPopup();
  book->prompts.askToSave = [] { return false; };
  book->Close();
  RunEventLoopFor(300);
  EXPECT_FALSE(left && left->IsShown()) << "the palette outlives its address book";
  EXPECT_EQ(wxWindow::FindWindowByLabel(AddressBookFrame::kTitle), nullptr);
  EXPECT_TRUE(main->CommandEnabled(command::kConnect));
}

}  // namespace
