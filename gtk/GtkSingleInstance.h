#pragma once
// One program per desktop session, through GApplication on the session bus:
// the first start owns the application id; a later start hands its argument
// over to it and ends. Without a session bus, or where registering fails,
// every start runs on its own.
#include <gio/gio.h>

#include <functional>
#include <string>
#include <vector>

namespace quillfen {

// What a later start hands over.
struct HandedOverStart {
  // The program's argument as that start read it (ReadCommandLine): a
  // relative path already made absolute from that start's working folder,
  // which the running program does not share.
  std::string argument;
  // The desktop's startup-notification id of that start, or empty: it lets
  // the running window come to the front and ends that start's busy cursor.
  std::string startupId;
};

class GtkSingleInstance {
 public:
  explicit GtkSingleInstance(const char* applicationId);
  ~GtkSingleInstance();
  GtkSingleInstance(const GtkSingleInstance&) = delete;
  GtkSingleInstance& operator=(const GtkSingleInstance&) = delete;

  // Registers this start. True when the program already runs in this
  // session: the start has been handed over to it, and this one should end.
  bool HandOver(HandedOverStart start);
  // Receives each start handed over from now on, in the order they arrive,
  // and those that arrived before a receiver was set.
  void SetReceiver(std::function<void(const HandedOverStart&)> receiver);

 private:
  static void OnHandOver(GSimpleAction*, GVariant* parameter, gpointer data);
  static void OnActivate(GApplication*, gpointer data);
  void Receive(HandedOverStart start);

  GApplication* application_ = nullptr;
  std::function<void(const HandedOverStart&)> receiver_;
  std::vector<HandedOverStart> early_;
};

}  // namespace quillfen
