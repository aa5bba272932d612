// SPDX-License-Identifier: GPL-3.0-or-later
// Transfers meeting trouble at each phase of an Xmodem receive, an Xmodem
// send and a Punter receive: the connection drops, or the other end sends
// line noise. The session and the transfer controller are wired as the main
// window wires them, a scripted board is on the far end, time is fake.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>

#include "FakePaceClock.h"
#include "PunterSender.h"
#include "TransferTestSupport.h"
#include "net/TerminalSession.h"
#include "transfer/Crc16.h"
#include "transfer/TransferController.h"

namespace {

using namespace xmodem;
using Chunk = ByteBuffer;

constexpr std::size_t kBlock = Xmodem::kShortBlock;
// What a line may carry besides the transfer: a modem's words, 8-bit bytes.
const ByteBuffer kNoise = bytesOf("\r\nNO CARRIER\r\n+++ATH\r\n\xc1\xff\x80\x7f ");

ByteBuffer padded(ByteBuffer file) {
  file.resize((file.size() + kBlock - 1) / kBlock * kBlock, kPadding);
  return file;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The board's end of a transfer: it hears each write of the program and answers.
class Board {
 public:
  virtual ~Board() = default;
  virtual std::vector<Chunk> hear(const ByteBuffer& written) = 0;
};

// Sends a file in 128-byte blocks, CRC or checksum as asked; sends the last
// thing again on NAK.
class XmodemSendingBoard : public Board {
 public:
  explicit XmodemSendingBoard(ByteBuffer file) : file(std::move(file)) {}
  std::vector<Chunk> hear(const ByteBuffer& written) override {
    const std::uint8_t b = written.at(0);
    if (!started && (b == kWantCrc || b == kNak)) {
      started = true;
      crc = b == kWantCrc;
      return {last = packet(1)};
    }
    if (!started) return {};
    if (b == kNak) return {last};
    if (b != kAck || last == ByteBuffer{kEot}) return {};
    ++acknowledged;
    if (acknowledged * kBlock >= file.size()) return {last = ByteBuffer{kEot}};
    return {last = packet(static_cast<std::uint8_t>(acknowledged + 1))};
  }

 private:
  ByteBuffer packet(std::uint8_t number) const {
    ByteBuffer data(file.begin() + static_cast<std::ptrdiff_t>((number - 1) * kBlock),
                    file.begin() + static_cast<std::ptrdiff_t>(std::min(file.size(), number * kBlock)));
    data.resize(kBlock, kPadding);
    return xmodemPacket(number, data, crc);
  }
  ByteBuffer file, last;
  bool started = false, crc = false;
  std::size_t acknowledged = 0;
};

// Receives in CRC mode: asks with C, checks each packet, acknowledges EOT.
class XmodemReceivingBoard : public Board {
 public:
  std::vector<Chunk> hear(const ByteBuffer& written) override {
    if (written == ByteBuffer{kEot}) return {{kAck}};
    constexpr std::size_t kPacket = 3 + kBlock + 2;
    if (written.size() != kPacket || written[0] != kSoh) return {{kNak}};
    const std::uint16_t value = crc16(written.data() + 3, kBlock, kCrc16Xmodem);
    const bool sound = written[1] == expected && written[2] == 0xFF - expected &&
                       written[3 + kBlock] == (value >> 8) && written[4 + kBlock] == (value & 0xFF);
    if (!sound) return {{kNak}};
    got.insert(got.end(), written.begin() + 3, written.begin() + 3 + kBlock);
    ++expected;
    return {{kAck}};
  }
  ByteBuffer got;
  std::uint8_t expected = 1;
};

class PunterSendingBoard : public Board {
 public:
  PunterSendingBoard(const ByteBuffer& file, std::mt19937& random) : sender(file, random) {}
  std::vector<Chunk> hear(const ByteBuffer& written) override {
    return sender.hear(std::string(written.begin(), written.end()));
  }
  punter_test::PunterSender sender;
};

class Client : public ByteLink {
 public:
  void write(const std::uint8_t* bytes, std::size_t size) override { writes.emplace_back(bytes, bytes + size); }
  // Bytes that have arrived and not been read are dropped, as the socket drops them.
  void discardPendingInput() override {
    if (inFlight) inFlight->clear();
  }
  bool Disconnect() override { return std::exchange(connected, false); }
  std::vector<ByteBuffer> writes;
  std::deque<Chunk>* inFlight = nullptr;
  bool connected = false;
};

class RecordingStatus : public StatusSink {
 public:
  void ShowStatus(StatusField field, const std::string& text) override {
    if (field == StatusField::Message) messages.push_back(text);
  }
  std::vector<std::string> messages;
};

class Screen : public SessionScreen {
 public:
  void SetEntryColours(std::uint8_t, std::uint8_t) override {}
  void Clear() override { shown.clear(); }
  void StartAfresh() override {}
  void Show(const std::uint8_t* data, std::size_t length) override { shown.insert(shown.end(), data, data + length); }
  void ToggleCharset() override {}
  ByteBuffer shown;
};

class SaveDialogs : public TransferDialogs {
 public:
  std::string ChooseFileToSend() override { return toSend; }
  std::string ChooseFileToSave(bool) override {
    ++saves;
    return toSave;
  }
  IncompleteChoice AskAboutIncomplete(const std::string&, bool, bool) override { return IncompleteChoice::Nothing; }
  void ShowSaveFailure(const std::string&) override {}
  std::string toSend, toSave;
  int saves = 0;
};

enum class Protocol { XmodemReceive, XmodemSend, PunterReceive };
const char* Name(Protocol p) {
  return p == Protocol::XmodemReceive ? "Xmodem receive" : p == Protocol::XmodemSend ? "Xmodem send" : "Punter receive";
}

// Stops the exchange before the chunk that starts a phase reaches the program.
using PhaseStart = std::function<bool(const Chunk&)>;
PhaseStart NthWhere(int n, std::function<bool(const Chunk&)> what) {
  return [n, what, seen = 0](const Chunk& c) mutable { return what(c) && ++seen == n; };
}
bool Any(const Chunk&) { return true; }
bool IsBlock(const Chunk& c) { return c.size() > punter::kWordSize; }

struct Phase {
  Protocol protocol;
  const char* name;
  std::function<PhaseStart()> start;
  bool halfDelivered;  // half of that chunk has arrived when trouble comes
};

const Phase kPhases[] = {
    {Protocol::XmodemReceive, "handshake", [] { return NthWhere(1, Any); }, false},
    {Protocol::XmodemReceive, "mid-block", [] { return NthWhere(2, Any); }, true},
    {Protocol::XmodemReceive, "before EOT", [] { return NthWhere(1, [](const Chunk& c) { return c == Chunk{kEot}; }); }, false},
    {Protocol::XmodemSend, "handshake", [] { return NthWhere(1, Any); }, false},
    {Protocol::XmodemSend, "mid-block", [] { return NthWhere(2, [](const Chunk& c) { return c == Chunk{kAck}; }); }, false},
    {Protocol::XmodemSend, "before EOT", [] { return NthWhere(3, [](const Chunk& c) { return c == Chunk{kAck}; }); }, false},
    {Protocol::XmodemSend, "after EOT", [] { return NthWhere(4, [](const Chunk& c) { return c == Chunk{kAck}; }); }, false},
    {Protocol::PunterReceive, "handshake", [] { return NthWhere(1, Any); }, false},
    {Protocol::PunterReceive, "mid-block", [] { return NthWhere(3, IsBlock); }, true},  // the first data block
    {Protocol::PunterReceive, "before SYN", [] { return NthWhere(2, [](const Chunk& c) { return c == bytesOf(punter::kSyn); }); }, false},
};

class TransferFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/morlen-faults-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    clock.fire = [this] { controller.TimeReached(); };
    session.AddTransfer(controller.Route());
    client.inFlight = &toProgram;
    prompt = true;
    Connect();
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  void Connect() {
    session.AttemptStarted(client, "127.0.0.1", 6400, 1, 0);
    client.connected = true;
    ASSERT_TRUE(session.AttemptEnded(qwx::ConnectResult::Connected).keepClient);
    session.ConnectionEstablished();
  }
  void Deliver(const Chunk& chunk) {
    ASSERT_TRUE(session.InputWaiting());
    session.Received(chunk.data(), chunk.size());
  }
  // Carries the program's writes to the board and the board's answers back,
  // letting time pass when the line is quiet, until the transfer ends or the
  // chunk that starts `phase` is next. True when the phase was reached.
  bool Exchange(Board& board, const PhaseStart& phase = nullptr) {
    for (int guard = 0; guard < 100000; ++guard) {
      for (const ByteBuffer& w : std::exchange(client.writes, {}))
        for (Chunk& answer : board.hear(w)) toProgram.push_back(std::move(answer));
      if (!toProgram.empty()) {
        if (phase && phase(toProgram.front())) return true;
        const Chunk chunk = toProgram.front();
        toProgram.pop_front();
        Deliver(chunk);
        continue;
      }
      if (!controller.Running()) return false;
      const auto step = clock.untilNext();
      if (!step) return false;
      elapsedMs += *step;
      clock.advance(*step);
    }
    ADD_FAILURE() << "the exchange did not settle";
    return false;
  }
  // Starts a transfer of `file` with its board; the board's first words wait in toProgram.
  std::unique_ptr<Board> Start(Protocol protocol, const ByteBuffer& file) {
    toProgram.clear();
    switch (protocol) {
      case Protocol::XmodemReceive:
        controller.XmodemReceive();
        return std::make_unique<XmodemSendingBoard>(file);
      case Protocol::XmodemSend: {
        const std::string path = dir + "/upload";
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
        dialogs.toSend = path;
        controller.XmodemSend(false);
        toProgram.push_back({kWantCrc});
        return std::make_unique<XmodemReceivingBoard>();
      }
      case Protocol::PunterReceive:
        controller.PunterReceive();
        return std::make_unique<PunterSendingBoard>(file, random);
    }
    return nullptr;
  }
  // What arrived at the receiving end, and what should have: Xmodem pads the last block.
  ByteBuffer Arrived(Protocol protocol, const Board& board) {
    if (protocol == Protocol::XmodemSend) return static_cast<const XmodemReceivingBoard&>(board).got;
    return controller.ReceivedFile();
  }
  static ByteBuffer Expected(Protocol protocol, const ByteBuffer& file) {
    return protocol == Protocol::PunterReceive ? file : padded(file);
  }
  // The last status text of a completed transfer (a receive's is followed by "Saved ...").
  std::string LastEndText(Protocol protocol) {
    return status.messages.end()[protocol == Protocol::XmodemSend ? -1 : -2];
  }
  std::string Done(Protocol protocol, const ByteBuffer& file) {
    const std::string count = std::to_string(protocol == Protocol::XmodemReceive ? padded(file).size() : file.size());
    if (protocol == Protocol::XmodemSend) return "Xmodem sent " + count + " bytes";
    return std::string(protocol == Protocol::PunterReceive ? "Punter" : "Xmodem") + " received " + count + " bytes";
  }
  // A first file received and saved, which nothing later may touch.
  void ReceiveAndSaveEarlierFile() {
    earlierPath = dir + "/earlier.prg";
    dialogs.toSave = earlierPath;
    std::unique_ptr<Board> board = Start(Protocol::XmodemReceive, earlier);
    Exchange(*board);
    ASSERT_EQ(status.messages.back(), "Saved " + earlierPath);
    ASSERT_EQ(controller.ReceivedFile(), padded(earlier));
  }

  std::string dir;
  Client client;
  RecordingStatus status;
  Screen screen;
  FakePaceClock paceClock;
  TerminalSession session{status, screen, bytesOf("WELCOME"), paceClock};
  FakeClock clock;
  SaveDialogs dialogs;
  bool prompt = false;
  TransferController controller{session.TransferLine(), clock, status, dialogs, prompt,
                                [this] { return session.State() == SessionState::Connected; }};
  std::deque<Chunk> toProgram;
  std::uint64_t elapsedMs = 0;
  std::mt19937 random{18};
  const ByteBuffer earlier = patterned(200, 1), file = patterned(300, 2);
  std::string earlierPath;
};

// The line drops at each phase: the transfer stops at once and says so,
// writes nothing more, offers no partial file, keeps what was received and
// saved before (and the file to send); the next connection works as ever.
TEST_F(TransferFaults, ADroppedLineStopsTheTransferAndLosesNothingSaved) {
  ReceiveAndSaveEarlierFile();
  const std::string saved = readFile(earlierPath);
  for (const Phase& phase : kPhases) {
    const std::string what = std::string(Name(phase.protocol)) + ", " + phase.name;
    std::unique_ptr<Board> board = Start(phase.protocol, file);
    ASSERT_TRUE(Exchange(*board, phase.start())) << what;
    if (phase.halfDelivered) {
      const Chunk& chunk = toProgram.front();
      Deliver(Chunk(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(chunk.size() / 2)));
    }
    const int dialogsBefore = dialogs.saves;
    const ByteBuffer receivedBefore = controller.ReceivedFile();
    status.messages.clear();
    client.writes.clear();

    ASSERT_TRUE(session.ConnectionLost()) << what;
    const std::string protocol = phase.protocol == Protocol::PunterReceive ? "Punter" : "Xmodem";
    EXPECT_EQ(status.messages, (std::vector<std::string>{"Disconnected (connection dropped)",
                                                         protocol + " stopped (connection dropped)"}))
        << what;
    EXPECT_FALSE(controller.Running()) << what;
    EXPECT_FALSE(clock.untilNext()) << what << ": a timer still runs";
    clock.advance(60000);
    EXPECT_TRUE(client.writes.empty()) << what;
    EXPECT_EQ(dialogs.saves, dialogsBefore) << what << ": a partial file was offered for saving";
    EXPECT_EQ(controller.ReceivedFile(), receivedBefore) << what;
    EXPECT_EQ(readFile(earlierPath), saved) << what;
    if (phase.protocol == Protocol::XmodemSend) {
      EXPECT_EQ(controller.FileToSend(), file) << what;
    }

    // Connected again: the board is on the screen and a transfer goes through.
    Connect();
    screen.shown.clear();
    Deliver(bytesOf("READY."));
    EXPECT_EQ(screen.shown, bytesOf("READY.")) << what;
    dialogs.toSave = dir + "/again";
    board = Start(phase.protocol, file);
    EXPECT_FALSE(Exchange(*board)) << what;
    EXPECT_EQ(LastEndText(phase.protocol), Done(phase.protocol, file)) << what;
    EXPECT_EQ(Arrived(phase.protocol, *board), Expected(phase.protocol, file)) << what;
  }
}

// Noise arrives at each phase: the transfer rides it out within seconds
// and the whole file goes through, once.
TEST_F(TransferFaults, NoiseOnTheLineIsRiddenOutAtEveryPhase) {
  for (const Phase& phase : kPhases) {
    const std::string what = std::string(Name(phase.protocol)) + ", " + phase.name;
    std::unique_ptr<Board> board = Start(phase.protocol, file);
    ASSERT_TRUE(Exchange(*board, phase.start())) << what;
    // The noise comes in a read of its own, in the middle of a block if one is arriving.
    Chunk rest = toProgram.front();
    toProgram.pop_front();
    if (phase.halfDelivered) {
      const auto half = rest.begin() + static_cast<std::ptrdiff_t>(rest.size() / 2);
      Deliver(Chunk(rest.begin(), half));
      rest.erase(rest.begin(), half);
    }
    Deliver(kNoise);
    toProgram.push_front(rest);
    const std::uint64_t noiseAt = elapsedMs;
    status.messages.clear();
    dialogs.toSave = dir + "/received";
    EXPECT_FALSE(Exchange(*board)) << what;

    EXPECT_FALSE(controller.Running()) << what;
    EXPECT_LE(elapsedMs - noiseAt, 6000u) << what;
    ASSERT_GE(status.messages.size(), phase.protocol == Protocol::XmodemSend ? 1u : 2u) << what;
    EXPECT_EQ(LastEndText(phase.protocol), Done(phase.protocol, file)) << what;
    EXPECT_EQ(Arrived(phase.protocol, *board), Expected(phase.protocol, file)) << what;
    if (phase.protocol != Protocol::XmodemSend) {
      EXPECT_EQ(status.messages.back(), "Saved " + dialogs.toSave) << what;
      const ByteBuffer& got = controller.ReceivedFile();
      EXPECT_EQ(readFile(dialogs.toSave), std::string(got.begin(), got.end())) << what;
    }
    EXPECT_FALSE(clock.untilNext()) << what << ": a timer still runs";
  }
}

}  // namespace
