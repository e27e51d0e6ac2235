# What `cmake --install build --prefix P` lays out: the program folder as
# P/lib/quillfen with links to its programs in P/bin, and what the desktop
# and the system need to know of it under P/share: the applications-menu
# entry, the AppStream metadata, the icons of the hicolor theme and the
# manual pages. The desktop's files are all named by one application id.
# Included by CMakeLists.txt once the program's targets exist.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/QuillfenRelease.cmake)

set(QUILLFEN_APP_ID "org.example.quillfen" CACHE STRING
  "Reverse-DNS application id: the name of the desktop entry, the AppStream metadata and the icons")
set(QUILLFEN_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(QUILLFEN_GENERATED_DIR ${CMAKE_BINARY_DIR}/packaging)

# The program finds its files beside its own file (/proc/self/exe), so
# lib/quillfen is laid out as the program folder. Its data do not depend on
# the machine and live in share/quillfen, as the FHS asks; lib/quillfen
# links to each of them, and bin to the programs.
install(TARGETS quillfen-script DESTINATION lib/quillfen)
if(QUILLFEN_GUI)
  install(TARGETS quillfen DESTINATION lib/quillfen)
endif()
install(DIRECTORY ${QUILLFEN_PROGRAM_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quillfen
  PATTERN quillfen EXCLUDE PATTERN quillfen-script EXCLUDE)
file(RELATIVE_PATH QUILLFEN_DATA_FROM_PROGRAM /prefix/lib/quillfen /prefix/${CMAKE_INSTALL_DATADIR}/quillfen)
install(CODE "
  set(prefix \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  file(GLOB data RELATIVE \"\${prefix}/${CMAKE_INSTALL_DATADIR}/quillfen\" \"\${prefix}/${CMAKE_INSTALL_DATADIR}/quillfen/*\")
  foreach(name \${data})
    file(CREATE_LINK ${QUILLFEN_DATA_FROM_PROGRAM}/\${name} \"\${prefix}/lib/quillfen/\${name}\" SYMBOLIC)
  endforeach()
  file(MAKE_DIRECTORY \"\${prefix}/bin\")
  foreach(prog quillfen quillfen-script)
    if(EXISTS \"\${prefix}/lib/quillfen/\${prog}\")
      file(CREATE_LINK ../lib/quillfen/\${prog} \"\${prefix}/bin/\${prog}\" SYMBOLIC)
    endif()
  endforeach()")

function(quillfen_install_page page)
  configure_file(${QUILLFEN_PACKAGING_DIR}/man/${page}.in ${QUILLFEN_GENERATED_DIR}/man/${page} @ONLY)
  install(FILES ${QUILLFEN_GENERATED_DIR}/man/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
quillfen_install_page(quillfen-script.1)

# Without the desktop program there is nothing for the desktop to show.
if(NOT QUILLFEN_GUI)
  return()
endif()
quillfen_install_page(quillfen.1)

# The menu entry and the AppStream metadata carry every language file's
# [Desktop] texts: written into the templates when CMake configures, and
# again whenever a language file or a template changes.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(GLOB QUILLFEN_LANGUAGE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/lang/*.ini)
set(QUILLFEN_TRANSLATE ${CMAKE_SOURCE_DIR}/scripts/desktop-translations)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUILLFEN_LANGUAGE_FILES} ${QUILLFEN_TRANSLATE}
  ${QUILLFEN_PACKAGING_DIR}/quillfen.desktop.in ${QUILLFEN_PACKAGING_DIR}/quillfen.metainfo.xml.in)
file(MAKE_DIRECTORY ${QUILLFEN_GENERATED_DIR})
execute_process(
  COMMAND ${Python3_EXECUTABLE} ${QUILLFEN_TRANSLATE} ${CMAKE_SOURCE_DIR}/lang
    ${QUILLFEN_PACKAGING_DIR}/quillfen.desktop.in ${QUILLFEN_GENERATED_DIR}/quillfen.desktop.in
    ${QUILLFEN_PACKAGING_DIR}/quillfen.metainfo.xml.in ${QUILLFEN_GENERATED_DIR}/quillfen.metainfo.xml.in
  RESULT_VARIABLE QUILLFEN_TRANSLATED ERROR_VARIABLE QUILLFEN_TRANSLATE_ERROR)
if(NOT QUILLFEN_TRANSLATED EQUAL 0)
  message(FATAL_ERROR "scripts/desktop-translations failed: ${QUILLFEN_TRANSLATE_ERROR}")
endif()
configure_file(${QUILLFEN_GENERATED_DIR}/quillfen.desktop.in
  ${QUILLFEN_GENERATED_DIR}/${QUILLFEN_APP_ID}.desktop @ONLY)
configure_file(${QUILLFEN_GENERATED_DIR}/quillfen.metainfo.xml.in
  ${QUILLFEN_GENERATED_DIR}/${QUILLFEN_APP_ID}.metainfo.xml @ONLY)
install(FILES ${QUILLFEN_GENERATED_DIR}/${QUILLFEN_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUILLFEN_GENERATED_DIR}/${QUILLFEN_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The PNG sizes are rendered from the scalable icon (drawn by scripts/draw-icons)
# at build time rather than kept in the repository, so that they can never
# drift from it.
find_program(QUILLFEN_RSVG_CONVERT rsvg-convert)
if(NOT QUILLFEN_RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert renders the icons: install librsvg2-bin (scripts/install-deps does)")
endif()
set(QUILLFEN_ICON_SVG ${QUILLFEN_PACKAGING_DIR}/icons/quillfen.svg)
set(QUILLFEN_ICON_THEME ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
set(QUILLFEN_ICON_PNGS)
foreach(size 16 22 24 32 48 64 128 256 512)
  set(png ${QUILLFEN_GENERATED_DIR}/icons/${size}x${size}/${QUILLFEN_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLFEN_GENERATED_DIR}/icons/${size}x${size}
    COMMAND ${QUILLFEN_RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${QUILLFEN_ICON_SVG}
    DEPENDS ${QUILLFEN_ICON_SVG}
    VERBATIM)
  list(APPEND QUILLFEN_ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${QUILLFEN_ICON_THEME}/${size}x${size}/apps)
endforeach()
add_custom_target(icons ALL DEPENDS ${QUILLFEN_ICON_PNGS} COMMENT "Rendering the icons")
install(FILES ${QUILLFEN_ICON_SVG} DESTINATION ${QUILLFEN_ICON_THEME}/scalable/apps RENAME ${QUILLFEN_APP_ID}.svg)
install(FILES ${QUILLFEN_PACKAGING_DIR}/icons/quillfen-symbolic.svg
  DESTINATION ${QUILLFEN_ICON_THEME}/symbolic/apps RENAME ${QUILLFEN_APP_ID}-symbolic.svg)
