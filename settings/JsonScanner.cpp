// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/JsonScanner.h"

namespace {

constexpr char kObjectOpen = '{';
constexpr char kObjectClose = '}';
constexpr char kArrayOpen = '[';
constexpr char kArrayClose = ']';
constexpr char kQuote = '"';
constexpr char kBackslash = '\\';
constexpr char kColon = ':';
constexpr char kComma = ',';
constexpr char kMinus = '-';
constexpr char kDecimalPoint = '.';
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kTrue = "true";
constexpr std::string_view kFalse = "false";
constexpr std::string_view kNull = "null";

bool isScannerSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLowerLetter(char c) { return c >= 'a' && c <= 'z'; }
bool isExponent(char c) { return c == 'e' || c == 'E'; }
bool isSign(char c) { return c == '+' || c == '-'; }
// What may follow a value: the text's end is checked separately.
bool endsValue(char c) { return isScannerSpace(c) || c == kComma || c == kObjectClose || c == kArrayClose; }

// The length of the number at the start of `text` by JSON's grammar
// (-? int frac? exp?), 0 when there is none.
std::size_t numberLength(std::string_view text) {
  std::size_t i = 0;
  auto digits = [&] {
    const std::size_t first = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    return i > first;
  };
  if (i < text.size() && text[i] == kMinus) ++i;
  if (i < text.size() && text[i] == '0') {
    ++i;
  } else if (!digits()) {
    return 0;
  }
  if (i + 1 < text.size() && text[i] == kDecimalPoint && isDigit(text[i + 1])) {
    ++i;
    digits();
  }
  if (i < text.size() && isExponent(text[i])) {
    std::size_t mark = i + 1;
    if (mark < text.size() && isSign(text[mark])) ++mark;
    if (mark < text.size() && isDigit(text[mark])) {
      i = mark;
      digits();
    }
  }
  return i;
}

}  // namespace

JsonScanner::JsonScanner(std::string_view text) : text_(text.begin(), text.end()), size_(text.size()) {
  text_.push_back('\0');
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) position_ = kByteOrderMark.size();
}

JsonTokenResult JsonScanner::next() {
  const JsonTokenResult token = scan();
  previous_ = token.first;
  return token;
}

void JsonScanner::terminate(std::size_t end) {
  if (end < size_) {
    held_ = text_[end];
    heldAt_ = end;
  }
  text_[end] = '\0';
}

void JsonScanner::skipWhitespace() {
  while (!atEnd() && isScannerSpace(byteAt(position_))) ++position_;
}

void JsonScanner::skipWhitespaceAndComma() {
  skipWhitespace();
  if (!atEnd() && byteAt(position_) == kComma) ++position_;
}

JsonTokenResult JsonScanner::scan() {
  const JsonTokenResult end{JsonToken::End, {}};
  skipWhitespace();
  if (atEnd()) return end;
  const char c = byteAt(position_);
  switch (c) {
    case kObjectOpen:
      stack_.push_back(Container::Object);
      ++position_;
      return {JsonToken::ObjectStart, {}};
    case kArrayOpen:
      stack_.push_back(Container::Array);
      ++position_;
      return {JsonToken::ArrayStart, {}};
    case kArrayClose:
    case kObjectClose:
      // More closers than openers: stop rather than pop an empty stack.
      if (stack_.empty()) return end;
      stack_.pop_back();
      ++position_;
      skipWhitespaceAndComma();
      return {c == kArrayClose ? JsonToken::ArrayEnd : JsonToken::ObjectEnd, {}};
    case kQuote:
      return scanString();
    default:
      if (c == kMinus || isDigit(c)) return scanNumber();
      if (isLowerLetter(c)) return scanWord();
      return end;
  }
}

JsonTokenResult JsonScanner::scanString() {
  const std::size_t begin = position_ + 1;
  std::size_t close = begin;
  for (; close < size_; ++close) {
    if (text_[close] != kQuote) continue;
    // A quote ends the string unless an odd run of backslashes precedes it:
    // in "a\\" the backslash is itself escaped and the quote is the end.
    std::size_t backslashes = 0;
    while (close - backslashes > begin && text_[close - backslashes - 1] == kBackslash) ++backslashes;
    if (backslashes % 2 == 0) break;
  }
  // An unterminated string runs to the end; text_[size_] is already NUL.
  text_[close] = '\0';
  const std::string_view text = textBetween(begin, close);
  position_ = close < size_ ? close + 1 : size_;

  if (insideObject() && previous_ != JsonToken::Key) {
    while (!atEnd() && text_[position_] != kColon) ++position_;
    if (!atEnd()) ++position_;
    return {JsonToken::Key, text};
  }
  skipWhitespaceAndComma();
  return {JsonToken::String, text};
}

JsonTokenResult JsonScanner::scanNumber() {
  const std::size_t begin = position_;
  const std::size_t length = numberLength(textBetween(begin, size_));
  const std::size_t end = begin + length;
  if (!expectingValue() || length == 0 || (end < size_ && !endsValue(text_[end]))) return {JsonToken::End, {}};
  terminate(end);
  position_ = end;
  skipWhitespaceAndComma();
  return {JsonToken::Number, textBetween(begin, end)};
}

JsonTokenResult JsonScanner::scanWord() {
  const std::size_t begin = position_;
  std::size_t end = begin;
  while (end < size_ && isLowerLetter(text_[end])) ++end;
  const std::string_view word = textBetween(begin, end);
  const bool known = word == kTrue || word == kFalse || word == kNull;
  if (!expectingValue() || !known || (end < size_ && !endsValue(text_[end]))) return {JsonToken::End, {}};
  position_ = end;
  skipWhitespaceAndComma();
  if (word == kNull) return {JsonToken::Null, {}};
  // The text is the first letter alone; the word is at least four long, so
  // the NUL lands inside it.
  text_[begin + 1] = '\0';
  return {JsonToken::Boolean, textBetween(begin, begin + 1)};
}
