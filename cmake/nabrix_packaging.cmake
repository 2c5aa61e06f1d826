# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package (`make package`, or `cpack -G DEB` in the build directory).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nabrix)
set(CPACK_PACKAGE_VENDOR "The Nabrix developers")
set(NABRIX_PACKAGE_MAINTAINER "The Nabrix developers <maintainers@nabrix.invalid>"
  CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${NABRIX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "clipboard history manager for the system tray")
set(CPACK_PACKAGE_DESCRIPTION
  "Nabrix records every text, rich text, image and file list you copy and lets you\n"
  "search, copy back, paste and delete entries from a small window under its tray\n"
  "icon, or from a floating panel opened with a global shortcut. Copies made in\n"
  "password managers are never recorded, card numbers are masked until revealed and\n"
  "old history is deleted after a retention period.\n"
  "\n"
  "Nabrix runs on X11, and on Wayland sessions through XWayland.")
string(CONCAT CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the binary links. It cannot see Qt plugins, which
# are loaded at run time: the xcb platform plugin (libqt6gui6), the SVG icon engine and
# image plugin (libqt6svg6) and the TIFF reader (qt6-image-formats-plugins).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6gui6 (>= 6.4), libqt6svg6 (>= 6.4), qt6-image-formats-plugins (>= 6.4)")
# Every file under /etc in a Debian package is a conffile: a user's edit of the
# autostart entry survives upgrades.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Installed under DESTDIR staging with this prefix, which sends the autostart entry to /etc.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

include(CPack)
