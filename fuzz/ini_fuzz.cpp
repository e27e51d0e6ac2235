// The INI reader: any bytes parse and serialize back unchanged; every key the
// document lists reads through the file reader as valid UTF-8 of at most 259
// characters; a value set under plain names reads back and leaves every other
// key as it was, in memory and through the file.
//
// Input: a section name, a key name and a value (each a length-prefixed
// string), then the file's bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "MemoryVolume.h"
#include "base/IniDocument.h"
#include "base/NoCase.h"
#include "base/Utf8.h"
#include "localization/INI_File.h"
#include "posix/PosixFileSystem.h"
#include "support/TempDir.h"

using namespace quillfen;

namespace {

std::size_t CountCharacters(const std::string& utf8) {
  std::size_t count = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

// A name that the reader gives back as it was written: one line, no outer
// blanks, nothing that makes the line a comment, a section or a split key.
bool PlainKeyName(const std::string& name) {
  return !name.empty() && !HasLineBreak(name) && TrimBlanks(name) == name && name.find('=') == std::string::npos &&
         name.front() != ';' && name.front() != '#' && name.front() != '[';
}

bool PlainSectionName(const std::string& name) {
  return !HasLineBreak(name) && TrimBlanks(name) == name && name.find(']') == std::string::npos;
}

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

struct Entry {
  std::string section, key;
  std::optional<std::string> value;
};

std::vector<Entry> AllEntries(const IniDocument& document) {
  std::vector<Entry> entries;
  for (const std::string& section : document.Sections())
    for (const std::string& key : document.Keys(section)) entries.push_back({section, key, document.Get(section, key)});
  return entries;
}

const std::string& FilePath() {
  static const testing::TempDir folder(fuzzing::MemoryVolume(), "quillfen-ini-fuzz");
  static const std::string path = folder.path() + "/file.ini";
  return path;
}

void CheckDocument(const std::string& bytes, const std::string& section, const std::string& key,
                   const std::string& value) {
  IniDocument document = IniDocument::Parse(bytes);
  FUZZ_CHECK(document.Serialize() == bytes, "a parsed text serializes back unchanged");

  const std::vector<Entry> before = AllEntries(document);
  for (const Entry& entry : before) FUZZ_CHECK(entry.value.has_value(), "a listed key has a value");

  if (!PlainKeyName(key) || !PlainSectionName(section)) return;
  document.Set(section, key, value);
  FUZZ_CHECK(document.Get(section, key) == OneLine(value), "a value set reads back");
  const IniDocument reread = IniDocument::Parse(document.Serialize());
  FUZZ_CHECK(reread.Get(section, key) == OneLine(value), "a value set reads back after a rewrite");
  for (const Entry& entry : before) {
    if (EqualsNoCase(entry.section, section) && EqualsNoCase(entry.key, key)) continue;
    FUZZ_CHECK(reread.Get(entry.section, entry.key) == entry.value, "setting one key leaves the others");
  }
}

void CheckFile(INI_File& file, const std::string& bytes, const std::string& section, const std::string& key,
               const std::string& value, bool write) {
  {
    std::ofstream out(FilePath(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  const IniDocument document = IniDocument::Parse(bytes);
  for (const Entry& entry : AllEntries(document)) {
    const std::string read = file.GetKeyStr(entry.key, entry.section);
    FUZZ_CHECK(IsValidUtf8(read), "a value reads as UTF-8");
    FUZZ_CHECK(CountCharacters(read) <= INI_File::kMaxValueLength, "a value reads no more characters than the limit");
    (void)file.GetKeyInt(entry.key, entry.section);
  }
  (void)file.GetKeyStr(key, section);

  // The file reader also converts and trims: only a short plain UTF-8 value
  // in a UTF-8 file is expected back exactly.
  const bool plainValue = IsValidUtf8(value) && !HasLineBreak(value) && value.find('\0') == std::string::npos &&
                          (value.empty() || value.front() != ' ') && CountCharacters(value) <= INI_File::kMaxValueLength;
  if (!write || section.empty() || !PlainKeyName(key) || !PlainSectionName(section) || !IsValidUtf8(section) ||
      !IsValidUtf8(key) || !IsValidUtf8(bytes))
    return;
  file.SetKeyStr(key, value, section);
  if (plainValue) FUZZ_CHECK(file.GetKeyStr(key, section) == value, "a value written to the file reads back");
  file.DeleteKey(key, section);
  FUZZ_CHECK(file.GetKeyStr(key, section).empty(), "a deleted key reads empty");
  file.DeleteSection(section);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One reader for the whole run, so its cache of the parsed file is tested
  // against files that change under it.
  static PosixFileSystem disk;
  static INI_File file(disk);
  if (file.File().empty()) file.File(FilePath());

  FuzzedDataProvider input(data, size);
  const bool write = input.ConsumeBool();
  const std::string section = input.ConsumeRandomLengthString(64);
  const std::string key = input.ConsumeRandomLengthString(64);
  const std::string value = input.ConsumeRandomLengthString(512);
  const std::string bytes = input.ConsumeRemainingBytesAsString();

  CheckDocument(bytes, section, key, value);
  CheckFile(file, bytes, section, key, value, write);
  return 0;
}
