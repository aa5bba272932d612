// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the update check makes of the version file: the records it lists,
// the comparison of dotted versions, the link offered to the user and the
// texts of the failures. No toolkit and no network here.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The operating system whose entry of the version file applies.
constexpr const char* kUpdateOsKey = "linux";
// The maker's web site; the program's page is this, a solidus and the
// lower-cased product name.
constexpr const char* kMakerAddress = "https://www.vendorly.com";

struct VersionRecord {
  std::string os;
  std::string version;
  std::string url;
};

// The records of every "versions" array in the answer, in order: each
// object directly in such an array is one record, whatever else it or the
// array holds. A malformed answer gives the records read before the fault.
std::vector<VersionRecord> parseVersions(std::string_view body);

// Compares two parts of a dotted version: by value when both are numbers
// (an optional sign and decimal digits), otherwise as texts. Negative,
// zero or positive as x is smaller, equal or larger.
int comparePart(std::string_view x, std::string_view y);
// Whether version a is older than version b ("1.9" before "1.10", "1.0"
// before "1.0.0").
bool isOlderVersion(std::string_view a, std::string_view b);

// The longest link offered, in bytes, and the most characters of a version
// shown: a hostile answer cannot make a dialog wider than the screen.
constexpr std::size_t kLongestLink = 512;
constexpr std::size_t kLongestShownVersion = 32;

// An address the program is willing to open and show as it is: http:// or
// https://, a host, at most kLongestLink bytes, printable ASCII only (no
// white space, control or direction-changing characters).
bool isWebAddress(std::string_view address);
// The link to show and open for a record: its url when that is a web
// address, otherwise the program's page on the maker's site.
std::string updateLink(std::string_view url, std::string_view productName);
// A text from the server as a dialog shows it: UTF-8 with control,
// line-separating and direction-changing characters (and broken sequences)
// dropped, cut to `longest` characters.
std::string shownText(std::string_view text, std::size_t longest);

// What one check found for this system: the newest record for it decides,
// wherever it stands in the answer.
struct UpdateFinding {
  bool found = false;    // the answer has a record for this system
  bool newer = false;    // and its version is newer than the current one
  std::string version;   // that version as shown (shownText)
  std::string link;      // the address offered (updateLink)
};
UpdateFinding findUpdate(std::string_view body, std::string_view currentVersion, std::string_view productName);

// Protocol error codes, numbered as the toolkit numbers its own.
enum ProtocolError : int {
  kProtocolNoError = 0,
  kProtocolNetworkError = 1,
  kProtocolNegotiationError = 2,
  kProtocolConnectError = 3,
  kProtocolInvalidValue = 4,
  kProtocolNoHandler = 5,
  kProtocolNoFile = 6,
  kProtocolAborted = 7,
  kProtocolReconnectError = 8,
  kProtocolStreaming = 9,
};

// The message of a protocol error code (1-9); empty for 0 and unknown codes.
const std::string& protocolErrorText(int code);

// Where the version file is asked for: the update server followed by
// "/<lower-cased product name>.ver".
std::string versionFileAddress(std::string_view server, std::string_view productName);
// The update server of this build; tests point it at a local server.
std::string& updateServer();
