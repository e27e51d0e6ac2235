#pragma once
// Comparing names without regard to letter case, as the program does
// wherever names are sorted or matched (pictures, double names, INI keys,
// registry keys), although Linux file systems tell the cases apart.
#include <string>

namespace quillfen {

// Case-insensitive comparison (ASCII, Latin-1 and Cyrillic letters fold);
// bytes that are no valid UTF-8 compare consistently among themselves.
int CompareNoCase(const std::string& a, const std::string& b);
bool EqualsNoCase(const std::string& a, const std::string& b);
// The text with every letter folded as CompareNoCase folds it: two texts are
// EqualsNoCase exactly when their folded forms are equal.
std::string FoldNoCase(const std::string& text);
// The order of every folder listing: ignoring case, and names that differ only
// in case by their bytes, so that the order is total and the same on every run.
bool ListedBefore(const std::string& a, const std::string& b);

}  // namespace quillfen
