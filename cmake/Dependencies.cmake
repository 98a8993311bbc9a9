# Every outside library the project uses, found once here. All are Debian
# packages that scripts/deps.sh installs (for the browser build, see
# WebDependencies.cmake).
if(EMSCRIPTEN)
  include(${CMAKE_CURRENT_LIST_DIR}/WebDependencies.cmake)
  return()
endif()
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(SDL2 REQUIRED CONFIG)
pkg_check_modules(SDL2_TTF REQUIRED IMPORTED_TARGET SDL2_ttf)
# find_package(SDL2_image CONFIG) fails on Debian 12 when a version is given,
# so pkg-config it is, like the other SDL libraries.
pkg_check_modules(SDL2_IMAGE REQUIRED IMPORTED_TARGET SDL2_image)
pkg_check_modules(SDL2_MIXER REQUIRED IMPORTED_TARGET SDL2_mixer)
# PNG is read through libpng itself (SDL_image's development package needs it).
pkg_check_modules(LIBPNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
# find_package(FluidSynth) fails on Debian 12.
pkg_check_modules(FLUIDSYNTH REQUIRED IMPORTED_TARGET fluidsynth)
# Loudness measurement of the music (EBU R128) and rate conversion of effects.
pkg_check_modules(EBUR128 REQUIRED IMPORTED_TARGET libebur128)
pkg_check_modules(SOXR REQUIRED IMPORTED_TARGET soxr)
# Translations: Unicode line and grapheme breaks and language names (ICU),
# PO files read and written by gettext's own library, and msgfmt for the
# engine's catalogue.
pkg_check_modules(ICU REQUIRED IMPORTED_TARGET icu-uc)
find_path(GETTEXTPO_INCLUDE_DIR gettext-po.h REQUIRED)
find_library(GETTEXTPO_LIBRARY gettextpo REQUIRED)
add_library(gettextpo_lib INTERFACE)
target_include_directories(gettextpo_lib INTERFACE ${GETTEXTPO_INCLUDE_DIR})
target_link_libraries(gettextpo_lib INTERFACE ${GETTEXTPO_LIBRARY})
find_program(MSGFMT_EXECUTABLE msgfmt REQUIRED)
# libsquish ships no CMake config and a broken pkg-config file.
find_path(SQUISH_INCLUDE_DIR squish.h REQUIRED)
find_library(SQUISH_LIBRARY squish REQUIRED)
add_library(squish_lib INTERFACE)
target_include_directories(squish_lib INTERFACE ${SQUISH_INCLUDE_DIR})
target_link_libraries(squish_lib INTERFACE ${SQUISH_LIBRARY})
# What the platform layer links (src/CMakeLists.txt).
set(VANTOREL_PLATFORM_LIBRARIES SDL2::SDL2 PkgConfig::SDL2_TTF PkgConfig::FONTCONFIG PkgConfig::LIBPNG PkgConfig::EBUR128
    PkgConfig::SOXR PkgConfig::ICU gettextpo_lib squish_lib)

if(VANTOREL_TESTS)
  find_package(GTest REQUIRED)
endif()
if(VANTOREL_BENCH)
  find_package(benchmark REQUIRED)
endif()
