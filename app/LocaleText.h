// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program keeps texts (entry fields, paths) as byte strings, the
// toolkit's controls and dialogs hold wide strings; both ways go through the
// process locale's multibyte conversion. A text it cannot convert becomes
// the empty text.
#include <wx/string.h>

#include <string>

inline std::string ToByteString(const wxString& text) {
  const wxScopedCharBuffer bytes = text.mb_str(wxConvLibc);
  return bytes.data() ? std::string(bytes.data(), bytes.length()) : std::string();
}

inline wxString FromByteString(const std::string& text) { return wxString(text.data(), wxConvLibc, text.size()); }
