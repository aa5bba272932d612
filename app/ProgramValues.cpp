// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramValues.h"

#include <cstddef>

extern const unsigned char welcomeScreenSeq[];
extern const std::size_t welcomeScreenSeq_size;

std::string& screenshotText() {
  static std::string text;
  return text;
}

bool& pictureBorder() {
  static bool border = false;
  return border;
}

double& displayScale() {
  static double scale = 1.0;
  return scale;
}

ByteBuffer welcomeScreen() { return ByteBuffer(welcomeScreenSeq, welcomeScreenSeq + welcomeScreenSeq_size); }
