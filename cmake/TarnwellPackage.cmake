# `make package` (cpack -G DEB): a Debian package of the installed tree, for /usr. It depends on
# Debian's Qt, libxml2 and SQLite packages (found by dpkg-shlibdeps from the binaries) and on
# what the program loads or starts at run time; nothing of them is bundled.

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "tarnwell")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Tarnwell developers")
set(CPACK_PACKAGE_CONTACT "Tarnwell developers <tarnwell@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and calculator for HCM radio co-ordination data")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarnwell edits, checks and converts HCM Fixed Service and Mobile Service data files and runs
interference calculations on them with its own calculation libraries. tarnwell-cli does the
same checks and calculations in batch.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/package")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SQLite driver and the display plug-ins are loaded by Qt, not linked; "unzip" unpacks the
# downloaded terrain archives; the offline map reads Leaflet from its Debian package.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins, unzip, libjs-leaflet")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-gtk-platformtheme")
set(CPACK_DEBIAN_COMPRESSION_TYPE "xz")

include(CPack)
