// SPDX-License-Identifier: GPL-3.0-or-later
// Runs GoogleTest inside a toolkit application, so GUI tests create and
// drive the program's real windows on the display of the environment
// (an Xvfb started by the test script).
#include <gtest/gtest.h>
#include <wx/wx.h>

#include "app/MorlenApp.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  wxApp::SetInstance(new MorlenApp);
  int wxArgc = 1;
  if (!wxEntryStart(wxArgc, argv)) return 1;
  PrepareProgram();
  const int result = RUN_ALL_TESTS();
  wxEntryCleanup();
  return result;
}
