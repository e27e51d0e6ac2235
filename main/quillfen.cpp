// The desktop program: the main window with the movie, on GTK and WebKitGTK.
#include <gtk/gtk.h>

#include <cstdlib>

#include "about/frmAbout.h"
#include "app/GlobalModule.h"
#include "app/frmQuillfen.h"
#include "base/PathParts.h"
#include "gtk/GtkCommandLine.h"
#include "gtk/GtkShell.h"
#include "gtk/GtkSingleInstance.h"
#include "gtk/GtkWindowSystem.h"
#include "gtk/HandlerNesting.h"
#include "gtk/WebMovieHost.h"
#include "posix/FileRegistryHive.h"
#include "settings/AutoPlayKeys.h"
#include "posix/IniSettingsStore.h"
#include "posix/PosixFileSystem.h"
#include "posix/PosixSystemInfo.h"
#include "posix/XdgDesktopIntegration.h"
#ifdef QUILLFEN_TEST_HOOK
#include "gtk/testhook/SlowFileSystem.h"
#include "gtk/testhook/TestHook.h"
#endif

using namespace quillfen;

int main(int argc, char** argv) {
  // GTK takes the startup-notification id out of the environment; a later
  // start hands it on to the window already running.
  const char* startupId = std::getenv("DESKTOP_STARTUP_ID");
  HandedOverStart start{"", startupId ? startupId : ""};
  // Help, the version and a line that cannot be read end this start before
  // anything reaches a window already running.
  const CommandLine line = ReadCommandLine(argc, argv);
  if (line.exitStatus) return *line.exitStatus;
  start.argument = line.argument;
  GtkSingleInstance instance(QUILLFEN_APP_ID);
  if (instance.HandOver(start)) return 0;
  PosixSystemInfo system(start.argument);

  GtkShell shell(QUILLFEN_APP_ID);
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
  FileRegistryHive registry(FileRegistryHive::DefaultPath(), autoplay::EventKeys());
  XdgDesktopIntegration desktop;

  GlobalModule module(Platform{window, movie, files, settings, registry, shell, system, &desktop});
  frmQuillfen form(module.MainWindow());
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
