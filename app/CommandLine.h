// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's few flags, read before the toolkit starts: --help and
// --version answer without a display, and a mistyped flag ends the program
// with a message instead of being ignored.
#include <string>
#include <vector>

// What the command line asks for. When `run` is false the program prints
// `out` and `err` and ends with `exitCode`; otherwise the toolkit starts with
// the arguments as given (it takes --display itself).
struct CommandLineOutcome {
  bool run = true;
  int exitCode = 0;
  std::string out;
  std::string err;
};

// `args` are the arguments after the program's name.
CommandLineOutcome ReadCommandLine(const std::vector<std::string>& args);
