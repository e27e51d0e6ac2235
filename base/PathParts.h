#pragma once
// Joins a folder and a name, and takes a path apart into its folder, name,
// base name and extension. Paths use "/" as the separator; nothing here
// touches the file system.
#include <string>

namespace quillfen {

// Folder and name with exactly one "/" between them ("/" + "x" is "/x").
std::string BuildPath(const std::string& folder, const std::string& name);
// The last path element.
std::string GetFileName(const std::string& path);
// The text after the last "." of the last path element, "" when there is none.
std::string GetExtensionName(const std::string& path);
// The last path element without its extension.
std::string GetBaseName(const std::string& path);
// Everything before the last "/": "." for a bare name, "/" for an element of
// the root.
std::string ParentFolder(const std::string& path);

}  // namespace quillfen
