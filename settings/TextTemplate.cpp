// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/TextTemplate.h"

namespace {
constexpr std::string_view kMarkerOpen = "{^";
constexpr std::string_view kMarkerClose = "^}";
}  // namespace

std::string fillTemplate(std::string_view templateText, const TemplateValues& values) {
  std::string out;
  out.reserve(templateText.size());
  std::size_t offset = 0;
  for (;;) {
    const std::size_t open = templateText.find(kMarkerOpen, offset);
    if (open == std::string_view::npos) break;
    const std::size_t nameBegin = open + kMarkerOpen.size();
    const std::size_t close = templateText.find(kMarkerClose, nameBegin);
    if (close == std::string_view::npos) break;
    out.append(templateText.substr(offset, open - offset));
    const auto found = values.find(std::string(templateText.substr(nameBegin, close - nameBegin)));
    if (found != values.end()) out += found->second;
    offset = close + kMarkerClose.size();
  }
  out.append(templateText.substr(offset));
  return out;
}
