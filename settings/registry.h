#pragma once
// Registry access by full key path ("HKEY_CLASSES_ROOT\Quillfen\shell"): read a
// value as text, write a string value, create a key, delete a value. Failures
// are silent on purpose: reads answer "0", everything else simply has no effect.
// The window system shows the one box this module has, about a malformed path.
#include <optional>
#include <string>

#include "platform/RegistryHive.h"
#include "platform/WindowSystem.h"

namespace quillfen::registry {

// Bytes of the buffer a value is read into, terminator included.
inline constexpr std::size_t kQueryBufferSize = 255;

// The predefined root of an exact (letter-case-sensitive) root name.
std::optional<RegistryRoot> RootKeyFromName(const std::string& name);
// Splits a full key path: on return `path` holds the subkey. A path that does
// not start with "HKEY_" or ends in "\" is shown in the "Incorrect Format:" box.
std::optional<RegistryRoot> SplitKeyPath(WindowSystem& window, std::string& path);

// The value's text; "0" when the key or value cannot be read; "" without a root.
std::string QueryStringValue(const RegistryHive& hive, WindowSystem& window, const std::string& keyPath,
                             const std::string& valueName);
// Writes into an existing key only; a missing key is not created.
void SetStringValue(RegistryHive& hive, WindowSystem& window, const std::string& keyPath,
                    const std::string& valueName, const std::string& data);
// Creates the key with every missing parent.
void CreateKey(RegistryHive& hive, WindowSystem& window, const std::string& keyPath);
void DeleteValue(RegistryHive& hive, WindowSystem& window, const std::string& keyPath,
                 const std::string& valueName);

}  // namespace quillfen::registry
