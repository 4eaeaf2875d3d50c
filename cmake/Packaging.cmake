# The Debian package: `cpack -G DEB` in a build folder (or `make package` at the top) gives
# komalore_<version>_<arch>.deb with what `cmake --install` puts under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME komalore)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Komalore developers")
set(CPACK_PACKAGE_CONTACT "Komalore developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tool for lettering comic pages with balloon text")
set(CPACK_PACKAGE_DESCRIPTION
    "Komalore shows a comic page (a BMP file) in a fixed-size dialog window with a Japanese user\ninterface, overlays typed balloon text at a clicked position and saves the lettered page as\na new 24-bit BMP.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Komalore developers")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the window system layer is built on, and a Japanese font for the dialogs and
# the lettering; dpkg-shlibdeps adds the C and C++ runtime with the versions the binary needs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libsdl2-2.0-0, libfreetype6, libfontconfig1, libfribidi0, libpng16-16, fonts-ipafont-gothic | fonts-vlgothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
