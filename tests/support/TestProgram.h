#pragma once
// The program's objects over in-memory ports (real files through the POSIX
// file system), for tests that drive the logic directly.
#include <memory>

#include "app/GlobalModule.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/script/EventLog.h"
#include "platform/script/FixedSystemInfo.h"
#include "platform/script/MemorySettingsStore.h"
#include "platform/script/RecordingShell.h"
#include "platform/script/ScriptedMovieHost.h"
#include "platform/script/ScriptedWindowSystem.h"
#include "settings/MemoryRegistryHive.h"

namespace quillfen::testing {

struct TestProgram {
  EventLog log;
  ScriptedWindowSystem window{log};
  ScriptedMovieHost movie{log, window};
  PosixFileSystem realFiles;
  FileSystem* files = &realFiles;  // a test may put an overlay in front
  MemorySettingsStore settings;
  MemoryRegistryHive registry;
  RecordingShell shell{log};
  FixedSystemInfo system;
  std::unique_ptr<GlobalModule> module;

  // The program folder is the build's program folder (language files, movie).
  TestProgram() { system.programFolder = QUILLFEN_PROGRAM_DIR; }

  // Creates the module over the ports; call after adjusting the ports.
  GlobalModule& Module() {
    if (!module)
      module = std::make_unique<GlobalModule>(
          Platform{window, movie, *files, settings, registry, shell, system, nullptr});
    return *module;
  }
};

}  // namespace quillfen::testing
