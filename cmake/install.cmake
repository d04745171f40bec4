# install.cmake - what `cmake --install` puts where (GNUInstallDirs, so
# --prefix and DESTDIR work), and the Debian package `cpack -G DEB` makes
# from the same rules. Included by the top CMakeLists.txt after the targets.
#
#   cmake --install build --prefix /opt/vexa   bin/, share/vexa/tex/, share/doc/vexa/,
#                                              share/man/man1/
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
install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The reference pages and pictures the README links to, beside it as in the source tree.
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs FILES_MATCHING PATTERN "*.md" PATTERN "*.png")

# The moment every generated file and the package take as theirs: the last
# commit's, so two builds of one commit give the same bytes (a source tree
# without git history: the changelog's time).
execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                OUTPUT_VARIABLE VEXA_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE git_status ERROR_QUIET)
if(NOT git_status EQUAL 0 OR NOT VEXA_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  file(TIMESTAMP ${PROJECT_SOURCE_DIR}/CHANGELOG.md VEXA_SOURCE_DATE_EPOCH "%s" UTC)
endif()

# Debian's documents: the changelog gzip-compressed (no name or time in the
# header: -n), and the copyright in the machine-readable format, made from
# LICENSE so the licence is written once.
set(doc_build ${CMAKE_BINARY_DIR}/doc)
add_custom_command(OUTPUT ${doc_build}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${doc_build}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${doc_build}/changelog
  COMMAND gzip -9nf ${doc_build}/changelog
  DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md
  COMMENT "Compressing the changelog"
  VERBATIM)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${license_text}")
set(license_holder "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^.*Copyright \\(c\\) [^\n]*\n+" "" license_body "${license_text}")
string(STRIP "${license_body}" license_body)
string(REPLACE "\n\n" "\n.\n" license_body "${license_body}")
string(REPLACE "\n" "\n " license_body "${license_body}")
file(WRITE ${doc_build}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: vexa

Files: *
Copyright: ${license_holder}
License: Expat
 ${license_body}
")
install(FILES ${doc_build}/changelog.gz ${doc_build}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Manual pages, section 1, made from each program's --help and --version
# by help2man, so they say what the programs say.
find_program(VEXA_HELP2MAN help2man)
if(NOT VEXA_HELP2MAN)
  message(WARNING "help2man is missing (script/setup installs it): no manual pages")
else()
  set(man_pages)
  foreach(entry "vexa|play the sixteen-second show full screen"
                "vexa-capture|render the vexa show to PNG frames, a video or a contact sheet"
                "${VEXA_ART_TOOL}|write the artwork of the vexa show")
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 program)
    list(GET entry 1 summary)
    add_custom_command(OUTPUT ${doc_build}/${program}.1.gz
      COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY SOURCE_DATE_EPOCH=${VEXA_SOURCE_DATE_EPOCH}
              ${VEXA_HELP2MAN} --no-info --name=${summary}
              --output=${doc_build}/${program}.1 $<TARGET_FILE:${program}>
      COMMAND gzip -9nf ${doc_build}/${program}.1
      DEPENDS ${program}
      COMMENT "Writing the manual page of ${program}"
      VERBATIM)
    list(APPEND man_pages ${doc_build}/${program}.1.gz)
  endforeach()
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
# Bash completion, one file per program name as bash-completion looks them up.
foreach(program vexa vexa-capture ${VEXA_ART_TOOL})
  install(FILES ${PROJECT_SOURCE_DIR}/cmake/bash_completion
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ${program})
endforeach()
add_custom_target(docs ALL DEPENDS ${doc_build}/changelog.gz ${man_pages})

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
# File times in the package clamped to the source's moment (cpack reads
# SOURCE_DATE_EPOCH; package_config.cmake sets it when the caller did not).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/package_config.cmake)
file(WRITE ${CMAKE_BINARY_DIR}/package_config.cmake
  "if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})\n  set(ENV{SOURCE_DATE_EPOCH} ${VEXA_SOURCE_DATE_EPOCH})\nendif()\n")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # vexa_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Libraries from dpkg-shlibdeps; the font the artwork generator reads at run
# time by hand; ffmpeg only for vexa-capture's videos; a CJK face (Chinese,
# Japanese, Korean) for the artwork's texts that DejaVu lacks.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg, fonts-noto-cjk | fonts-wqy-microhei")
include(CPack)
