# The Debian package: `cpack -G DEB --config build/CPackConfig.cmake` (scripts/package) makes
# tmbrsa_<version>_<arch>.deb of the install tree under /usr, the machine's class registry included.
#
# Its dependencies are computed, never listed by hand:
# - what the programs and servers link against, by dpkg-shlibdeps over the packed files;
# - the engine libraries the servers load at run time by name (the libraryName of each binding),
#   which dpkg-shlibdeps cannot see: each soname is looked up in the shlibs files of the installed
#   packages, which give the package and the least version that provides it;
# - the Qt platform plugins the desktop program cannot show a window without: the package that
#   holds the xcb plugin Qt was found with;
# - recommended: the package that holds the web engine's process, which the player preview runs.

set(_bindings
  ${PROJECT_SOURCE_DIR}/controls/mp3/encoder/lamebinding.h
  ${PROJECT_SOURCE_DIR}/controls/mp3/decoder/mpg123binding.h
  ${PROJECT_SOURCE_DIR}/controls/dec/vorbisfilebinding.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_bindings})

# The dependency that provides the library with soname `<name>.so.<version>`, from the
# "<name> <version> <dependency>" lines of /var/lib/dpkg/info/*.shlibs; empty when none does.
function(tmbr_shlibs_dependency soname out)
  set(${out} "" PARENT_SCOPE)
  if(NOT soname MATCHES "^(lib.+)\\.so\\.([0-9.]+)$")
    message(FATAL_ERROR "${soname} is not a library soname")
  endif()
  set(_version ${CMAKE_MATCH_2})
  string(REGEX REPLACE "([][+.*?^$\\\\])" "\\\\\\1" _name "${CMAKE_MATCH_1}")
  file(GLOB _shlibs /var/lib/dpkg/info/*.shlibs)
  foreach(_file ${_shlibs})
    file(STRINGS ${_file} _lines REGEX "^${_name} ${_version} ")
    if(_lines)
      list(GET _lines 0 _line)
      string(REGEX MATCH "^[^ ]+ [^ ]+ (.+)$" _ "${_line}")
      set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
endfunction()

set(_depends)
find_program(TMBR_DPKG_QUERY dpkg-query)
if(TMBR_DPKG_QUERY)
  foreach(_binding ${_bindings})
    file(STRINGS ${_binding} _line REGEX "libraryName = \"[^\"]+\"")
    if(NOT _line MATCHES "libraryName = \"([^\"]+)\"")
      message(FATAL_ERROR "${_binding} names no library")
    endif()
    tmbr_shlibs_dependency(${CMAKE_MATCH_1} _dependency)
    if(_dependency)
      list(APPEND _depends "${_dependency}")
    else()
      message(WARNING "No installed package provides ${CMAKE_MATCH_1}: the package will not depend on it")
    endif()
  endforeach()

  # The package that holds a file, or empty.
  function(tmbr_package_of file out)
    execute_process(COMMAND ${TMBR_DPKG_QUERY} -S ${file} OUTPUT_VARIABLE _owner
      RESULT_VARIABLE _result ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(${out} "" PARENT_SCOPE)
    if(_result EQUAL 0 AND _owner MATCHES "^([^:, ]+)")
      set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
    endif()
  endfunction()

  if(TMBR_BUILD_GUI)
    find_package(Qt6 REQUIRED COMPONENTS Gui)
    set(_xcb ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/platforms/libqxcb.so)
    tmbr_package_of(${_xcb} _plugins)
    get_target_property(_gui Qt6::Gui LOCATION)
    tmbr_package_of(${_gui} _linked)
    if(NOT _plugins)
      message(WARNING "No installed package holds ${_xcb}: the package will not depend on it")
    elseif(NOT _plugins STREQUAL _linked) # else dpkg-shlibdeps names it already
      list(APPEND _depends ${_plugins})
    endif()

    # The player preview's web process: without it the preview draws stand-ins, so recommended.
    find_package(Qt6 QUIET COMPONENTS WebEngineWidgets)
    if(Qt6WebEngineWidgets_FOUND)
      set(_process ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBEXECS}/QtWebEngineProcess)
      tmbr_package_of(${_process} _web)
      if(_web)
        set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ${_web})
      else()
        message(WARNING "No installed package holds ${_process}: the package will not recommend it")
      endif()
    endif()
  endif()
endif()
list(JOIN _depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tmbrsa)
set(CPACK_PACKAGE_VENDOR "Tambrel")
set(CPACK_PACKAGE_CONTACT "Tambrel support <support@tambrel.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.tambrel.com/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Make play buttons and jukeboxes that stream MP3 audio from your web pages")
set(CPACK_PACKAGE_DESCRIPTION
  "Tambrel Streaming Audio turns an MP3 file into a play button, or a set of them into a jukebox
with a playlist, and writes the page code, test pages, playlist settings and upload instructions.
It also records from the sound card to WAV or MP3 and re-encodes MP3 and WAV files so that they
stream well. The tmbr command gives scripts the same generators and audio tools.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs' own runtime library, found by their run path inside the package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
include(CPack)
