// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/DownloadFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "TransferTestSupport.h"

namespace {

namespace fs = std::filesystem;

TEST(DownloadFolder, MakesASendersNameAPlainNameInTheFolder) {
  struct Case {
    std::string sent;
    NameCharset charset;
    std::string safe;
  };
  const Case cases[] = {
      {"../../.bashrc", NameCharset::Ascii, "_._.bashrc"},
      {"/etc/passwd", NameCharset::Ascii, "_etc_passwd"},
      {"..", NameCharset::Ascii, "file"},
      {"", NameCharset::Petscii, "file"},
      {"a\r\n\x1b[2Jb\x7f\x85", NameCharset::Ascii, "a[2Jb"},
      {"photo.jpg", NameCharset::Ascii, "photo.jpg"},
      {"  .hidden  ", NameCharset::Ascii, "hidden"},
      // PETSCII: shifted letters (both codes) are capitals, the shifted space a blank, graphics "_".
      {"\xc7\x41ME\xa0\x64\x65MO\xa0\xa0", NameCharset::Petscii, "GAME DEMO"},
      {"\x5c\x5e\x60\xa6PRG", NameCharset::Petscii, "____PRG"},
      {std::string(10000, 'N'), NameCharset::Ascii, std::string(kLongestSafeName, 'N')},
  };
  for (const Case& c : cases) EXPECT_EQ(safeFileName(c.sent, c.charset), c.safe) << c.sent.substr(0, 20);
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(DownloadFolder, WritesNewFilesWholeOrNotAtAllAndNeverReplacesOne) {
  char pattern[] = "/tmp/morlen-downloads-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path root = pattern, folder = root / "downloads" / "new";
  const ByteBuffer data = bytesOf("C64");
  DownloadFolder downloads(folder.string());

  std::vector<std::string> paths;
  for (const char* name : {"GAME.PRG", "GAME.PRG", "GAME.PRG", "../../.bashrc", "/etc/passwd"})
    paths.push_back(downloads.save(name, NameCharset::Ascii, data).path);
  const std::string in = folder.string() + "/";
  EXPECT_EQ(paths, (std::vector<std::string>{in + "GAME.PRG", in + "GAME (1).PRG", in + "GAME (2).PRG",
                                             in + "_._.bashrc", in + "_etc_passwd"}));
  for (const std::string& path : paths) EXPECT_EQ(readFile(path), "C64") << path;
  // A file that is there already is left as it is, by a new batch as well.
  std::ofstream(in + "NOTES") << "mine";
  DownloadFolder again(folder.string());
  EXPECT_EQ(again.save("NOTES", NameCharset::Petscii, data).path, in + "NOTES (1)");
  // A number never makes a name longer than the longest.
  const std::string longest = std::string(60, 'L') + ".SEQ";
  EXPECT_EQ(again.save(longest, NameCharset::Petscii, data).path, in + longest);
  EXPECT_EQ(again.save(longest, NameCharset::Petscii, data).path, in + std::string(56, 'L') + " (1).SEQ");
  EXPECT_EQ(readFile(in + "NOTES"), "mine");

  // A write that fails leaves nothing behind and says why.
  again.steps.write = [](int, const void*, std::size_t) -> ssize_t {
    errno = ENOSPC;
    return -1;
  };
  const FolderSave failed = again.save("FULL", NameCharset::Petscii, data);
  EXPECT_FALSE(failed.ok);
  EXPECT_EQ(failed.error, ENOSPC);
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(root)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"GAME (1).PRG", "GAME (2).PRG", "GAME.PRG", std::string(56, 'L') + " (1).SEQ",
                                             longest, "NOTES", "NOTES (1)", "_._.bashrc", "_etc_passwd", "downloads",
                                             "new"}));
  fs::remove_all(root);
}

}  // namespace
