// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fills a text template: each marker {^name^} is replaced by the value mapped
// to name, or removed when the map has no such name. Values are inserted as
// they are (escape them first) and are not scanned for markers again.
#include <map>
#include <string>
#include <string_view>

using TemplateValues = std::map<std::string, std::string>;

std::string fillTemplate(std::string_view templateText, const TemplateValues& values);
