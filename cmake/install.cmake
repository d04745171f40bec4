# install.cmake - what `cmake --install` puts where (GNUInstallDirs, so
# --prefix and DESTDIR work), and the Debian package `cpack -G DEB` makes
# from the same rules. Included by the top CMakeLists.txt after the targets.
#
#   cmake --install build --prefix /opt/vexa   bin/, share/vexa/tex/, share/doc/vexa/
#   (cd build && cpack -G DEB)                 build/vexa_<version>_<arch>.deb
#
# The programs find the installed artwork from their own path
# (bin/../share/vexa/tex), so a prefix can be moved as a whole.
include(GNUInstallDirs)

install(TARGETS vexa vexa-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The artwork generator, under the name it has (the install test reads it).
if(TARGET vexa-art)
  set(VEXA_ART_TOOL vexa-art)
else()
  set(VEXA_ART_TOOL mkart)
endif()
install(TARGETS ${VEXA_ART_TOOL} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The artwork the build generated (never anything from the source tree).
install(DIRECTORY ${CMAKE_BINARY_DIR}/tex/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vexa/tex
        FILES_MATCHING PATTERN "*.bmp")
install(FILES README.md LICENSE CHANGELOG.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME vexa)
set(CPACK_PACKAGE_VENDOR "the vexa developers")
set(CPACK_PACKAGE_CONTACT "the vexa developers <vexa@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sixteen-second full-screen OpenGL presentation")
set(CPACK_PACKAGE_DESCRIPTION
    "A countdown leader and a closing sequence of captions thrown toward the\nviewer, played full screen with OpenGL. Includes vexa-capture, which\nrenders the show offscreen to PNG frames, a video or a contact sheet,\nand the generator of the show's artwork.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)  # the package's programs without debugging symbols
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # vexa_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Libraries from dpkg-shlibdeps; the font the artwork generator reads at run
# time by hand; ffmpeg only for vexa-capture's videos; a CJK face (Chinese,
# Japanese, Korean) for the artwork's texts that DejaVu lacks.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg, fonts-noto-cjk | fonts-wqy-microhei")
include(CPack)
