#pragma once
// Where the AutoPlay registration lives in the program's hive: its keys and
// the names of its values.
#include <string>
#include <vector>

#include "base/AppNames.h"

namespace quillfen::autoplay {

inline constexpr const char* kClassKey = "HKEY_CLASSES_ROOT\\Quillfen";
inline constexpr const char* kCommandKey = "HKEY_CLASSES_ROOT\\Quillfen\\shell\\quillfen\\command";
inline constexpr const char* kHandlerKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\Handlers\\_"
    "Quillfen";
inline constexpr const char* kMixedContentKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\EventHandlers\\"
    "MixedContentOnArrival";
inline constexpr const char* kShowPicturesKey =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\EventHandlers\\"
    "ShowPicturesOnArrival";
// The keys of the two AutoPlay events. The program only adds values to them
// and never creates them (a value is written into an existing key only), so
// the hive has them from the start, a fresh one too.
inline constexpr const char* kEventKeys[] = {kMixedContentKey, kShowPicturesKey};
inline std::vector<std::string> EventKeys() { return {std::begin(kEventKeys), std::end(kEventKeys)}; }
inline constexpr const char* kHandlerName = "_Quillfen";
// What follows the program path in the command; the drive's path replaces it.
inline constexpr const char* kCommandArgument = " %1";

}  // namespace quillfen::autoplay
