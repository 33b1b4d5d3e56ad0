# Installation and the Debian package.
include(GNUInstallDirs)

if(TARGET vantorel)
  install(TARGETS vantorel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET vantorel-data)
  install(TARGETS vantorel-data RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
set(res ${PROJECT_SOURCE_DIR}/resources)
# The menu entry starts the program in the user's own data folder.
install(PROGRAMS ${res}/desktop/vantorel-start DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${res}/desktop/vantorel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 24 32 48 64 128 256)
  if(EXISTS ${res}/pictures/128_${size}.png)
    install(FILES ${res}/pictures/128_${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vantorel.png)
  endif()
endforeach()
install(FILES ${res}/man/vantorel-data.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME vantorel)
set(CPACK_PACKAGE_VENDOR "Vantorel")
set(CPACK_PACKAGE_CONTACT "Vantorel developers <dev@vantorel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop assistant for insurance sales agents")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# Library dependencies come from the binaries themselves; the rest is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-noto-cjk")
# Chinese input in every field: the fcitx5 module; the ibus module comes with Qt itself.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fcitx5-frontend-qt6 | ibus")
include(CPack)
