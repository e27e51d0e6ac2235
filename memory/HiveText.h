#pragma once
// Writes the hive as text and reads it back, the form of the hive's file: one
// INI section per key, named by its root and path
// ("[HKEY_CLASSES_ROOT\Quillfen\shell]"), one line per string value
// ("Action=Import pictures"), "@" for the key's default value. Bytes a line
// cannot carry are written as an escape character and two hex digits: "%" in
// key paths and value names, "\" in value data.
#include <string>

#include "memory/MemoryRegistryHive.h"

namespace quillfen::hive_text {

struct Parsed {
  MemoryRegistryHive hive;
  // Empty when the text is sound; else what is wrong, and where.
  std::string damage;
};

// A damaged text reads as an empty hive.
Parsed Parse(const std::string& text);
std::string Serialize(const MemoryRegistryHive& hive);

}  // namespace quillfen::hive_text
