#include "posix/GnomeAutorunCheck.h"

#include <gio/gio.h>

#include "posix/XdgPaths.h"

namespace quillfen {
namespace {

constexpr const char* kSchema = "org.gnome.desktop.media-handling";
constexpr const char* kKey = "autorun-never";

}  // namespace

bool GnomeAutorunNever() {
  // Looked up first: GSettings aborts the program for a schema or a key that
  // is not installed, and complains about a key of another type.
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();
  if (!source) return false;
  GSettingsSchema* schema = g_settings_schema_source_lookup(source, kSchema, TRUE);
  if (!schema) return false;
  bool never = false;
  if (g_settings_schema_has_key(schema, kKey)) {
    GSettingsSchemaKey* key = g_settings_schema_get_key(schema, kKey);
    if (g_variant_type_equal(g_settings_schema_key_get_value_type(key), G_VARIANT_TYPE_BOOLEAN)) {
      GSettings* settings = g_settings_new_full(schema, nullptr, nullptr);
      never = g_settings_get_boolean(settings, kKey);
      g_object_unref(settings);
    }
    g_settings_schema_key_unref(key);
  }
  g_settings_schema_unref(schema);
  return never;
}

DesktopNotices GnomeAutorunCheck::Synchronize(const AutoPlayRegistration& registration) {
  DesktopNotices notices;
  // Elsewhere the schema is often installed too (GTK programs bring it), but
  // the setting governs nothing there.
  if (registration.registered && registration.offered && xdg::CurrentDesktopIs("GNOME"))
    notices.gnomeAutorunNever = GnomeAutorunNever();
  return notices;
}

}  // namespace quillfen
