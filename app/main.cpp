// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/MorlenApp.h"

wxIMPLEMENT_APP_NO_MAIN(MorlenApp);

// The flags are read before the toolkit starts, which needs a display.
int main(int argc, char** argv) {
  const CommandLineOutcome outcome = ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!outcome.run) {
    std::fputs(outcome.out.c_str(), stdout);
    std::fputs(outcome.err.c_str(), stderr);
    return outcome.exitCode;
  }
  return wxEntry(argc, argv);
}
