#pragma once
// Entry texts are byte strings, the controls hold wide strings; both ways
// go through the process locale's multibyte conversion. A text it cannot
// convert becomes the empty text.
#include <wx/string.h>

#include <string>

inline std::string ToEntryText(const wxString& text) {
  const wxScopedCharBuffer bytes = text.mb_str(wxConvLibc);
  return bytes.data() ? std::string(bytes.data(), bytes.length()) : std::string();
}

inline wxString ToControlText(const std::string& text) { return wxString(text.data(), wxConvLibc, text.size()); }
