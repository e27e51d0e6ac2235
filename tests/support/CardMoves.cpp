#include "support/CardMoves.h"

#include <algorithm>
#include <filesystem>

namespace quillfen::testing {

std::vector<std::string> FilesBelow(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    if (it->is_regular_file()) files.push_back(fs::relative(it->path(), folder).string());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace quillfen::testing
