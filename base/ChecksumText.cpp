#include "base/ChecksumText.h"

namespace quillfen {

std::string ChecksumText(const XXH128_hash_t& hash) {
  XXH128_canonical_t canonical;
  XXH128_canonicalFromHash(&canonical, hash);
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (unsigned char byte : canonical.digest) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

std::string ChecksumOf(std::string_view bytes) { return ChecksumText(XXH3_128bits(bytes.data(), bytes.size())); }

}  // namespace quillfen
