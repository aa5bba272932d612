// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The terminal session's tests without a display or a socket: recording
// fakes for the link, the status bar, the screen and the transfers, and a
// fixture that connects as the main window does.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "FakePaceClock.h"
#include "net/TerminalSession.h"
#include "terminal/PetsciiTerminal.h"

namespace session_test {

using qwx::ConnectResult;

class RecordingLink : public ByteLink {
 public:
  // Like the client, it reports each write to the session's counter.
  void write(const std::uint8_t* bytes, std::size_t size) override {
    sent.append(reinterpret_cast<const char*>(bytes), size);
    if (session) session->BytesSent(size);
  }
  void discardPendingInput() override { ++discards; }
  bool Disconnect() override {
    ++disconnects;
    const bool was = connected;
    connected = false;
    return was;
  }
  std::string sent;
  bool connected = false;  // what Disconnect finds
  int disconnects = 0;
  int discards = 0;
  TerminalSession* session = nullptr;
};

class RecordingStatus : public StatusSink {
 public:
  void ShowStatus(StatusField field, const std::string& text) override {
    fields[field] = text;
    if (field == StatusField::Message) messages.push_back(text);
  }
  std::map<StatusField, std::string> fields;
  std::vector<std::string> messages;
};

// Records what the session asks of its screen and keeps a real screen
// model behind it, as the canvas does.
class RecordingScreen : public SessionScreen {
 public:
  void SetEntryColours(std::uint8_t foreground, std::uint8_t background) override {
    initialColour = foreground;
    initialBackground = background;
  }
  void Clear() override {
    ++clears;
    shown.clear();
    terminal.LoadBytes(ByteBuffer());
    terminal.Reset(static_cast<std::uint8_t>(initialColour), false, static_cast<std::uint8_t>(initialBackground));
  }
  void StartAfresh() override {
    ++freshStarts;
    terminal.StartAfresh(static_cast<std::uint8_t>(initialColour), static_cast<std::uint8_t>(initialBackground));
  }
  void Show(const std::uint8_t* data, std::size_t length) override {
    shown.append(reinterpret_cast<const char*>(data), length);
    for (std::size_t i = 0; i < length; ++i) terminal.AppendByte(data[i]);
    terminal.ProcessPending();
  }
  void ToggleCharset() override {
    ++toggles;
    terminal.ToggleCharset();
  }
  std::string shown = "WELCOME";
  int clears = 0;
  int freshStarts = 0;
  int toggles = 0;
  int initialColour = -1;
  int initialBackground = -1;
  PetsciiTerminal terminal;
  const PetsciiScreen& model = terminal.Screen();
};

class FakeTransfer : public TransferEngine {
 public:
  bool Active() const override { return active; }
  bool Working() const override { return active && !discarding; }
  void TakeBytes(const std::uint8_t* data, std::size_t length) override {
    chunks.emplace_back(reinterpret_cast<const char*>(data), length);
  }
  void ConnectionEnded(SessionEnd how) override {
    ++endings;
    endedBy = how;
    active = false;
    if (status) status->ShowStatus(StatusField::Message, "transfer stopped");
  }
  bool active = false;
  bool discarding = false;  // only keeping a cancelled sender's bytes away
  std::vector<std::string> chunks;
  int endings = 0;
  SessionEnd endedBy = SessionEnd::None;
  StatusSink* status = nullptr;
};

constexpr std::uint8_t kForeground = 7;
constexpr std::uint8_t kBackground = 6;

class Session : public ::testing::Test {
 protected:
  ByteBuffer Bytes(const std::string& s) { return ByteBuffer(s.begin(), s.end()); }
  void Start(const std::string& address = "127.0.0.1", std::uint8_t foreground = kForeground,
             std::uint8_t background = kBackground, const LineOptions& line = LineOptions()) {
    session.AttemptStarted(link, address, 6400, foreground, background, "", line);
  }
  // An attempt that succeeds, then the socket's connection event.
  void Connect(std::uint8_t foreground = kForeground, std::uint8_t background = kBackground,
               const LineOptions& line = LineOptions()) {
    Start("127.0.0.1", foreground, background, line);
    link.connected = true;
    const auto followUp = session.AttemptEnded(ConnectResult::Connected);
    ASSERT_TRUE(followUp.keepClient);
    session.ConnectionEstablished();
  }
  // One input event, read as the main window does; whole or byte by byte.
  void Receive(const std::string& bytes) {
    ASSERT_TRUE(session.InputWaiting());
    session.Received(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  void ReceiveByteByByte(const std::string& bytes) {
    for (char c : bytes) Receive(std::string(1, c));
  }
  std::string Field(StatusField field) { return status.fields[field]; }
  std::string Active() { return std::string(session.ActiveSession().begin(), session.ActiveSession().end()); }
  // A key pressed in the terminal (KeyRouteTest has the other places).
  KeyOutcome Press(C64KeyPress press, bool alt = false, bool* asked = nullptr) {
    KeyOrigin origin;
    origin.place = KeyPlace::Terminal;
    origin.altHeld = alt;
    return session.Key(origin, [&] {
      if (asked) *asked = true;
      return press;
    });
  }

  RecordingLink link;
  RecordingStatus status;
  RecordingScreen screen;
  FakePaceClock clock;
  TerminalSession session{status, screen, Bytes("WELCOME"), clock};
};

}  // namespace session_test
