# Install rules and the Debian packages (cpack in the build folder):
#   entpat-server  the stand-alone server, its systemd unit and its defaults;
#   entpat-host    the host application with the module Pkg_VQN18000, the
#                  framework libraries, the report definitions and the help.
# The host finds the module, the reports and the help next to its executable,
# so all of them live in /usr/lib/entpat, with /usr/bin/entpat-host a link to
# it; their RPATH ($ORIGIN) finds the framework libraries there.
set(HOST_DIR lib/entpat)

install(TARGETS entpat-server RUNTIME DESTINATION bin COMPONENT server)
install(FILES deploy/server/entpat-server.service DESTINATION lib/systemd/system COMPONENT server)
install(FILES deploy/server/entpat-server.default DESTINATION /etc/default RENAME entpat-server COMPONENT server)
install(FILES docs/DEPLOYMENT.md DESTINATION share/doc/entpat-server COMPONENT server)

set_target_properties(entpat-host fwcore framework Pkg_VQN18000 PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS entpat-host fwcore framework Pkg_VQN18000
  RUNTIME DESTINATION ${HOST_DIR} COMPONENT host LIBRARY DESTINATION ${HOST_DIR} COMPONENT host)
install(FILES host/help/vqnhelp.hlp DESTINATION ${HOST_DIR} COMPONENT host)
install(DIRECTORY reports/ DESTINATION ${HOST_DIR}/reports COMPONENT host FILES_MATCHING PATTERN "*.json")
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package-links)
file(CREATE_LINK ../${HOST_DIR}/entpat-host ${CMAKE_BINARY_DIR}/package-links/entpat-host SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/package-links/entpat-host DESTINATION bin COMPONENT host)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME entpat)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "EntPat <entpat@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL server host)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# gzip: packing in the test run stays quick.
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(QT_RUNTIME "libqt6core6 (>= 6.4), libqt6network6 (>= 6.4), libqt6sql6 (>= 6.4), libqt6sql6-sqlite, libqt6sql6-psql")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME entpat-server)
set(CPACK_COMPONENT_SERVER_DESCRIPTION "EntPat application server\n The application server of the enteral/parenteral nutrition screens over\n SQLite or PostgreSQL, with its systemd unit.")
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "${QT_RUNTIME}, adduser")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/deploy/server/postinst ${PROJECT_SOURCE_DIR}/deploy/server/postrm
  ${PROJECT_SOURCE_DIR}/deploy/server/conffiles)

set(CPACK_DEBIAN_HOST_PACKAGE_NAME entpat-host)
set(CPACK_COMPONENT_HOST_DESCRIPTION "EntPat host application with the nutrition module\n The host application, its framework libraries and the module Pkg_VQN18000\n (enteral/parenteral screens, report definitions, help).")
set(CPACK_DEBIAN_HOST_PACKAGE_DEPENDS
  "${QT_RUNTIME}, libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), libqt6charts6 (>= 6.4), qt6-qpa-plugins, libsqlite3-0")

include(CPack)
