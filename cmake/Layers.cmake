# One static library per source folder, in layers: a library sees the headers
# of the libraries it links and nothing else, so an include against the
# order fails the build.
#
# Headers are included by their path from the repository root
# ("mover/clsFSMoving.h"). The root itself is on no include path: each
# library exposes its own folder through an include root of its own in the
# build tree, made of links to the sources, and hands it on only to the
# libraries that link it.

set(QUILLFEN_INCLUDE_ROOTS ${CMAKE_BINARY_DIR}/include-roots)
set(QUILLFEN_LAYER_TARGETS "")

# quillfen_layer(<name> FOLDER <folder> [HEADERS_ONLY] [DEPENDS <targets>...] [LIBRARIES <targets>...])
#   Builds <folder>/*.cpp into the static library <name>, which links the
#   layers in DEPENDS and the outside libraries in LIBRARIES. HEADERS_ONLY
#   builds nothing and only exposes the headers.
function(quillfen_layer name)
  cmake_parse_arguments(L "HEADERS_ONLY" "FOLDER" "DEPENDS;LIBRARIES" ${ARGN})
  set(root ${QUILLFEN_INCLUDE_ROOTS}/${name})
  set(exposed ${root}/${L_FOLDER})
  get_filename_component(parent ${exposed} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${L_FOLDER} ${exposed} SYMBOLIC)

  set(sources "")
  if(NOT L_HEADERS_ONLY)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${L_FOLDER}/*.cpp)
  endif()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${root})
    target_compile_options(${name} PRIVATE ${QUILLFEN_WARNINGS})
    target_link_libraries(${name} PUBLIC ${L_DEPENDS} ${L_LIBRARIES})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${root})
    target_link_libraries(${name} INTERFACE ${L_DEPENDS} ${L_LIBRARIES})
  endif()
  set(QUILLFEN_LAYER_TARGETS ${QUILLFEN_LAYER_TARGETS} ${name} PARENT_SCOPE)
endfunction()
