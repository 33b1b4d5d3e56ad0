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

# Debian wants manual pages and changelogs compressed with gzip -9n (no name,
# no time stamp, so the package is the same on every build).
set(docs ${CMAKE_BINARY_DIR}/package-docs)
file(MAKE_DIRECTORY ${docs})
function(vantorel_gzip from to)
  execute_process(COMMAND gzip -9n -c ${from} OUTPUT_FILE ${docs}/${to} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${from} failed")
  endif()
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${from})
endfunction()
# vantorel-start is described on the program's own page.
file(WRITE ${docs}/vantorel-start.1 ".so man1/vantorel.1\n")
vantorel_gzip(${res}/man/vantorel.1 vantorel.1.gz)
vantorel_gzip(${res}/man/vantorel-data.1 vantorel-data.1.gz)
vantorel_gzip(${res}/package/changelog changelog.gz)
vantorel_gzip(${res}/package/changelog.Debian changelog.Debian.gz)
vantorel_gzip(${docs}/vantorel-start.1 vantorel-start.1.gz)
install(FILES ${docs}/vantorel.1.gz ${docs}/vantorel-start.1.gz ${docs}/vantorel-data.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${res}/package/copyright ${docs}/changelog.gz ${docs}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantorel)

set(CPACK_PACKAGE_NAME vantorel)
set(CPACK_PACKAGE_VENDOR "Vantorel")
set(CPACK_PACKAGE_CONTACT "Vantorel developers <dev@vantorel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop assistant for insurance sales agents")
# The long description; CPack puts the summary above it as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vantorel keeps an insurance agent's book of policies, with their
policyholders, insured persons, beneficiaries and riders, a list of
potential clients, the members of the agent's sales team and a
day-by-day schedule. It finds, lists and tallies policies and reminds the
agent each day of the day's appointments and birthdays. Its user interface
is in Chinese.
.
The command-line tool vantorel-data dumps, builds, checks and exports the
data files, and writes the agent's calendar file for phones.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The Debian revision: raise it for a new package of the same source.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# Library dependencies come from the binaries themselves; the rest is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-noto-cjk")
# Chinese input in every field: the fcitx5 module; the ibus module comes with Qt itself.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fcitx5-frontend-qt6 | ibus")
include(CPack)
