// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a terminal session drives: the status texts it produces and the
// screen its received bytes are shown on. The main window implements both
// over its status bar and canvas; tests record them.
#include <cstddef>
#include <cstdint>
#include <string>

// The status bar fields the session writes.
enum class StatusField : int {
  Message = 0,        // what became of the connection
  Traffic = 1,        // "Rx: n | Tx: n"
  ActiveSession = 2,  // "Active: n"
};

class StatusSink {
 public:
  virtual ~StatusSink() = default;
  virtual void ShowStatus(StatusField field, const std::string& text) = 0;
};

class SessionScreen {
 public:
  virtual ~SessionScreen() = default;
  // The colours of text and background when the screen next starts: the
  // entry's, taken by their low four bits.
  virtual void SetEntryColours(std::uint8_t foreground, std::uint8_t background) = 0;
  // An empty screen: the welcome screen goes.
  virtual void Clear() = 0;
  // A new connection's screen below what the last one left: the old screen
  // stays as scrollback; text in the entry's colours, reverse off, the
  // character set the screen started in. The current screen comes into view.
  virtual void StartAfresh() = 0;
  // Appends and interprets the bytes, brings the newest line into view and repaints.
  virtual void Show(const std::uint8_t* data, std::size_t length) = 0;
  // C= + SHIFT: the other character set.
  virtual void ToggleCharset() = 0;
};
