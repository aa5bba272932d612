// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The timer that paces a replay: every expiry calls its window's
// ReplayStep() directly rather than sending a timer event around.
#include <wx/timer.h>

class ReplayFrame;

class ReplayTimer : public wxTimer {
 public:
  explicit ReplayTimer(ReplayFrame* owner);

  void Notify() override;

 private:
  ReplayFrame* frame = nullptr;
};
