// The registry module's key paths: a path splits into a root and a subkey
// that join back into the path, or is refused with the format box; a value
// written under a created key reads back as the buffer gives it; nothing
// crashes whatever the path, the value name or the data hold.
//
// Input: a key path, a value name and data (each a length-prefixed string),
// then a byte choosing whether the key is created first.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "script/EventLog.h"
#include "script/ScriptedWindowSystem.h"
#include "memory/MemoryRegistryHive.h"
#include "settings/registry.h"

using namespace quillfen;

namespace {

// The registry module needs the hive and, for its one box, the window system.
struct Program {
  EventLog log;
  ScriptedWindowSystem window{log};
  MemoryRegistryHive hive;

  std::size_t Boxes() const {
    std::size_t boxes = 0;
    for (const std::string& line : log.Lines())
      if (line.rfind("box ", 0) == 0) ++boxes;
    return boxes;
  }
};

bool WellFormed(const std::string& path) {
  return path.rfind("HKEY_", 0) == 0 && path.back() != '\\';
}

std::string WithoutLeadingSpaces(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string path = input.ConsumeRandomLengthString(256);
  const std::string name = input.ConsumeRandomLengthString(64);
  const std::string value = input.ConsumeRandomLengthString(300);
  const bool create = input.ConsumeBool();

  Program program;
  std::string subkey = path;
  const auto root = registry::SplitKeyPath(program.window, subkey);
  if (!WellFormed(path)) {
    FUZZ_CHECK(!root, "a path that is not HKEY_... or ends in \\ has no root");
    FUZZ_CHECK(program.Boxes() == 1, "a malformed path is shown once");
    return 0;
  }
  FUZZ_CHECK(program.Boxes() == 0, "a well-formed path is not shown");
  if (root) {
    const std::size_t separator = path.find('\\');
    const std::string rootName = path.substr(0, separator);
    FUZZ_CHECK(registry::RootKeyFromName(rootName) == root, "the root is the one named");
    FUZZ_CHECK(separator == std::string::npos ? subkey.empty() : rootName + "\\" + subkey == path,
               "root and subkey join back into the path");
  }

  if (create) registry::CreateKey(program.hive, program.window, path);
  registry::SetStringValue(program.hive, program.window, path, name, value);
  const std::string read = registry::QueryStringValue(program.hive, program.window, path, name);
  if (!root) {
    FUZZ_CHECK(read.empty(), "a path without a root reads empty");
    return 0;
  }
  if (create && value.size() + 1 <= registry::kQueryBufferSize)
    FUZZ_CHECK(read == WithoutLeadingSpaces(value), "a value written reads back");
  else if (!create && !program.hive.KeyExists(*root, subkey))
    FUZZ_CHECK(read == "0", "a missing key reads 0");
  FUZZ_CHECK(read.size() < registry::kQueryBufferSize, "a value read fits the buffer");

  registry::DeleteValue(program.hive, program.window, path, name);
  if (create) FUZZ_CHECK(registry::QueryStringValue(program.hive, program.window, path, name) == "0", "a deleted value reads 0");
  return 0;
}
