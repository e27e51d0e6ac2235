// The hand-over between two starts of the program: an action of the running
// program's GApplication, activated over the session bus by the later start.
#include "gtk/GtkSingleInstance.h"

#include <cstdio>
#include <utility>


namespace quillfen {

namespace {

constexpr const char* kHandOverAction = "hand-over";
// The argument as bytes: a folder's name need not be valid UTF-8.
constexpr const char* kHandOverType = "(ays)";

}  // namespace

GtkSingleInstance::GtkSingleInstance(const char* applicationId)
    : application_(g_application_new(applicationId, GApplicationFlags{})) {
  GSimpleAction* action = g_simple_action_new(kHandOverAction, G_VARIANT_TYPE(kHandOverType));
  g_signal_connect(action, "activate", G_CALLBACK(OnHandOver), this);
  g_action_map_add_action(G_ACTION_MAP(application_), G_ACTION(action));
  g_object_unref(action);
  // The desktop may activate a running application without an argument.
  g_signal_connect(application_, "activate", G_CALLBACK(OnActivate), this);
}

GtkSingleInstance::~GtkSingleInstance() { g_object_unref(application_); }

bool GtkSingleInstance::HandOver(HandedOverStart start) {
  GError* error = nullptr;
  if (!g_application_register(application_, nullptr, &error)) {
    std::fprintf(stderr, "quillfen: runs on its own: %s\n", error ? error->message : "registering failed");
    g_clear_error(&error);
    return false;
  }
  if (!g_application_get_is_remote(application_)) return false;
  if (!g_utf8_validate(start.startupId.c_str(), -1, nullptr)) start.startupId.clear();
  g_action_group_activate_action(G_ACTION_GROUP(application_), kHandOverAction,
                                 g_variant_new("(^ays)", start.argument.c_str(), start.startupId.c_str()));
  // The activation is sent without waiting for an answer, which may come
  // only after a whole move; it must have left before this start ends.
  if (GDBusConnection* bus = g_application_get_dbus_connection(application_))
    g_dbus_connection_flush_sync(bus, nullptr, nullptr);
  return true;
}

void GtkSingleInstance::SetReceiver(std::function<void(const HandedOverStart&)> receiver) {
  receiver_ = std::move(receiver);
  std::vector<HandedOverStart> early = std::move(early_);
  early_.clear();
  for (HandedOverStart& start : early) Receive(std::move(start));
}

void GtkSingleInstance::Receive(HandedOverStart start) {
  if (receiver_)
    receiver_(start);
  else
    early_.push_back(std::move(start));
}

void GtkSingleInstance::OnHandOver(GSimpleAction*, GVariant* parameter, gpointer data) {
  const char* argument = nullptr;
  const char* startupId = nullptr;
  g_variant_get(parameter, "(^&ay&s)", &argument, &startupId);
  static_cast<GtkSingleInstance*>(data)->Receive(HandedOverStart{argument, startupId});
}

void GtkSingleInstance::OnActivate(GApplication*, gpointer data) {
  static_cast<GtkSingleInstance*>(data)->Receive(HandedOverStart{});
}

}  // namespace quillfen
