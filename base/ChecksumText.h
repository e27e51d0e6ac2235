#pragma once
// The checksums the program writes for the user to check: XXH3 with 128 bits,
// in the hex form xxhsum prints and reads (its canonical, big-endian bytes).
#include <string>
#include <string_view>

#include <xxhash.h>

namespace quillfen {

std::string ChecksumText(const XXH128_hash_t& hash);
// The checksum of bytes in hand.
std::string ChecksumOf(std::string_view bytes);

}  // namespace quillfen
