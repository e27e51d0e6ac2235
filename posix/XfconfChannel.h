#pragma once
// One channel of Xfce's settings, read and written through xfconf-query, the
// settings daemon's command-line client (the daemon holds the values, so
// that running Xfce programs see a change at once).
#include <optional>
#include <set>
#include <string>

namespace quillfen {

class XfconfChannel {
 public:
  // tool: the path of xfconf-query.
  XfconfChannel(std::string tool, std::string channel);

  // The names of the channel's properties; nothing when the daemon could not
  // be asked (then an absent name would say nothing about the property).
  std::optional<std::set<std::string>> Properties() const;
  // A property's value as xfconf-query prints it (a boolean as true/false).
  std::optional<std::string> Read(const std::string& property) const;
  // Sets a property of that type ("bool", "string"), creating it when asked.
  bool Set(const std::string& property, const std::string& type, const std::string& value, bool create) const;
  // Removes the property, as if it had never been set.
  bool Reset(const std::string& property) const;

 private:
  std::string tool_;
  std::string channel_;
};

}  // namespace quillfen
