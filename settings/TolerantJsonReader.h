// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A forgiving reader for the files the user may have edited or a crash may
// have cut short (configuration, entry files). It turns any byte text into
// a small tree of what it could make out and tells whether it had to skip
// anything on the way. It never fails and never recurses deeper than a
// fixed bound, whatever the nesting of the input; it runs in time linear
// in the text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct JsonValue {
  enum class Kind {
    Missing,  // nothing where a value belonged (a truncated text, "a":,)
    Null,
    Boolean,
    Number,
    String,
    Array,
    Object,
    Other,  // a bare word, a stray byte, or a container nested too deep
  };
  Kind kind = Kind::Missing;
  // String: the text between the quotes, still escaped (see jsonUnescape).
  // Number: the characters of the number as written. Boolean: "true" or
  // "false". Other: the word, if it was one.
  std::string text;
  // Array: the elements. Object: the member values, with their keys (the
  // raw text between the quotes) at the same index in `keys`.
  std::vector<JsonValue> elements;
  std::vector<std::string> keys;

  // A Number written as plain decimal digits whose value is at most
  // `largest`; anything else (a sign, a fraction, an exponent, a larger
  // value, another kind) gives nothing. Never wraps.
  std::optional<std::uint64_t> wholeNumber(std::uint64_t largest) const;
  // A Boolean's value; nothing for any other kind.
  std::optional<bool> truth() const;
};

struct JsonReading {
  // Every top-level object or array in the text, in order.
  std::vector<JsonValue> values;
  // True when the text held nothing but well-formed values, white space,
  // a leading byte-order mark, and at worst redundant or missing commas;
  // no object named a member twice, and every string and key unescapes to
  // exactly what it says (see unescapesExactly): then nothing of it is
  // lost in the tree.
  bool complete = true;
};

JsonReading readTolerantJson(std::string_view text);
