# The Debian package kamsulo_<version>_<arch>.deb, built by CPack (scripts/package) from
# what `cmake --install` puts under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kamsulo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kamsulo developers <kamsulo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screenshot and mark-up tool in German")
set(CPACK_PACKAGE_DESCRIPTION
  "Kamsulo takes screenshots of the whole screen, of the clicked window or of a
dragged region, on X11 and Wayland desktops. It marks them up with thirteen
drawing tools and saves them as PNG, JPG, GIF or BMP, copies them to the
clipboard or hands them to a paint program. Its texts are in German.")
# Installed to /usr whatever the build's own prefix: the install step sees /usr as its
# prefix (the desktop entry names /usr/bin/kamsulo) and writes below DESTDIR.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries it links come from dpkg-shlibdeps; what it loads at run time is named:
# Qt's TIFF reader and the fonts its windows ask for by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins, fonts-liberation2, fonts-dejavu-core")
# The paint program of the MsPaint button; the desktop portal and Qt's Wayland platform
# for Wayland sessions; the icon theme of its buttons; xdg-open for opening a saved file;
# Qt's German texts in its dialogs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "kolourpaint, xdg-desktop-portal, qt6-wayland, breeze-icon-theme, xdg-utils, qt6-translations-l10n")
include(CPack)
