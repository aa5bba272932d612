// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The built-in demo board: a title screen, a menu that answers single key
// presses, and the pages behind it.
#include <cstdint>

#include "host/morlen_host_demo_pages.h"
#include "host/morlen_host_session.h"

class DemoBoard : public HostResponder {
 public:
  explicit DemoBoard(const DemoPages& pages) : pages_(pages) {}

  // What a caller sees on arrival.
  const ByteBuffer& Welcome() const { return pages_.title; }
  ByteBuffer Receive(const std::uint8_t* data, std::size_t size) override;
  bool Finished() const override { return state_ == State::Gone; }

 private:
  enum class State { Title, Menu, Page, CaseText, Echo, Gone };
  void Key(std::uint8_t key, ByteBuffer& out);
  // A menu choice; false for a key that is none.
  bool Choose(std::uint8_t key, ByteBuffer& out);
  void Show(const ByteBuffer& page, State next, ByteBuffer& out);

  const DemoPages& pages_;
  State state_ = State::Title;
  bool lowerCase_ = true;  // the set the case page shows
};
