// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/TolerantJsonReader.h"

#include <algorithm>

#include "settings/JsonEscape.h"

namespace {

// The program's own files nest three deep (root, address book, entry); far
// deeper nesting is skipped without recursion, so no text can exhaust the
// stack.
constexpr int kDeepestNesting = 32;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineComment = "//";
constexpr std::string_view kBlockCommentStart = "/*";
constexpr std::string_view kBlockCommentEnd = "*/";
constexpr int kDecimalBase = 10;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isWordByte(char c) { return isLetter(c) || isDigit(c) || c == '_'; }
bool startsNumber(char c) { return isDigit(c) || c == '-' || c == '+' || c == '.'; }
bool isNumberByte(char c) { return startsNumber(c) || c == 'e' || c == 'E'; }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool opensContainer(char c) { return c == '{' || c == '['; }
bool closesContainer(char c) { return c == '}' || c == ']'; }

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  JsonReading read() {
    JsonReading reading;
    if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark) position_ = kByteOrderMark.size();
    for (skipSpace(); !atEnd(); skipSpace()) {
      if (opensContainer(peek())) {
        reading.values.push_back(value(1));
      } else {
        // Bytes outside any container: skipped one by one until one opens.
        lost();
        ++position_;
      }
    }
    reading.complete = complete_;
    return reading;
  }

 private:
  bool atEnd() const { return position_ >= text_.size(); }
  char peek() const { return text_[position_]; }
  void lost() { complete_ = false; }

  // White space, and comments, which a rewrite would not keep.
  void skipSpace() {
    while (!atEnd()) {
      if (isSpace(peek())) {
        ++position_;
      } else if (text_.substr(position_, kLineComment.size()) == kLineComment) {
        lost();
        while (!atEnd() && peek() != '\n' && peek() != '\r') ++position_;
      } else if (text_.substr(position_, kBlockCommentStart.size()) == kBlockCommentStart) {
        lost();
        const std::size_t end = text_.find(kBlockCommentEnd, position_ + kBlockCommentStart.size());
        position_ = end == std::string_view::npos ? text_.size() : end + kBlockCommentEnd.size();
      } else {
        return;
      }
    }
  }

  // `depth` is the nesting of a container starting here (1 at the top).
  JsonValue value(int depth) {
    JsonValue result;
    if (atEnd()) {
      lost();
      return result;
    }
    const char c = peek();
    if (opensContainer(c) && depth > kDeepestNesting) {
      lost();
      skipContainer();
      result.kind = JsonValue::Kind::Other;
    } else if (c == '{') {
      object(result, depth);
    } else if (c == '[') {
      array(result, depth);
    } else if (c == '"') {
      result.kind = JsonValue::Kind::String;
      result.text = exactQuoted();
    } else if (startsNumber(c)) {
      result.kind = JsonValue::Kind::Number;
      result.text = run(isNumberByte);
    } else if (isWordByte(c)) {
      result.text = run(isWordByte);
      if (result.text == "true" || result.text == "false") {
        result.kind = JsonValue::Kind::Boolean;
      } else if (result.text == "null") {
        result.kind = JsonValue::Kind::Null;
      } else {
        lost();
        result.kind = JsonValue::Kind::Other;
      }
    } else {
      lost();
      ++position_;
      result.kind = JsonValue::Kind::Other;
    }
    return result;
  }

  // A wrong closer closes the container it meets, so that one lost bracket
  // does not swallow the members after it. A missing one ends at the end.
  void object(JsonValue& result, int depth) {
    result.kind = JsonValue::Kind::Object;
    ++position_;
    while (atNextMember('}')) {
      const char c = peek();
      std::string key;
      if (c == '"') {
        key = exactQuoted();
      } else if (isWordByte(c)) {
        lost();
        key = run(isWordByte);
      } else {
        // A container where a key belongs is read past as a whole.
        lost();
        if (opensContainer(c)) value(depth + 1);
        else ++position_;
        continue;
      }
      skipSpace();
      if (!atEnd() && peek() == ':') ++position_;
      else lost();
      skipSpace();
      result.keys.push_back(std::move(key));
      if (atEnd() || peek() == ',' || closesContainer(peek())) {
        lost();
        result.elements.emplace_back();
      } else {
        result.elements.push_back(value(depth + 1));
      }
    }
    if (hasDuplicate(result.keys)) lost();
  }

  // A rewrite keeps one member of a name: the others would be lost.
  static bool hasDuplicate(const std::vector<std::string>& names) {
    std::vector<std::string_view> keys(names.begin(), names.end());
    std::sort(keys.begin(), keys.end());
    return std::adjacent_find(keys.begin(), keys.end()) != keys.end();
  }

  void array(JsonValue& result, int depth) {
    result.kind = JsonValue::Kind::Array;
    ++position_;
    while (atNextMember(']')) result.elements.push_back(value(depth + 1));
  }

  // Steps over spaces and commas to a container's next member; false once
  // the container has ended: at its closer, a wrong closer or the end.
  bool atNextMember(char closer) {
    for (;;) {
      skipSpace();
      if (atEnd()) {
        lost();
        return false;
      }
      const char c = peek();
      if (closesContainer(c)) {
        if (c != closer) lost();
        ++position_;
        return false;
      }
      if (c != ',') return true;
      ++position_;
    }
  }

  // The text of a string, from its opening quote: it ends at the first
  // quote that no backslash escapes; an unterminated one at the end.
  std::string quoted() {
    const std::size_t begin = ++position_;
    while (!atEnd() && peek() != '"') position_ += peek() == '\\' ? 2 : 1;
    if (position_ >= text_.size()) {
      lost();
      position_ = text_.size();
      return std::string(text_.substr(begin));
    }
    return std::string(text_.substr(begin, position_++ - begin));
  }

  // A string whose unescaped text would not be what it says (bytes that
  // are not UTF-8, an unknown escape, a lone surrogate) cannot be written
  // back as it was.
  std::string exactQuoted() {
    std::string text = quoted();
    if (!unescapesExactly(text)) lost();
    return text;
  }

  std::string run(bool (*accept)(char)) {
    const std::size_t begin = position_;
    while (!atEnd() && accept(peek())) ++position_;
    return std::string(text_.substr(begin, position_ - begin));
  }

  // Passes over a container without building anything: brackets are
  // counted, strings skipped, until the count is back to zero.
  void skipContainer() {
    std::size_t open = 0;
    while (!atEnd()) {
      const char c = peek();
      if (c == '"') {
        quoted();
        continue;
      }
      ++position_;
      if (opensContainer(c)) {
        ++open;
      } else if (closesContainer(c) && --open == 0) {
        return;
      }
    }
  }

  std::string_view text_;
  std::size_t position_ = 0;
  bool complete_ = true;
};

}  // namespace

std::optional<std::uint64_t> JsonValue::wholeNumber(std::uint64_t largest) const {
  if (kind != Kind::Number || text.empty()) return std::nullopt;
  std::uint64_t number = 0;
  for (const char c : text) {
    if (!isDigit(c)) return std::nullopt;
    const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    if (digit > largest || number > (largest - digit) / kDecimalBase) return std::nullopt;
    number = number * kDecimalBase + digit;
  }
  return number;
}

std::optional<bool> JsonValue::truth() const {
  if (kind != Kind::Boolean) return std::nullopt;
  return text == "true";
}

JsonReading readTolerantJson(std::string_view text) { return Reader(text).read(); }
