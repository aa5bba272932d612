// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/ConnectAttempt.h"

#include <algorithm>
#include <cctype>

#include "settings/TextHelpers.h"

namespace qwx {

std::optional<std::string> connectHostName(std::string_view host) {
  std::string name = trimText(host);
  if (name.empty() || name.size() > kMaxHostNameLength) return std::nullopt;
  const bool hasControlByte = std::any_of(name.begin(), name.end(), [](char c) {
    return std::iscntrl(static_cast<unsigned char>(c)) != 0;
  });
  if (hasControlByte) return std::nullopt;
  return name;
}

ConnectDeadline::ConnectDeadline(Clock::time_point start, std::int32_t limitSeconds)
    : end(start + std::chrono::seconds(std::max<std::int32_t>(limitSeconds, 0))) {}

std::chrono::milliseconds ConnectDeadline::NextWait(Clock::time_point now) const {
  if (Passed(now)) return std::chrono::milliseconds::zero();
  // Rounded up, so that the last step does not stop just short of the limit.
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now);
  return std::min(left, kConnectWaitStep);
}

std::optional<ConnectResult> attemptOutcome(const WaitFindings& found) {
  if (found.cancelRequested) return ConnectResult::Cancelled;
  if (found.connected) return ConnectResult::Connected;
  if (found.peerClosed || !found.ranOut) return ConnectResult::Refused;
  if (found.limitPassed) return ConnectResult::TimedOut;
  return std::nullopt;
}

}  // namespace qwx
