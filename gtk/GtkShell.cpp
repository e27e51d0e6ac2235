#include "gtk/GtkShell.h"

#include <gio/gio.h>

#include <cstdio>
#include <string>

namespace quillfen {

namespace {

void LaunchDefault(const char* uri) {
  GError* error = nullptr;
  if (!g_app_info_launch_default_for_uri(uri, nullptr, &error)) {
    // Nothing depends on it; it is said where a curious user can read it.
    std::fprintf(stderr, "quillfen: could not open %s: %s\n", uri, error ? error->message : "no program");
    if (error) g_error_free(error);
  }
}

}  // namespace

void GtkShell::OpenFolder(const std::string& path) {
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  if (!uri) {
    std::fprintf(stderr, "quillfen: could not open the folder %s\n", path.c_str());
    return;
  }
  LaunchDefault(uri);
  g_free(uri);
}

void GtkShell::OpenUrl(const std::string& url) { LaunchDefault(url.c_str()); }

namespace {

// One asynchronous GIO call waited for; the window's events are handled
// meanwhile, so it stays responsive while the card's drive stops.
class Wait {
 public:
  ~Wait() {
    if (error_) g_error_free(error_);
  }
  GAsyncReadyCallback Callback() const { return &Wait::Done; }
  gpointer Data() { return this; }
  // Waits for the call; the finisher is the call's own _finish function.
  template <typename Finish>
  FsStatus Outcome(Finish finish) {
    while (!result_) g_main_context_iteration(nullptr, TRUE);
    const bool ok = finish(result_, &error_);
    g_object_unref(result_);
    result_ = nullptr;
    if (ok) return {};
    const FsCode code = error_ && g_error_matches(error_, G_IO_ERROR, G_IO_ERROR_BUSY) ? FsCode::Other : FsCode::IoError;
    // GIO's own unmount (without the file manager's service) hands on the
    // umount command's output, line break and all.
    std::string reason = error_ ? error_->message : "the volume service gave no reason";
    reason.erase(reason.find_last_not_of(" \n") + 1);
    return FsStatus::Failed(code, reason);
  }

 private:
  static void Done(GObject*, GAsyncResult* result, gpointer self) {
    static_cast<Wait*>(self)->result_ = G_ASYNC_RESULT(g_object_ref(result));
  }
  GAsyncResult* result_ = nullptr;
  GError* error_ = nullptr;
};

}  // namespace

// The desktop's Eject: a card reader's mount is ejected (its volumes
// unmounted, the medium ejected and the drive powered off where udisks can);
// a mount that cannot be ejected is unmounted and its drive stopped.
FsStatus GtkShell::Eject(const std::string& path) {
  GFile* file = g_file_new_for_path(path.c_str());
  GError* error = nullptr;
  GMount* mount = g_file_find_enclosing_mount(file, nullptr, &error);
  g_object_unref(file);
  if (!mount) {
    FsStatus failed = FsStatus::Failed(FsCode::NotFound, error ? error->message : "no volume holds the folder");
    if (error) g_error_free(error);
    return failed;
  }
  GDrive* drive = g_mount_get_drive(mount);
  FsStatus outcome;
  if (g_mount_can_eject(mount)) {
    Wait wait;
    g_mount_eject_with_operation(mount, G_MOUNT_UNMOUNT_NONE, nullptr, nullptr, wait.Callback(), wait.Data());
    outcome = wait.Outcome([mount](GAsyncResult* result, GError** failure) {
      return g_mount_eject_with_operation_finish(mount, result, failure);
    });
  } else {
    Wait wait;
    g_mount_unmount_with_operation(mount, G_MOUNT_UNMOUNT_NONE, nullptr, nullptr, wait.Callback(), wait.Data());
    outcome = wait.Outcome([mount](GAsyncResult* result, GError** failure) {
      return g_mount_unmount_with_operation_finish(mount, result, failure);
    });
    if (outcome && drive && g_drive_can_stop(drive)) {
      Wait stop;
      g_drive_stop(drive, G_MOUNT_UNMOUNT_NONE, nullptr, nullptr, stop.Callback(), stop.Data());
      // The card is unmounted: a drive that does not stop loses nothing.
      if (FsStatus stopped = stop.Outcome([drive](GAsyncResult* result, GError** failure) {
            return g_drive_stop_finish(drive, result, failure);
          });
          !stopped)
        std::fprintf(stderr, "quillfen: the card's drive did not stop: %s\n", stopped.reason.c_str());
    }
  }
  if (drive) g_object_unref(drive);
  g_object_unref(mount);
  return outcome;
}

// Through the desktop's notification service on the session bus, without
// waiting for its answer: a desktop without one shows nothing.
void GtkShell::Notify(const std::string& title, const std::string& body) {
  GError* error = nullptr;
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  if (!bus) {
    std::fprintf(stderr, "quillfen: no notification: %s\n", error ? error->message : "no session bus");
    if (error) g_error_free(error);
    return;
  }
  GVariantBuilder hints;
  g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
  if (!appId_.empty()) g_variant_builder_add(&hints, "{sv}", "desktop-entry", g_variant_new_string(appId_.c_str()));
  g_dbus_connection_call(bus, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                         "org.freedesktop.Notifications", "Notify",
                         g_variant_new("(susssasa{sv}i)", "Quillfen", 0u, appId_.c_str(), title.c_str(), body.c_str(),
                                       nullptr, &hints, -1),
                         nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr, nullptr);
  // The message leaves before the connection may go with its last reference.
  g_dbus_connection_flush_sync(bus, nullptr, nullptr);
  g_object_unref(bus);
}

}  // namespace quillfen
