#pragma once
// Joining of paths, as the program's file-system object does it.
#include <string>

namespace quillfen {

// Folder and name with exactly one "/" between them ("/" + "x" is "/x").
std::string BuildPath(const std::string& folder, const std::string& name);
// The text after the last "." of the last path element, "" when there is none.
std::string GetExtensionName(const std::string& path);
// The last path element without its extension.
std::string GetBaseName(const std::string& path);
// The last path element.
std::string GetFileName(const std::string& path);
// True when the file name's extension is "jpg" in any letter case.
bool IsPicture(const std::string& path);
// Case-insensitive (ASCII and Latin/Cyrillic via simple folding) comparison
// used wherever the program sorts or compares names ignoring case.
int CompareNoCase(const std::string& a, const std::string& b);
bool EqualsNoCase(const std::string& a, const std::string& b);
// The text with every letter folded as CompareNoCase folds it: two texts are
// EqualsNoCase exactly when their folded forms are equal.
std::string FoldNoCase(const std::string& text);

}  // namespace quillfen
