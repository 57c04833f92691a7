# The vendor's side in a Debian package of its own, quintelle-server, so the
# game's package carries none of the service's libraries. Every vendor program
# installs with COMPONENT server to land in it; this file adds the systemd
# unit, the maintainer scripts that enable and start it, and the documents.
set(server_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/quintelle-server)
install(FILES server/quintelle-server.service DESTINATION lib/systemd/system COMPONENT server)
install(FILES ${PROJECT_SOURCE_DIR}/README.md copyright ${changelog}
  DESTINATION ${server_docdir} COMPONENT server)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME quintelle)
set(CPACK_DEBIAN_SERVER_PACKAGE_NAME quintelle-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
# Only what the programs link, found by shlibdeps.
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "")
string(CONCAT CPACK_DEBIAN_SERVER_DESCRIPTION
    "score server for the Quintelle card game\n"
    "The vendor's web service the Quintelle card game talks to: it stores\n"
    "posted scores in SQLite or PostgreSQL, serves the high-score page, the\n"
    "version text, the installer and its signed manifest, and runs as a\n"
    "hardened systemd service under a user of its own.")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_SOURCE_DIR}/server/postinst
    ${CMAKE_CURRENT_SOURCE_DIR}/server/prerm
    ${CMAKE_CURRENT_SOURCE_DIR}/server/postrm)
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
