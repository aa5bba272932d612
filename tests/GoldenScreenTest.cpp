// Golden interpreter tests: every tests/golden/NAME.seq is interpreted and
// its dump compared with NAME.dump (NAME ending in ".fixed": fixed-screen
// mode). Only the differing rows are printed on failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "terminal/PetsciiScreen.h"
#include "terminal/ScreenDump.h"

namespace {
namespace fs = std::filesystem;

const fs::path kGoldenDir = fs::path(MORLEN_SOURCE_DIR) / "tests" / "golden";

std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// "" when equal, otherwise the rows that differ, expected and actual.
std::string DescribeDifference(const std::string& expected, const std::string& actual) {
  const auto e = SplitLines(expected), a = SplitLines(actual);
  std::string out;
  for (std::size_t i = 0; i < std::max(e.size(), a.size()); ++i) {
    const std::string& el = i < e.size() ? e[i] : "(missing)";
    const std::string& al = i < a.size() ? a[i] : "(missing)";
    if (el != al) out += "line " + std::to_string(i + 1) + "\n  expected: " + el + "\n  actual:   " + al + "\n";
  }
  return out;
}

std::vector<fs::path> GoldenStreams() {
  std::vector<fs::path> streams;
  for (const auto& entry : fs::directory_iterator(kGoldenDir))
    if (entry.path().extension() == ".seq") streams.push_back(entry.path());
  std::sort(streams.begin(), streams.end());
  return streams;
}

bool IsFixed(const fs::path& seq) { return seq.stem().extension() == ".fixed"; }

class GoldenScreen : public ::testing::TestWithParam<fs::path> {};

TEST_P(GoldenScreen, DumpMatches) {
  const fs::path seq = GetParam();
  const std::string stream = ReadText(seq);
  const fs::path expectedPath = fs::path(seq).replace_extension(".dump");
  ASSERT_TRUE(fs::exists(expectedPath)) << expectedPath;
  const std::string expected = ReadText(expectedPath);

  PetsciiScreen whole;
  whole.LoadBytes(ByteBuffer(stream.begin(), stream.end()));
  whole.Reset(PetsciiScreen::kDefaultColour, IsFixed(seq));
  whole.ProcessPending();
  const std::string diff = DescribeDifference(expected, DumpScreen(whole));
  EXPECT_TRUE(diff.empty()) << seq.filename() << ":\n" << diff;

  if (IsFixed(seq)) return;  // only history mode is independent of batching
  PetsciiScreen split(PetsciiScreen::kDefaultColour, false);
  for (unsigned char b : stream) {
    split.AppendByte(b);
    split.ProcessPending();
  }
  const std::string splitDiff = DescribeDifference(expected, DumpScreen(split));
  EXPECT_TRUE(splitDiff.empty()) << seq.filename() << " fed byte by byte:\n" << splitDiff;
}

INSTANTIATE_TEST_SUITE_P(Streams, GoldenScreen, ::testing::ValuesIn(GoldenStreams()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                           std::string name = info.param.stem().string();
                           std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                           return name;
                         });

TEST(GoldenScreen, DifferenceNamesTheRow) {
  const std::string diff = DescribeDifference("a\nb\nc\n", "a\nx\nc\n");
  EXPECT_NE(diff.find("line 2"), std::string::npos);
  EXPECT_EQ(diff.find("line 1"), std::string::npos);
}
}  // namespace
