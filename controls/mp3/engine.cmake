# vlsmp3engine: the MP3 encoder's engine classes without the component shell (engine binding,
# configuration record, byte pipe, encoding thread, tags), linked into the vlsmp3x1 server and into
# the tests. libmp3lame is loaded at run time; only its header is used here.
find_package(Threads REQUIRED)

set(VLSMP3_ENGINE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/bytepipe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/encoderconfig.cpp
  ${CMAKE_CURRENT_LIST_DIR}/encodererror.cpp
  ${CMAKE_CURRENT_LIST_DIR}/encodermessages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/encodingthread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/engineadapter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fileio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/genretable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/id3v1trailer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/id3v2rewrite.cpp
  ${CMAKE_CURRENT_LIST_DIR}/id3v2tag.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lamebinding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mp3encoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resampledencoding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/systemtext.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tagtext.cpp
  ${CMAKE_CURRENT_LIST_DIR}/waveencoding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wavereader.cpp)

add_library(vlsmp3engine STATIC ${VLSMP3_ENGINE_SOURCES})
target_include_directories(vlsmp3engine PUBLIC ${CMAKE_CURRENT_LIST_DIR})
# The wave reader reads through the decoder library's file source, and wave files at low rates are
# raised through its PCM format converter (the two static libraries refer to each other).
# The tag rewrite replaces the file through the runtime's replacement file.
target_link_libraries(vlsmp3engine PUBLIC Threads::Threads PRIVATE ${CMAKE_DL_LIBS} vlsmp3decoder vlscom)
set_target_properties(vlsmp3engine PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
