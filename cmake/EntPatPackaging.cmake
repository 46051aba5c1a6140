# Install rules and the Debian packages (cpack in the build folder):
#   entpat-server  the stand-alone server, its systemd unit and its defaults;
#   entpat-host    the host application with the module Pkg_VQN18000, the
#                  packages of the suite's other modules, the framework
#                  libraries, the report definitions and the help.
# The host finds the packages, the reports and the help next to its executable,
# so all of them live in Debian's folder of a package's private libraries,
# /usr/lib/<multiarch>/entpat, with /usr/bin/entpat-host a link to it; their
# RPATH ($ORIGIN) finds the framework libraries there. Being private, they
# need no ldconfig in the package's scripts.
set(HOST_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/entpat)

install(TARGETS entpat-server RUNTIME DESTINATION bin COMPONENT server)
install(FILES deploy/server/entpat-server.service deploy/server/entpat-server-backup.service
  deploy/server/entpat-server-backup.timer DESTINATION lib/systemd/system COMPONENT server)
install(PROGRAMS deploy/server/entpat-server-backup DESTINATION libexec/entpat-server RENAME backup COMPONENT server)
install(FILES deploy/server/entpat-server.default DESTINATION /etc/default RENAME entpat-server COMPONENT server)
install(FILES docs/DEPLOYMENT.md DESTINATION share/doc/entpat-server COMPONENT server)

# What Debian asks of every package: the copyright file, the changelog
# (compressed as Debian compresses it) and a manual page for each command,
# made from its --help by help2man.
set(DOC_BUILD_DIR ${CMAKE_BINARY_DIR}/package-doc)
file(MAKE_DIRECTORY ${DOC_BUILD_DIR})
find_program(GZIP gzip REQUIRED)
find_program(HELP2MAN help2man)
if(NOT HELP2MAN)
  message(WARNING "help2man is missing (scripts/setup installs it): the packages get no manual pages")
endif()
add_custom_command(OUTPUT ${DOC_BUILD_DIR}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/deploy/doc/changelog ${DOC_BUILD_DIR}/changelog
  COMMAND ${GZIP} -9nf ${DOC_BUILD_DIR}/changelog
  DEPENDS ${PROJECT_SOURCE_DIR}/deploy/doc/changelog VERBATIM)
add_custom_target(package-changelog ALL DEPENDS ${DOC_BUILD_DIR}/changelog.gz)
#   entpat_manual(<target> <component> "<what it is, for the NAME section>")
function(entpat_manual target component summary)
  if(NOT HELP2MAN)
    return()
  endif()
  set(page ${DOC_BUILD_DIR}/${target}.1)
  add_custom_command(OUTPUT ${page}.gz
    # Found through PATH, so the page names the command and not the build
    # folder; the help is in Portuguese, hence UTF-8.
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
      PATH=$<TARGET_FILE_DIR:${target}>:/usr/bin:/bin
      ${HELP2MAN} --no-info --locale=C.UTF-8 --section=1 --name=${summary} --output=${page} ${target}
    COMMAND ${GZIP} -9nf ${page}
    DEPENDS ${target} VERBATIM)
  add_custom_target(${target}-manual ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION share/man/man1 COMPONENT ${component})
endfunction()
entpat_manual(entpat-server server "application server of the enteral/parenteral nutrition screens")
entpat_manual(entpat-host host "host application of the enteral/parenteral nutrition module")
foreach(package server host)
  install(FILES deploy/doc/copyright ${DOC_BUILD_DIR}/changelog.gz
    DESTINATION share/doc/entpat-${package} COMPONENT ${package})
endforeach()

set_target_properties(entpat-host fwcore framework Pkg_VQN18000 ${SUITE_PACKAGES} PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS entpat-host fwcore framework Pkg_VQN18000 ${SUITE_PACKAGES}
  RUNTIME DESTINATION ${HOST_DIR} COMPONENT host LIBRARY DESTINATION ${HOST_DIR} COMPONENT host)
install(FILES host/help/vqnhelp.hlp DESTINATION ${HOST_DIR} COMPONENT host)
install(DIRECTORY reports/ DESTINATION ${HOST_DIR}/reports COMPONENT host FILES_MATCHING PATTERN "*.json")
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package-links)
file(CREATE_LINK ../${HOST_DIR}/entpat-host ${CMAKE_BINARY_DIR}/package-links/entpat-host SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/package-links/entpat-host DESTINATION bin COMPONENT host)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME entpat)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Equipe EntPat <entpat@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL server host)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# gzip: packing in the test run stays quick.
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries the binaries link are found by dpkg-shlibdeps, with their
# versions; the framework libraries are the host package's own (RUNPATH
# $ORIGIN). Listed by hand: what is loaded at run time, never linked (Qt's
# database drivers and platform plugins).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(QT_RUNTIME "libqt6sql6-sqlite, libqt6sql6-psql")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME entpat-server)
set(CPACK_COMPONENT_SERVER_DESCRIPTION "EntPat application server\nThe application server of the enteral/parenteral nutrition screens over\nSQLite or PostgreSQL, with its systemd unit and a daily backup timer.")
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "${QT_RUNTIME}, adduser")
# The backup of a PostgreSQL database runs pg_dump.
set(CPACK_DEBIAN_SERVER_PACKAGE_SUGGESTS "postgresql-client")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/deploy/server/postinst ${PROJECT_SOURCE_DIR}/deploy/server/postrm
  ${PROJECT_SOURCE_DIR}/deploy/server/conffiles)

set(CPACK_DEBIAN_HOST_PACKAGE_NAME entpat-host)
set(CPACK_COMPONENT_HOST_DESCRIPTION "EntPat host application with the nutrition module\nThe host application, its framework libraries, the module Pkg_VQN18000\n(enteral/parenteral screens, report definitions, help) and the packages\nof the nutrient calculation, formulation copy and statistics screens.")
set(CPACK_DEBIAN_HOST_PACKAGE_DEPENDS "${QT_RUNTIME}, qt6-qpa-plugins")

include(CPack)
