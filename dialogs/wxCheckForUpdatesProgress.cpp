// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/wxCheckForUpdatesProgress.h"

namespace qwx {

namespace {
constexpr const char* kTitle = "Check for Updates";
constexpr const char* kText = "Checking for a new version...";
constexpr int kBorder = 12;
constexpr int kBarWidth = 240;
}  // namespace

wxCheckForUpdatesProgress::wxCheckForUpdatesProgress(wxWindow* parent, std::function<void()> onCancel)
    : wxDialog(parent, wxID_ANY, kTitle, wxDefaultPosition, wxDefaultSize, wxCAPTION | wxCLOSE_BOX),
      onCancel(std::move(onCancel)) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(new wxStaticText(this, wxID_ANY, kText), 0, wxALL, kBorder);
  bar = new wxGauge(this, wxID_ANY, 1, wxDefaultPosition, wxSize(kBarWidth, -1));
  sizer->Add(bar, 0, wxEXPAND | wxLEFT | wxRIGHT, kBorder);
  sizer->Add(new wxButton(this, wxID_CANCEL, "Cancel"), 0, wxALIGN_RIGHT | wxALL, kBorder);
  SetSizerAndFit(sizer);
  CentreOnParent();
  // Escape presses Cancel.
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { this->onCancel(); }, wxID_CANCEL);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { this->onCancel(); });
}

}  // namespace qwx
