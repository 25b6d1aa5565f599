# What users install, and the packages that `make dist` makes with CPack:
#  - natively, `cmake --install` and a Debian package: /usr/bin/tervane, its
#    manual page, the README and the Japanese guide with its picture;
#  - for Windows (the i686 build is the one users get), a ZIP of the
#    installer, tervane.exe and TervaneWindow.exe, byte for byte as built,
#    and the Japanese guide as a text file that Notepad on Windows XP reads,
#    with the pictures of the windows it shows.
set(CPACK_PACKAGE_NAME tervane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tervane")
set(CPACK_PACKAGE_CONTACT "Tervane developers <developers@tervane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "creates many hyperlinks at once in an HTML page")
set(CPACK_PACKAGE_DESCRIPTION
    "Tervane lists the files of a folder of material (pictures, pages, text files,
Internet Shortcut files), works out for each an address relative to the page
being edited, and appends one link or image per file to the end of the page.
It can also find which files the page already links to, so that only the
missing ones get linked. This package holds the command-line program.")
set(CPACK_PACKAGE_HOMEPAGE_URL ${TERVANE_HOME_PAGE})
set(CPACK_OUTPUT_FILE_PREFIX "")
set(guide ${PROJECT_SOURCE_DIR}/docs/guide-ja.md)

if(WIN32)
  install(TARGETS TervaneSetup tervane TervaneWindow RUNTIME DESTINATION .)
  # The guide as a plain text (no Markdown), then as a Windows text file.
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(guide_text ${PROJECT_BINARY_DIR}/guide-ja.txt)
  set(guide_plain ${PROJECT_BINARY_DIR}/guide-ja.plain.txt)
  add_custom_command(OUTPUT ${guide_text}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/cmake/guide_text.py ${guide} ${guide_plain}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${guide_plain} -DOUTPUT=${guide_text}
            -P ${PROJECT_SOURCE_DIR}/cmake/windows_text.cmake
    DEPENDS ${guide} ${PROJECT_SOURCE_DIR}/cmake/guide_text.py
            ${PROJECT_SOURCE_DIR}/cmake/windows_text.cmake
    COMMENT "The Japanese guide as a Windows text file")
  add_custom_target(guide_text ALL DEPENDS ${guide_text})
  # The pictures of the windows that the guide shows, beside it.
  install(FILES ${guide_text} ${PROJECT_SOURCE_DIR}/docs/dialog.png
          ${PROJECT_SOURCE_DIR}/docs/tervanewindow.png DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "tervane-${PROJECT_VERSION}-windows-${CMAKE_SYSTEM_PROCESSOR}")
  # The programs go into the archive as they were built and checked.
  set(CPACK_STRIP_FILES OFF)
else()
  include(GNUInstallDirs)
  install(TARGETS tervane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Manual pages are installed compressed, as Debian's are.
  set(manual_page ${PROJECT_BINARY_DIR}/tervane.1.gz)
  add_custom_command(OUTPUT ${manual_page}
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/docs/tervane.1 > ${manual_page}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/tervane.1
    COMMENT "Compressing the manual page")
  add_custom_target(manual_page ALL DEPENDS ${manual_page})
  install(FILES ${manual_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${guide} ${PROJECT_SOURCE_DIR}/docs/dialog.png
          ${PROJECT_SOURCE_DIR}/docs/tervanewindow.png
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tervane)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION web)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The libraries it needs, as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # libvips is loaded only for thumbnails, so it is recommended: its package
  # is named for the library's file name, libtool's current less age.
  find_package(PkgConfig REQUIRED)
  pkg_get_variable(vips_includedir vips includedir)
  file(STRINGS ${vips_includedir}/vips/version.h vips_version
       REGEX "#define VIPS_LIBRARY_(CURRENT|AGE)")
  string(REGEX REPLACE ".*CURRENT[^0-9]*([0-9]+).*AGE[^0-9]*([0-9]+).*" "\\1;\\2" vips_version
                       "${vips_version}")
  list(GET vips_version 0 vips_current)
  list(GET vips_version 1 vips_age)
  math(EXPR vips_soname "${vips_current} - ${vips_age}")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libvips${vips_soname}")
endif()

include(CPack)
