// The desktop program: the main window with the movie, on GTK and WebKitGTK.
#include <gtk/gtk.h>

#include <cstdlib>

#include "about/frmAbout.h"
#include "app/GlobalModule.h"
#include "app/frmQuillfen.h"
#include "base/PathParts.h"
#include "platform/gtk/GtkShell.h"
#include "platform/gtk/GtkSingleInstance.h"
#include "platform/gtk/GtkWindowSystem.h"
#include "platform/gtk/HandlerNesting.h"
#include "platform/gtk/WebMovieHost.h"
#include "platform/posix/FileRegistryHive.h"
#include "platform/posix/IniSettingsStore.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixSystemInfo.h"
#include "platform/posix/XdgDesktopIntegration.h"
#ifdef QUILLFEN_TEST_HOOK
#include "platform/gtk/testhook/SlowFileSystem.h"
#include "platform/gtk/testhook/TestHook.h"
#endif

using namespace quillfen;

int main(int argc, char** argv) {
  // GTK takes the startup-notification id out of the environment; a later
  // start hands it on to the window already running.
  const char* startupId = std::getenv("DESKTOP_STARTUP_ID");
  HandedOverStart start{"", startupId ? startupId : ""};
  // GTK takes its own options first; the rest is the program's argument.
  gtk_init(&argc, &argv);
  start.argument = JoinArguments(argc, argv, 1);
  GtkSingleInstance instance(QUILLFEN_APP_ID);
  if (instance.HandOver(start)) return 0;
  PosixSystemInfo system(start.argument);

  GtkShell shell;
  HandlerNesting nesting;
  WebMovieHost movie(nesting);
  const std::string resources = BuildPath(system.ProgramFolder(), "resources");
  GtkWindowSystem window(movie.widget(), kMovieWidth, kMovieHeight,
                         {BuildPath(resources, "quillfen.gif"), BuildPath(resources, "quillfen.png")},
                         [&shell](const std::string&) { OpenHomePage(shell); }, nesting);
#ifdef QUILLFEN_TEST_HOOK
  PosixFileSystem disk;
  SlowFileSystem files(disk);
#else
  PosixFileSystem files;
#endif
  IniSettingsStore settings(IniSettingsStore::DefaultPath());
  FileRegistryHive registry(FileRegistryHive::DefaultPath());
  XdgDesktopIntegration desktop;

  GlobalModule module(Platform{window, movie, files, settings, registry, shell, system, &desktop});
  frmQuillfen form(module);
#ifdef QUILLFEN_TEST_HOOK
  TestHook hook(window, movie);
#endif
  instance.SetReceiver([&](const HandedOverStart& later) {
    window.Present(later.startupId);
    HandlerNesting::Scope scope(nesting);
    form.LaterStart(later.argument);
  });
  {
    HandlerNesting::Scope loading(nesting);
    form.Form_Load();
  }
  window.Show();
  window.Run();
  return 0;
}
