#pragma once
// The dynamically typed value that crosses the bridge: what the host sends
// into the movie and what callers hand to the language provider.
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace quillfen {

struct Variant;
// The members of an array value: (key, value) pairs in their order.
using Collection = std::vector<std::pair<std::string, Variant>>;

// A value of a kind the codec cannot encode, with its type tag
// (0 empty, 1 null, 7 date, 10 error).
struct UnsupportedValue {
  int typeTag = 0;
};

struct Variant {
  using Storage = std::variant<UnsupportedValue, std::int64_t, double, std::string, bool, Collection>;
  Storage value;

  Variant() : value(UnsupportedValue{0}) {}  // the empty value
  Variant(UnsupportedValue v) : value(v) {}
  Variant(int v) : value(static_cast<std::int64_t>(v)) {}
  Variant(std::int16_t v) : value(static_cast<std::int64_t>(v)) {}
  Variant(std::int64_t v) : value(v) {}
  Variant(double v) : value(v) {}
  Variant(const char* v) : value(std::string(v)) {}
  Variant(std::string v) : value(std::move(v)) {}
  Variant(bool v) : value(v) {}
  Variant(Collection v) : value(std::move(v)) {}

  bool IsEmpty() const {
    return std::holds_alternative<UnsupportedValue>(value) && std::get<UnsupportedValue>(value).typeTag == 0;
  }
};

}  // namespace quillfen
