// The hive file: any bytes read as a sound hive or as a damaged one, never
// anything else; a hive written out reads back as the same keys and values;
// a change to a damaged file keeps the damaged file aside; a change to a
// sound one leaves every other value as it was.
//
// Input: an operation, a root, a key path, a value name and data (each a
// length-prefixed string), then the file's bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "FuzzCheck.h"
#include "HiveCompare.h"
#include "MemoryVolume.h"
#include "posix/FileRegistryHive.h"
#include "memory/HiveText.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace quillfen;

namespace {

const std::string& Folder() {
  static const testing::TempDir folder(fuzzing::MemoryVolume(), "quillfen-hive-fuzz");
  // The damage warnings go to std::cerr once per hive: thousands of lines
  // in a fuzzing run. Sanitizer reports do not go through std::cerr.
  static const bool quiet = [] { return std::cerr.rdbuf(nullptr), true; }();
  (void)quiet;
  return folder.path();
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int AsideCount() {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(Folder()))
    if (entry.path().filename().string().find(".damaged-") != std::string::npos) ++count;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& folder = Folder();
  FuzzedDataProvider input(data, size);
  const int operation = input.ConsumeIntegralInRange(0, 3);
  const auto root = static_cast<RegistryRoot>(input.ConsumeIntegralInRange(0, 6));
  const std::string subkey = input.ConsumeRandomLengthString(128);
  const std::string name = input.ConsumeRandomLengthString(64);
  const std::string value = input.ConsumeRandomLengthString(300);
  const std::string bytes = input.ConsumeRemainingBytesAsString();

  // The text alone: a sound one survives being written out again.
  const hive_text::Parsed parsed = hive_text::Parse(bytes);
  if (parsed.damage.empty()) {
    const hive_text::Parsed again = hive_text::Parse(hive_text::Serialize(parsed.hive));
    FUZZ_CHECK(again.damage.empty(), "a written hive reads as sound");
    FUZZ_CHECK(fuzzing::SameHive(again.hive, parsed.hive), "a written hive reads back unchanged");
  } else {
    FUZZ_CHECK(parsed.hive.keys().empty(), "a damaged hive reads as empty");
  }

  // The same bytes as the hive file.
  for (const auto& entry : fs::directory_iterator(folder)) fs::remove(entry.path());
  const fs::path path = fs::path(folder) / "registry.ini";
  {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  FileRegistryHive hive(path.string());
  std::string read;
  (void)hive.KeyExists(root, subkey);
  (void)hive.QueryValue(root, subkey, name, 255, read);

  bool changed = false;
  switch (operation) {
    case 0: changed = hive.CreateKey(root, subkey); break;
    case 1: changed = hive.SetValue(root, subkey, name, value); break;
    case 2: changed = hive.DeleteValue(root, subkey, name); break;
    default: break;
  }
  if (!changed) {
    FUZZ_CHECK(ReadFile(path) == bytes, "a change that failed leaves the file as it was");
    return 0;
  }
  FUZZ_CHECK(AsideCount() == (parsed.damage.empty() ? 0 : 1), "a damaged file is kept aside, a sound one is not");
  const hive_text::Parsed after = hive_text::Parse(ReadFile(path));
  FUZZ_CHECK(after.damage.empty(), "the hive file is sound after a change");
  if (operation == 1) {
    std::string back;
    FUZZ_CHECK(after.hive.QueryValue(root, subkey, name, value.size() + 1, back) && back == value,
               "a value set reads back from the file");
  }
  if (operation == 0) FUZZ_CHECK(hive.KeyExists(root, subkey), "a created key exists");
  if (parsed.damage.empty())
    FUZZ_CHECK(fuzzing::KeepsEverythingBut(after.hive, parsed.hive, root, subkey, name),
               "a change leaves every other key and value as it was");
  return 0;
}
