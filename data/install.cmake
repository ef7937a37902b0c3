# Desktop integration: the launcher entry, the software-centre metadata, the icon, the
# manual page and a `vantrick` command on the PATH.
#
# Included from the top-level CMakeLists.txt after GNUInstallDirs, once
# VANTRICK_PROGRAM_DIR (the directory that holds the program) is set. When that is
# not bin/ itself, bin/ gets a link to the program.

set(VT_DATA_DIR ${CMAKE_CURRENT_LIST_DIR})

install(FILES ${VT_DATA_DIR}/org.vantrick.Vantrick.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VT_DATA_DIR}/org.vantrick.Vantrick.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/assets/vantrick.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME org.vantrick.Vantrick.svg)
install(FILES ${VT_DATA_DIR}/vantrick.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

cmake_path(COMPARE "${VANTRICK_PROGRAM_DIR}" EQUAL "${CMAKE_INSTALL_BINDIR}" _vt_in_bindir)
if(_vt_in_bindir)
  return()
endif()

# bin/vantrick -> ../<libdir>/vantrick/vantrick. The link is relative so the installed
# tree can be moved or packaged as a whole. It is worked out at install time because
# `cmake --install --prefix` may choose a different prefix from the configured one.
install(CODE "
  set(_vt_prefix \"\${CMAKE_INSTALL_PREFIX}\")
  cmake_path(ABSOLUTE_PATH _vt_prefix NORMALIZE)
  set(_vt_bindir [[${CMAKE_INSTALL_BINDIR}]])
  set(_vt_appdir [[${VANTRICK_PROGRAM_DIR}]])
  cmake_path(ABSOLUTE_PATH _vt_bindir BASE_DIRECTORY \"\${_vt_prefix}\" NORMALIZE)
  cmake_path(ABSOLUTE_PATH _vt_appdir BASE_DIRECTORY \"\${_vt_prefix}\" NORMALIZE)
  file(RELATIVE_PATH _vt_target \"\${_vt_bindir}\" \"\${_vt_appdir}/vantrick\")
  set(_vt_link \"\$ENV{DESTDIR}\${_vt_bindir}/vantrick\")
  message(STATUS \"Installing: \${_vt_link} -> \${_vt_target}\")
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${_vt_bindir}\")
  file(REMOVE \"\${_vt_link}\")
  file(CREATE_LINK \"\${_vt_target}\" \"\${_vt_link}\" SYMBOLIC)
  # Listed like CMake lists the files it installs: without DESTDIR.
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${_vt_bindir}/vantrick\")
")
