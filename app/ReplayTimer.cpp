// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ReplayTimer.h"

#include "app/ReplayFrame.h"

ReplayTimer::ReplayTimer(ReplayFrame* owner) : wxTimer(owner, wxID_ANY), frame(owner) {}

void ReplayTimer::Notify() { frame->ReplayStep(); }
