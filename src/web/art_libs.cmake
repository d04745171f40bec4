# art_libs.cmake - the artwork's libraries for the page's build: FreeType,
# HarfBuzz, FriBidi, libexif and libjpeg-turbo compiled to WebAssembly from Debian's sources
# by script/lib/web_libs.sh (its prefix in VEXA_WEB_LIBS), and stb_image's
# decoder compiled here from libstb-dev's headers as Debian compiles libstb.
# Gives the targets tools/art links natively: Freetype::Freetype and
# PkgConfig::ART_LIBS. vexa_art refuses by throwing, so it is compiled, and
# whatever links it is linked, with Emscripten's exceptions (off by default).
set(VEXA_WEB_LIBS "" CACHE PATH "Prefix of the artwork's WebAssembly libraries (script/lib/web_libs.sh)")
foreach(lib freetype harfbuzz fribidi exif jpeg)
  if(NOT EXISTS ${VEXA_WEB_LIBS}/lib/lib${lib}.a)
    message(FATAL_ERROR "VEXA_WEB_LIBS=${VEXA_WEB_LIBS}: no lib${lib}.a there (script/web builds it)")
  endif()
endforeach()
find_path(VEXA_STB_INCLUDE stb_image.h PATHS /usr/include/stb NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT VEXA_STB_INCLUDE)
  message(FATAL_ERROR "stb_image.h not found in /usr/include/stb (Debian package libstb-dev)")
endif()

add_library(Freetype::Freetype INTERFACE IMPORTED)
set_target_properties(Freetype::Freetype PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${VEXA_WEB_LIBS}/include/freetype2
  INTERFACE_LINK_LIBRARIES ${VEXA_WEB_LIBS}/lib/libfreetype.a
  INTERFACE_LINK_OPTIONS -fexceptions)

add_library(vexa_web_stb STATIC ${PROJECT_SOURCE_DIR}/src/web/stb_impl.c)
target_include_directories(vexa_web_stb SYSTEM PUBLIC ${VEXA_STB_INCLUDE})
target_compile_options(vexa_web_stb PRIVATE -fwrapv -w)

add_library(PkgConfig::ART_LIBS INTERFACE IMPORTED)
set_target_properties(PkgConfig::ART_LIBS PROPERTIES
  INTERFACE_COMPILE_OPTIONS -fexceptions
  INTERFACE_INCLUDE_DIRECTORIES
    "${VEXA_WEB_LIBS}/include;${VEXA_WEB_LIBS}/include/harfbuzz;${VEXA_WEB_LIBS}/include/fribidi"
  INTERFACE_LINK_LIBRARIES
    "vexa_web_stb;${VEXA_WEB_LIBS}/lib/libharfbuzz.a;${VEXA_WEB_LIBS}/lib/libfribidi.a;${VEXA_WEB_LIBS}/lib/libexif.a;${VEXA_WEB_LIBS}/lib/libjpeg.a;${VEXA_WEB_LIBS}/lib/libfreetype.a")
