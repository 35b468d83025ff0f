# `cpack -G DEB` in the build directory makes vernalith_<version>_amd64.deb from what
# cmake/install.cmake installs, under /usr. The libraries the programs link are worked out from
# the binaries by dpkg-shlibdeps; the Qt plugins they load at run time (window system, SVG
# icons) and the fonts the card is drawn in are named here, as no binary links them.
# Included from the top-level CMakeLists.txt after the install rules.

set(CPACK_PACKAGE_NAME vernalith)
set(CPACK_PACKAGE_VENDOR "The Vernalith developers")
set(CPACK_PACKAGE_CONTACT "The Vernalith developers <vernalith@users.noreply.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "designer for the printed face card of analogue panel meters")
set(CPACK_PACKAGE_DESCRIPTION
    "Vernalith designs the printed scale card of an analogue panel meter: card size, needle pivot\n"
    "and needle tips, scale arcs, tickmarks, digits and labels, previewed and printed at true size\n"
    "and exported as PDF, SVG, PNG or DXF. vernalith-export does the exports from the command line.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_CURRENT_LIST_DIR}/../LICENSE")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
# The install rules refresh the desktop's databases only for a live install; a staged one
# (DESTDIR) leaves that to the package system's triggers.
set(CPACK_SET_DESTDIR ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/vernalith")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils, shared-mime-info, qt6-image-formats-plugins")
set(CPACK_STRIP_FILES ON)

include(CPack)
