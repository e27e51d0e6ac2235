#include "posix/XfconfChannel.h"

#include <gio/gio.h>

namespace quillfen {
namespace {

constexpr const char* kService = "org.xfce.Xfconf";
constexpr const char* kObject = "/org/xfce/Xfconf";
constexpr const char* kInterface = "org.xfce.Xfconf";
// The daemon is started on the first call where it is installed but not
// running; one that does not answer must not hang the window.
constexpr int kTimeoutMs = 5000;

std::string Printed(GVariant* value) {
  gchar* text = g_variant_print(value, TRUE);
  std::string printed = text;
  g_free(text);
  return printed;
}

// Calls a method of the daemon; its reply (to unref), or null with *error set.
GVariant* Call(const char* method, GVariant* parameters, GError** error) {
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, error);
  if (!bus) {
    g_variant_unref(g_variant_ref_sink(parameters));
    return nullptr;
  }
  GVariant* reply = g_dbus_connection_call_sync(bus, kService, kObject, kInterface, method, parameters, nullptr,
                                                G_DBUS_CALL_FLAGS_NONE, kTimeoutMs, nullptr, error);
  g_object_unref(bus);
  return reply;
}

bool Succeeded(GVariant* reply, GError* error) {
  if (reply) g_variant_unref(reply);
  g_clear_error(&error);
  return reply != nullptr;
}

}  // namespace

std::string XfconfBool(bool value) { return value ? "true" : "false"; }

std::string XfconfString(const std::string& value) {
  GVariant* variant = g_variant_ref_sink(g_variant_new_string(value.c_str()));
  std::string printed = Printed(variant);
  g_variant_unref(variant);
  return printed;
}

XfconfChannel::XfconfChannel(std::string channel) : channel_(std::move(channel)) {}

std::optional<std::map<std::string, std::string>> XfconfChannel::Properties() const {
  GError* error = nullptr;
  GVariant* reply = Call("GetAllProperties", g_variant_new("(ss)", channel_.c_str(), "/"), &error);
  if (!reply) {
    g_clear_error(&error);
    return std::nullopt;
  }
  std::map<std::string, std::string> properties;
  GVariantIter* iter = nullptr;
  g_variant_get(reply, "(a{sv})", &iter);
  const gchar* property = nullptr;
  GVariant* value = nullptr;
  while (g_variant_iter_loop(iter, "{&sv}", &property, &value)) properties[property] = Printed(value);
  g_variant_iter_free(iter);
  g_variant_unref(reply);
  return properties;
}

bool XfconfChannel::Set(const std::string& property, const std::string& typedValue) const {
  GVariant* value = g_variant_parse(nullptr, typedValue.c_str(), nullptr, nullptr, nullptr);
  if (!value) return false;
  GVariant* parameters = g_variant_new("(ssv)", channel_.c_str(), property.c_str(), value);
  g_variant_unref(value);
  GError* error = nullptr;
  return Succeeded(Call("SetProperty", parameters, &error), error);
}

bool XfconfChannel::Reset(const std::string& property) const {
  GError* error = nullptr;
  GVariant* reply = Call("ResetProperty", g_variant_new("(ssb)", channel_.c_str(), property.c_str(), FALSE), &error);
  return Succeeded(reply, error);
}

}  // namespace quillfen
