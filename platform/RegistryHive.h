#pragma once
// The program's own per-user store of its registration (the AutoPlay
// entries; on disk in $XDG_CONFIG_HOME/Quillfen/registry.ini): keys under seven
// roots, each with a default value and named string values. Names of keys
// and values compare without regard to letter case. A call that fails says
// only that it failed, never why.
#include <string>

namespace quillfen {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users, PerformanceData, CurrentConfig, DynData };

class RegistryHive {
 public:
  virtual ~RegistryHive() = default;
  // Opening a key: fails when it is missing.
  virtual bool KeyExists(RegistryRoot root, const std::string& subkey) const = 0;
  // Opens or creates the key together with every missing parent.
  virtual bool CreateKey(RegistryRoot root, const std::string& subkey) = 0;
  // Reads a value (empty name: the default value) into a buffer of
  // bufferSize bytes; fails when key or value is missing or the value with
  // its terminator does not fit.
  virtual bool QueryValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                          std::size_t bufferSize, std::string& data) const = 0;
  // Sets a string value; fails when the key is missing.
  virtual bool SetValue(RegistryRoot root, const std::string& subkey, const std::string& name,
                        const std::string& data) = 0;
  virtual bool DeleteValue(RegistryRoot root, const std::string& subkey, const std::string& name) = 0;
};

}  // namespace quillfen
