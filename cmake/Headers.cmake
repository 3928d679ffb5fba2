# tmbr_publish_headers(TARGET [PREFIX name]): the folder of the calling CMakeLists.txt becomes
# TARGET's public headers, included as "PREFIX/header.h" (PREFIX defaults to the folder's name).
# The include root is a folder of the build tree that holds only a link to this one, so that a
# library exposes its own headers and no sibling folder's.
function(tmbr_publish_headers target)
  cmake_parse_arguments(P "" "PREFIX" "" ${ARGN})
  if(NOT P_PREFIX)
    get_filename_component(P_PREFIX ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  endif()
  set(root ${CMAKE_BINARY_DIR}/published/${target})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${P_PREFIX} SYMBOLIC)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
