# The layers of the program: one static library per folder, each linking only the layers it may use.
#
# Every #include of our own names its folder ("fontid/opentype_font.h"), so the project root on the
# include path would let any file include any header. Instead each target gets an include root of
# its own in the build folder (include/<target>/), holding links to its own folder only; a target
# sees the folders of the libraries it links (PUBLIC, so a layer also sees what lies below the
# layers it uses). An include that runs the wrong way finds no file, and the compiler stops there.

# kc_include_root(<target> <PUBLIC|PRIVATE|INTERFACE> <path>...)
#
# Links each path (a folder or a single file, relative to the project root) into the target's
# include root, made afresh at every configure, and puts the root on the target's include path
# with the given scope.
function(kc_include_root target scope)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  if(scope STREQUAL "PRIVATE")
    set(root ${root}.private)  # a target's private root must not be handed on with its public one
  endif()
  file(REMOVE_RECURSE ${root})  # removes the links, never what they point at
  foreach(path IN LISTS ARGN)
    if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${path})
      message(FATAL_ERROR "kc_include_root(${target}): no ${path} in the source tree")
    endif()
    get_filename_component(parent ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# kc_add_library(<name> FOLDER <folders...> [USES <targets...>])
#
# The static library of one folder (a test support library may span two): it sees its own folder
# and those of the targets it USES
# (linked PUBLIC: their headers appear in its own). Sources are added by the folder itself.
function(kc_add_library name)
  cmake_parse_arguments(L "" "" "FOLDER;USES" ${ARGN})
  add_library(${name} STATIC)
  kc_include_root(${name} PUBLIC ${L_FOLDER})
  target_link_libraries(${name} PUBLIC ${L_USES})
  target_compile_options(${name} PRIVATE ${KC_WARNINGS})
endfunction()
