// SPDX-License-Identifier: GPL-3.0-or-later
// The update check's reading of any answer: the records it finds, the link
// offered for each (always a web address), the comparison of their
// versions with the program's and with each other (never both ways older,
// never older than itself; parts compare the same both ways round), and
// the one finding shown (its texts within their limits).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "app/ProductInfo.h"
#include "dialogs/UpdateCheck.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

void CheckOrder(std::string_view a, std::string_view b) {
  FUZZ_CHECK(!(isOlderVersion(a, b) && isOlderVersion(b, a)), "never older both ways round");
  FUZZ_CHECK(Sign(comparePart(a, b)) == -Sign(comparePart(b, a)), "parts compare the same both ways round");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  const std::vector<VersionRecord> records = parseVersions(body);
  FUZZ_CHECK(records.size() <= size, "no more records than bytes");
  const VersionRecord* previous = nullptr;
  for (const VersionRecord& record : records) {
    FUZZ_CHECK(isWebAddress(updateLink(record.url, productName)), "the link offered is a web address");
    FUZZ_CHECK(!isOlderVersion(record.version, record.version), "no version is older than itself");
    CheckOrder(record.version, productVersion);
    if (previous != nullptr) CheckOrder(record.version, previous->version);
    previous = &record;
  }
  // The body itself as a version, against the program's.
  CheckOrder(body, productVersion);

  const UpdateFinding finding = findUpdate(body, productVersion, productName);
  FUZZ_CHECK(!finding.found || isWebAddress(finding.link), "the link shown is the web address opened");
  FUZZ_CHECK(finding.version.size() <= 4 * kLongestShownVersion, "the version shown is cut");
  FUZZ_CHECK(shownText(finding.version, kLongestShownVersion) == finding.version, "a shown text shows as it is");
  const std::string shown = shownText(body, kLongestShownVersion);
  FUZZ_CHECK(shownText(shown, kLongestShownVersion) == shown, "nothing hidden or broken is left to drop");
  return 0;
}
