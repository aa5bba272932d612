// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Help menu: the About dialog and the update check.
#include "app/CommandIds.h"
#include "app/MorlenFrame.h"
#include "app/ProductInfo.h"
#include "app/ProgramValues.h"
#include "dialogs/UpdateCheck.h"
#include "dialogs/wxAboutDialog.h"
#include "settings/Settings.h"
#include "settings/TextHelpers.h"

namespace {
constexpr const char* kAboutTitle = "About Morlen";
constexpr const char* kDescription =
    "Morlen is a modern interpretation\nof the legendary terminal program\nfor tcp-based PETSCII BBSes.";
constexpr const char* kCredits =
    "Programming: the Morlen team at Vendorly\nPETSCII art and C64 glyphs: Vendorly\nTesting: callers of many boards";
constexpr const char* kPictureTooltip = "\"Night Call\" by Vendorly";
constexpr const char* kYears = "2021";
}  // namespace

std::vector<CommandRow> MorlenFrame::HelpCommands() {
  return {
      Command(wxID_ABOUT, "&About", "Show about dialog", [this] { OnAbout(); }),
      Command(command::kCheckForUpdates, "&Check for Updates...", "Check for a new version of Morlen",
              [this] { OnCheckForUpdates(); }),
  };
}

void MorlenFrame::OnAbout() {
  qwx::wxAboutDialog dialog(this, kAboutTitle, wxCAPTION | wxCLOSE_BOX);
  dialog.titleLine = std::string("Morlen v") + productVersion + versionSuffix;
  dialog.description = kDescription;
  dialog.credits = kCredits;
  dialog.link = std::string(kMakerAddress) + "/" + toLowerText(productName);
  dialog.buildDate = releaseDate;
  dialog.years = kYears;
  dialog.pictureTooltip = kPictureTooltip;
  dialog.displayScale = displayScale();
  dialog.ShowModal();
}

void MorlenFrame::ReplaceUpdateChecker(qwx::wxCheckForUpdates* checker) {
  if (updateChecker && !updateChecker->IsBeingDeleted()) updateChecker->Destroy();
  updateChecker = checker;
}

void MorlenFrame::StartUpdateCheck() {
  ReplaceUpdateChecker(new qwx::wxCheckForUpdates(this, productName, productVersion, true));
  updateChecker->StartAutomaticCheck();
}

// The check runs beside the session; a second request while one waits
// brings its progress window forward instead of starting another.
void MorlenFrame::OnCheckForUpdates() {
  if (updateChecker && updateChecker->RaiseManualCheck()) return;
  ReplaceUpdateChecker(
      new qwx::wxCheckForUpdates(this, productName, productVersion, programSettings().autoCheckForUpdate));
  updateChecker->StartManualCheck([](bool autoCheck) { programSettings().autoCheckForUpdate = autoCheck; });
}
