# The machine's class registry of an installation: the three servers registered as they are
# installed, written at build time and installed as share/vlscom/classes.reg, so that nothing runs
# at install time and no user has to register anything. The server paths are relative to the
# registry's folder (lib/tmbrsa as seen from share/vlscom): the file stays right under DESTDIR, in a
# package, and in a tree moved elsewhere.
set(_registry ${CMAKE_BINARY_DIR}/machine-registry/classes.reg)
file(RELATIVE_PATH _servers_from_registry ${CMAKE_INSTALL_FULL_DATADIR}/vlscom
  ${CMAKE_INSTALL_PREFIX}/${TMBR_SERVER_INSTALL_DIR})
set(_register)
foreach(_server vlsmp3x1 vlsconv vlsdec)
  list(APPEND _register COMMAND ${CMAKE_COMMAND} -E env VLSCOM_REGISTRY=${_registry}.staged
    VLSCOM_SYSTEM_REGISTRY=${_registry}.none $<TARGET_FILE:vlsregsvr> $<TARGET_FILE:${_server}>)
endforeach()
add_custom_command(OUTPUT ${_registry}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${_registry}.staged
  ${_register}
  COMMAND ${CMAKE_COMMAND} -DIN=${_registry}.staged -DOUT=${_registry} -DFROM=${TMBR_SERVER_STAGE_DIR}
    -DTO=${_servers_from_registry} -P ${CMAKE_CURRENT_LIST_DIR}/RelocateRegistry.cmake
  DEPENDS vlsregsvr vlsmp3x1 vlsconv vlsdec ${CMAKE_CURRENT_LIST_DIR}/RelocateRegistry.cmake
  COMMENT "Writing the machine's class registry"
  VERBATIM)
add_custom_target(machine_registry ALL DEPENDS ${_registry})
install(FILES ${_registry} DESTINATION ${CMAKE_INSTALL_DATADIR}/vlscom)
