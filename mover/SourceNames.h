#pragma once
// The source pictures' names in ascending order ignoring letter case: two
// pictures of one name are neighbours there, and a target picture's name is
// found by binary search.
#include <string>
#include <vector>

namespace quillfen {

// Ascending order ignoring letter case (the order of CompareNoCase).
void SortNoCase(std::vector<std::string>& names);

// Walks the sorted names and copies them into `names`; true at the first
// name equal (ignoring case) to the one before it, leaving the rest of the
// copy empty. With no names, `names` keeps what it held.
bool HasDoubleNames(const std::vector<std::string>& sortedNames, std::vector<std::string>& names);

// True when `name` equals, ignoring case, some entry of the sorted array.
bool ClashesWithSourceName(const std::vector<std::string>& sortedNames, const std::string& name);

}  // namespace quillfen
