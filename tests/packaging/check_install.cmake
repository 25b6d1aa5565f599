# Installs a build into a scratch folder, as `cmake --install` and CPack do,
# and checks what users would get, without making the packages:
#  - native: the Debian package's settings, and exactly /usr/bin/tervane, its
#    manual page (compressed) and the README and guide (with its pictures)
#    under share/doc;
#  - windows: a ZIP of exactly the installer, tervane.exe and
#    TervaneWindow.exe, byte for byte as built, and the guide as a UTF-8 text
#    with a byte-order mark and CRLF, with its pictures.
# cmake -DBUILD=<dir> -DSOURCE=<dir> -DSCRATCH=<dir> -DKIND=native|windows
#       -DVERSION=<x.y.z> -P check_install.cmake
cmake_minimum_required(VERSION 3.20)

function(expect what actual expected)
  if(NOT "${actual}" STREQUAL "${expected}")
    message(SEND_ERROR "${what}: [${actual}], expected [${expected}]")
  endif()
endfunction()

include(${BUILD}/CPackConfig.cmake)
expect("package name" "${CPACK_PACKAGE_NAME}" tervane)
expect("package version" "${CPACK_PACKAGE_VERSION}" "${VERSION}")

file(REMOVE_RECURSE ${SCRATCH})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${SCRATCH}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${errors}")
endif()
file(GLOB_RECURSE installed RELATIVE ${SCRATCH} ${SCRATCH}/*)
list(SORT installed)

if(KIND STREQUAL "native")
  expect("generator" "${CPACK_GENERATOR}" DEB)
  expect("install prefix of the package" "${CPACK_PACKAGING_INSTALL_PREFIX}" /usr)
  expect("dependencies from dpkg-shlibdeps" "${CPACK_DEBIAN_PACKAGE_SHLIBDEPS}" ON)
  # Thumbnails load libvips when asked for: the program does not need it to
  # start, and the package recommends it.
  expect("recommended" "${CPACK_DEBIAN_PACKAGE_RECOMMENDS}" libvips42)
  expect("file name" "${CPACK_DEBIAN_FILE_NAME}" DEB-DEFAULT)
  expect("installed files" "${installed}"
         "bin/tervane;share/doc/tervane/README.md;share/doc/tervane/dialog.png;share/doc/tervane/guide-ja.md;share/doc/tervane/tervanewindow.png;share/man/man1/tervane.1.gz")
  file(READ ${SCRATCH}/share/man/man1/tervane.1.gz magic LIMIT 2 HEX)
  expect("manual page compressed with gzip" "${magic}" 1f8b)
  execute_process(COMMAND ${SCRATCH}/bin/tervane --version OUTPUT_VARIABLE shown
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  expect("installed tervane --version" "${shown}" "tervane ${VERSION}")
  execute_process(COMMAND readelf -d ${SCRATCH}/bin/tervane OUTPUT_VARIABLE needed)
  string(REGEX MATCHALL "NEEDED[^\n]*vips[^\n]*" vips_needed "${needed}")
  expect("libvips among the libraries loaded at start" "${vips_needed}" "")
elseif(KIND STREQUAL "windows")
  expect("generator" "${CPACK_GENERATOR}" ZIP)
  expect("programs stripped by CPack" "${CPACK_STRIP_FILES}" OFF)
  expect("installed files" "${installed}"
         "TervaneSetup.exe;TervaneWindow.exe;dialog.png;guide-ja.txt;tervane.exe;tervanewindow.png")
  foreach(program TervaneSetup.exe tervane.exe TervaneWindow.exe)
    file(SHA256 ${SCRATCH}/${program} packed)
    file(SHA256 ${BUILD}/bin/${program} built)
    expect("${program} as built" "${packed}" "${built}")
  endforeach()
  file(READ ${SCRATCH}/guide-ja.txt head LIMIT 3 HEX)
  expect("byte-order mark of the guide" "${head}" efbbbf)
  # Byte by byte, as file(READ) of text drops carriage returns.
  file(READ ${SCRATCH}/guide-ja.txt hex HEX)
  string(REGEX MATCHALL ".." bytes "${hex}")
  list(JOIN bytes " " bytes)
  string(REPLACE "0d 0a" "CRLF" bytes "${bytes}")
  if(bytes MATCHES "(^| )0[ad]( |$)")
    message(SEND_ERROR "guide-ja.txt has a line end that is not CRLF")
  endif()
  if(NOT bytes MATCHES "CRLF")
    message(SEND_ERROR "guide-ja.txt has no CRLF line ends")
  endif()
  file(READ ${SCRATCH}/guide-ja.txt text)
  string(ASCII 239 187 191 bom)
  string(REPLACE "${bom}" "" text "${text}")
  # The guide as plain text, as the converter makes it from the Markdown.
  execute_process(COMMAND ${PYTHON} ${SOURCE}/cmake/guide_text.py ${SOURCE}/docs/guide-ja.md
                          ${SCRATCH}/guide-ja.plain.txt RESULT_VARIABLE converted)
  expect("the guide converted" "${converted}" 0)
  file(READ ${SCRATCH}/guide-ja.plain.txt plain)
  expect("the guide's text" "${text}" "${plain}")
  string(FIND "${text}" "```" fence)
  string(FIND "${text}" "\n|" table)
  if(NOT fence EQUAL -1 OR NOT table EQUAL -1)
    message(SEND_ERROR "guide-ja.txt holds Markdown")
  endif()
else()
  message(FATAL_ERROR "KIND must be native or windows")
endif()
