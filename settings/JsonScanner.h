// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A streaming tokenizer for JSON texts: it reads every valid JSON text (a
// leading byte-order mark included) and ends the scan with End at the first
// byte it cannot place; it never reports an error.
#include <string_view>
#include <utility>
#include <vector>

enum class JsonToken {
  End = 0,
  ObjectStart = 1,
  ObjectEnd = 2,
  ArrayStart = 3,
  ArrayEnd = 4,
  Key = 5,
  String = 6,
  Number = 7,
  Boolean = 8,
  Null = 9,
};

// Kind and text of one token. The text views the scanner's own copy, is
// NUL-terminated there and stays valid as long as the scanner lives. Strings
// come still escaped (see jsonUnescape); a Number's text is the number as
// written; a Boolean's text is "t" or "f"; the other kinds have none.
using JsonTokenResult = std::pair<JsonToken, std::string_view>;

class JsonScanner {
 public:
  explicit JsonScanner(std::string_view text);
  // Token texts point into the copy: a copied scanner would hand out views
  // into someone else's buffer.
  JsonScanner(const JsonScanner&) = delete;
  JsonScanner& operator=(const JsonScanner&) = delete;

  JsonTokenResult next();

 private:
  enum class Container { Object, Array };

  JsonTokenResult scan();
  JsonTokenResult scanString();
  JsonTokenResult scanNumber();
  JsonTokenResult scanWord();
  bool atEnd() const { return position_ >= size_; }
  // The byte at i as it was before a token's terminator overwrote it.
  char byteAt(std::size_t i) const { return i == heldAt_ ? held_ : text_[i]; }
  // Ends a token text at `end` without losing the byte there, which may be
  // the closer that follows a number.
  void terminate(std::size_t end);
  void skipWhitespace();
  void skipWhitespaceAndComma();
  bool insideObject() const { return !stack_.empty() && stack_.back() == Container::Object; }
  bool insideArray() const { return !stack_.empty() && stack_.back() == Container::Array; }
  // Where a value may stand: an array element, the value after a key, or
  // outside any container.
  bool expectingValue() const {
    return stack_.empty() || insideArray() || (insideObject() && previous_ == JsonToken::Key);
  }
  std::string_view textBetween(std::size_t begin, std::size_t end) const {
    return std::string_view(text_.data() + begin, end - begin);
  }

  // The copy plus one NUL, so that even a token running to the end of the
  // text is terminated without writing past the buffer.
  std::vector<char> text_;
  std::size_t size_ = 0;
  std::size_t position_ = 0;
  std::size_t heldAt_ = static_cast<std::size_t>(-1);
  char held_ = '\0';
  // Only "was it a Key" is ever asked, so End doubles as "no token yet".
  JsonToken previous_ = JsonToken::End;
  std::vector<Container> stack_;
};
