#pragma once
// One channel of Xfce's settings, read and written over the session bus
// through the settings daemon (xfconfd, org.xfce.Xfconf), which holds the
// values, so that running Xfce programs see a change at once. A value
// travels with its type, written as GVariant text ("true", "1" for an int32,
// "uint32 1", "'text'"), so that it can be given back exactly as it was.
#include <map>
#include <optional>
#include <string>

namespace quillfen {

class XfconfChannel {
 public:
  explicit XfconfChannel(std::string channel);

  // Every property of the channel with its typed value; nothing when the
  // daemon could not be asked (no session bus, no Xfce settings daemon):
  // then an absent name would say nothing about the property.
  std::optional<std::map<std::string, std::string>> Properties() const;
  // Sets a property to a typed value, creating it where it is not set.
  bool Set(const std::string& property, const std::string& typedValue) const;
  // Removes the property, as if it had never been set.
  bool Reset(const std::string& property) const;

 private:
  std::string channel_;
};

// The typed text of a boolean and of a string value.
std::string XfconfBool(bool value);
std::string XfconfString(const std::string& value);

}  // namespace quillfen
