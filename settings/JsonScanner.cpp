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
constexpr char kTrueLetter = 't';
constexpr char kFalseLetter = 'f';
// Both true and false end in this letter.
constexpr char kLiteralEnd = 'e';

bool isScannerSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

JsonScanner::JsonScanner(std::string_view text) : text_(text.begin(), text.end()), size_(text.size()) {
  text_.push_back('\0');
}

JsonTokenResult JsonScanner::next() {
  const JsonTokenResult token = scan();
  previous_ = token.first;
  return token;
}

void JsonScanner::skipWhitespace() {
  while (!atEnd() && isScannerSpace(text_[position_])) ++position_;
}

void JsonScanner::skipWhitespaceAndComma() {
  skipWhitespace();
  if (!atEnd() && text_[position_] == kComma) ++position_;
}

JsonTokenResult JsonScanner::scan() {
  const JsonTokenResult end{JsonToken::End, {}};
  skipWhitespace();
  if (atEnd()) return end;
  const char c = text_[position_];
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
      // More closers than openers: stop rather than pop an empty stack.
      if (stack_.empty()) return end;
      stack_.pop_back();
      ++position_;
      return {JsonToken::ArrayEnd, {}};
    case kObjectClose:
      if (stack_.empty()) return end;
      stack_.pop_back();
      ++position_;
      if (insideArray()) skipWhitespaceAndComma();
      return {JsonToken::ObjectEnd, {}};
    case kQuote:
      return scanString();
    case kTrueLetter:
    case kFalseLetter:
      return scanBoolean();
    default:
      if (isDigit(c)) return scanNumber();
      return end;
  }
}

JsonTokenResult JsonScanner::scanString() {
  if (stack_.empty()) return {JsonToken::End, {}};
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
  if (!expectingValue()) return {JsonToken::End, {}};
  const std::size_t begin = position_;
  while (!atEnd() && isDigit(text_[position_])) ++position_;
  const std::string_view text = textBetween(begin, position_);
  // The byte after the digits goes with the number (the writers always put
  // a comma there).
  text_[position_] = '\0';
  if (!atEnd()) ++position_;
  skipWhitespaceAndComma();
  return {JsonToken::Number, text};
}

JsonTokenResult JsonScanner::scanBoolean() {
  const std::size_t letter = position_;
  const std::string_view text = textBetween(letter, letter + 1);
  ++position_;
  text_[position_] = '\0';
  while (!atEnd() && text_[position_] != kLiteralEnd) ++position_;
  if (!atEnd()) ++position_;
  skipWhitespaceAndComma();
  return {JsonToken::Boolean, text};
}
