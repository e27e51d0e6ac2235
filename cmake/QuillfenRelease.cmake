# The release's version and date as the package, the AppStream release and
# the manual pages name them. The version itself is written once, in
# project() of CMakeLists.txt, which also hands it to the About window; its
# four numbers are major.minor.patch.revision, and people are shown
# major.minor.revision (the program has always called its builds
# revisions), e.g. 1.0.0.29 is 1.0.29.
#
# Included by cmake/QuillfenInstall.cmake, after project(). Run as a script,
#   cmake -P cmake/QuillfenRelease.cmake
# it prints `version=...` and `date=...` for scripts/package, which has no
# configured build to ask.

# Move it forward with the version.
set(QUILLFEN_RELEASE_DATE 2026-12-07)

if(CMAKE_SCRIPT_MODE_FILE)
  file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../CMakeLists.txt project_line REGEX "^project\\(Quillfen VERSION ")
  if(NOT project_line MATCHES "VERSION ([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)")
    message(FATAL_ERROR "no version of four numbers in project() of CMakeLists.txt")
  endif()
  set(PROJECT_VERSION_MAJOR ${CMAKE_MATCH_1})
  set(PROJECT_VERSION_MINOR ${CMAKE_MATCH_2})
  set(PROJECT_VERSION_TWEAK ${CMAKE_MATCH_4})
endif()

set(QUILLFEN_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_TWEAK})

if(CMAKE_SCRIPT_MODE_FILE)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "version=${QUILLFEN_VERSION}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "date=${QUILLFEN_RELEASE_DATE}")
endif()
