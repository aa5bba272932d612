// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The clipboard hand-over: text in the formats other X programs ask for
// (UTF-8 under UTF8_STRING, text/plain;charset=utf-8 and TEXT; Latin-1
// under STRING, and only when the text has one), a picture as PNG, and the
// text the clipboard holds. Nothing happens when the clipboard cannot be
// opened.
#include <wx/dataobj.h>

#include <string>
#include <vector>

#include "terminal/ClipboardText.h"
#include "terminal/ScreenCompositor.h"

namespace qwx {

// The toolkit's own text object offers STRING with UTF-8 in it: this one
// gives each format its own bytes.
class wxTextClipboardData : public wxDataObject {
 public:
  explicit wxTextClipboardData(ClipboardText text);

  wxDataFormat GetPreferredFormat(Direction direction = Get) const override;
  size_t GetFormatCount(Direction direction = Get) const override;
  void GetAllFormats(wxDataFormat* formats, Direction direction = Get) const override;
  size_t GetDataSize(const wxDataFormat& format) const override;
  bool GetDataHere(const wxDataFormat& format, void* buffer) const override;

 private:
  const std::string* BytesOf(const wxDataFormat& format) const;

  ClipboardText text;
  std::vector<wxDataFormat> utf8Formats;
  wxDataFormat latin1Format;
};

void PutTextOnClipboard(const std::u32string& text);
void PutPictureOnClipboard(const PixelBuffer& rgbPixels);
// The clipboard's text; empty when it holds none.
std::u32string TextOnClipboard();

}  // namespace qwx
