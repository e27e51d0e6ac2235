#pragma once
// The program's objects over in-memory ports (real files through the POSIX
// file system), for tests that drive the logic directly.
#include <memory>

#include "app/GlobalModule.h"
#include "posix/PosixFileSystem.h"
#include "script/EventLog.h"
#include "memory/FixedSystemInfo.h"
#include "memory/MemorySettingsStore.h"
#include "script/RecordingShell.h"
#include "script/ScriptedMovieHost.h"
#include "script/ScriptedWindowSystem.h"
#include "memory/MemoryRegistryHive.h"

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
