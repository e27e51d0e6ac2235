#include "localization/INI_File.h"

namespace quillfen {
// Placeholder until the INI reader lands.
std::string INI_File::GetKeyStr(const std::string&, const std::string&) const { return {}; }
std::int32_t INI_File::GetKeyInt(const std::string&, const std::string&) const { return 0; }
void INI_File::SetKeyStr(const std::string&, const std::string&, const std::string&) {}
void INI_File::DeleteSection(const std::string&) {}
void INI_File::DeleteKey(const std::string&, const std::string&) {}
}  // namespace quillfen
