# `make package`: a Debian package of the installed files, its dependencies
# computed from the binaries, and a source tarball of the tree.
set(CPACK_PACKAGE_NAME quintelle)
set(CPACK_PACKAGE_VENDOR "Orvanta Software")
set(CPACK_PACKAGE_CONTACT "Orvanta Software <support@orvanta.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# One package per install component (the server's is in server.cmake); each
# description's first line is its package's summary.
string(CONCAT CPACK_DEBIAN_GAME_DESCRIPTION
    "card solitaire of poker hands on a five by five grid\n"
    "Each round the player lays 26 cards from a shuffled deck on a five by five\n"
    "grid; its rows and columns score as poker hands, a bonus rewards speed, and\n"
    "the round must reach its target or the game ends. Keeps a personal tally\n"
    "with a local top ten and can post scores to an online high-score list.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUINTELLE_HOMEPAGE}")
# The fonts the layout was measured with, and libcurl, which the program
# opens at run time, out of shlibdeps' sight; 7.85 is the first to take
# the protocol list as text.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, libcurl4 (>= 7.85.0)")

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME quintelle-${PROJECT_VERSION})
set(CPACK_SOURCE_IGNORE_FILES
    "/\\\\.git$" "/\\\\.git/" "/\\\\.cache/" "/build[^/]*/" "\\\\.swp$")
include(CPack)
