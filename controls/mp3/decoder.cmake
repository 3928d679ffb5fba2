# vlsmp3decoder: the MP3 decoder's engine classes without the component shell (stream reader, tag
# readers, libmpg123 binding, decoding thread, PCM format converter), linked into the vlsmp3x1
# server and into the tests. libmpg123 is loaded at run time; only its header is used here.
find_package(Threads REQUIRED)

set(VLSMP3_DECODER_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/bytering.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decoderadapter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decodererror.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decodermessages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decodingthread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/filesource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frameheader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/id3v1reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/id3v2reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mp3streamreader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mpg123binding.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pcmformatconverter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sincresampler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tagtextreader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xingheader.cpp)

add_library(vlsmp3decoder STATIC ${VLSMP3_DECODER_SOURCES})
target_include_directories(vlsmp3decoder PUBLIC ${CMAKE_CURRENT_LIST_DIR})
# The genre table is shared with the encoder's engine library.
target_link_libraries(vlsmp3decoder PUBLIC vlsmp3engine Threads::Threads PRIVATE ${CMAKE_DL_LIBS})
set_target_properties(vlsmp3decoder PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
target_link_libraries(vlsmp3x1 PRIVATE vlsmp3decoder)
# The decoder control joins the server.
target_sources(vlsmp3x1 PRIVATE ${CMAKE_CURRENT_LIST_DIR}/vlsmp3decoderx1.cpp)
