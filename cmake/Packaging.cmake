# Installation under a prefix and the Debian package. An installed program keeps the user's data in
# ~/.local/share/photoledger, since nothing beside /usr/bin/photoledger holds a database.
install(FILES ${CMAKE_SOURCE_DIR}/app/photoledger.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/app/photoledger.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME photoledger)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Daily downloads and earnings of a stock photo portfolio")
set(CPACK_PACKAGE_CONTACT "Photoledger developers <photoledger@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries the programs link, and those loaded at run time: the Firebird client and its embedded
# engine, which opens the database file without a server; the desktop's secret store, which keeps the
# password of a database server; Qt's Russian translations for its own dialogs and buttons; and the
# fonts the windows are laid out for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, libgcc-s1, libqt6core6, libqt6gui6, libqt6widgets6, libqt6dbus6, libqt6keychain1, qt6-translations-l10n, libcurl4, libjpeg62-turbo, libsqlite3-0, libfbclient2, firebird3.0-server-core, fonts-dejavu-core, fonts-dejavu-extra")
include(CPack)
