# Run by `cmake --install`: writes morvane-server.pc for the prefix being installed to. Outside
# the system's library directories the library is found through an rpath (no ldconfig needed).
set(MORVANE_PC_RPATH "")
get_filename_component(libdir "${CMAKE_INSTALL_PREFIX}/${MORVANE_PC_LIBDIR}" ABSOLUTE)
list(FIND MORVANE_PC_SYSTEM_LIBDIRS "${libdir}" system)
if(NOT MORVANE_PC_WIN32 AND system EQUAL -1)
    set(MORVANE_PC_RPATH " -Wl,-rpath,\${libdir}")
endif()
configure_file("${MORVANE_PC_IN}" "${MORVANE_PC_OUT}" @ONLY)
