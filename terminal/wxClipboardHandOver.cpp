// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/wxClipboardHandOver.h"

#include <wx/clipbrd.h>
#include <wx/image.h>

#include <cstring>

namespace qwx {

namespace {
// UTF8_STRING is the toolkit's Unicode text format.
const char* const kUtf8FormatNames[] = {"text/plain;charset=utf-8", "TEXT"};
const char* const kLatin1FormatName = "STRING";
}  // namespace

wxTextClipboardData::wxTextClipboardData(ClipboardText clipboardText)
    : text(std::move(clipboardText)), latin1Format(kLatin1FormatName) {
  utf8Formats.emplace_back(wxDF_UNICODETEXT);
  for (const char* name : kUtf8FormatNames) utf8Formats.emplace_back(name);
}

wxDataFormat wxTextClipboardData::GetPreferredFormat(Direction) const { return utf8Formats.front(); }

size_t wxTextClipboardData::GetFormatCount(Direction direction) const {
  if (direction != Get) return 0;
  return utf8Formats.size() + (text.latin1 ? 1 : 0);
}

void wxTextClipboardData::GetAllFormats(wxDataFormat* formats, Direction direction) const {
  if (direction != Get) return;
  for (const wxDataFormat& format : utf8Formats) *formats++ = format;
  if (text.latin1) *formats = latin1Format;
}

const std::string* wxTextClipboardData::BytesOf(const wxDataFormat& format) const {
  for (const wxDataFormat& utf8 : utf8Formats)
    if (format == utf8) return &text.utf8;
  if (text.latin1 && format == latin1Format) return &*text.latin1;
  return nullptr;
}

size_t wxTextClipboardData::GetDataSize(const wxDataFormat& format) const {
  const std::string* bytes = BytesOf(format);
  return bytes ? bytes->size() : 0;
}

bool wxTextClipboardData::GetDataHere(const wxDataFormat& format, void* buffer) const {
  const std::string* bytes = BytesOf(format);
  if (!bytes) return false;
  std::memcpy(buffer, bytes->data(), bytes->size());
  return true;
}

void PutTextOnClipboard(const std::u32string& text) {
  if (!wxTheClipboard->Open()) return;
  wxTheClipboard->SetData(new wxTextClipboardData(ClipboardTextOf(text)));
  wxTheClipboard->Close();
}

void PutPictureOnClipboard(const PixelBuffer& rgbPixels) {
  // The image takes a copy of the pixels; the clipboard offers it as PNG.
  wxImage image(rgbPixels.width, rgbPixels.height, const_cast<unsigned char*>(rgbPixels.rgb.data()), true);
  const wxBitmap bitmap(image.Copy());
  if (!wxTheClipboard->Open()) return;
  wxTheClipboard->SetData(new wxBitmapDataObject(bitmap));
  wxTheClipboard->Close();
}

std::u32string TextOnClipboard() {
  if (!wxTheClipboard->Open()) return {};
  wxTextDataObject data;
  const bool got = wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && wxTheClipboard->GetData(data);
  wxTheClipboard->Close();
  if (!got) return {};
  const std::wstring wide = data.GetText().ToStdWstring();
  return std::u32string(wide.begin(), wide.end());
}

}  // namespace qwx
