# The browser build's libraries: static archives that scripts/web-deps.sh
# built with emscripten below one prefix (the last line it prints). The
# same names as the desktop build's targets, so src/ links them alike.
# fontconfig, ICU and libgettextpo are not built for the browser: the
# platform layer has web stand-ins for what it asked of them (platform/web).
set(VANTOREL_WEB_PREFIX "" CACHE PATH "The prefix scripts/web-deps.sh printed")
if(NOT VANTOREL_WEB_PREFIX OR NOT EXISTS ${VANTOREL_WEB_PREFIX}/lib/libSDL2.a)
  message(FATAL_ERROR "the web build needs VANTOREL_WEB_PREFIX: the prefix scripts/web-deps.sh printed")
endif()
set(web_include ${VANTOREL_WEB_PREFIX}/include)
# Our headers as -I, ahead of emscripten's own SDL 1 headers, which its
# compiler adds as a system directory (an -isystem of ours would come after).
set(CMAKE_NO_SYSTEM_FROM_IMPORTED ON)

# web_library(TARGET ARCHIVE [INCLUDE DIR...] [LINK TARGET...])
function(web_library target archive)
  cmake_parse_arguments(W "" "" "INCLUDE;LINK" ${ARGN})
  set(file ${VANTOREL_WEB_PREFIX}/lib/${archive})
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${file} is missing: run scripts/web-deps.sh")
  endif()
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${file})
  if(W_INCLUDE)
    target_include_directories(${target} INTERFACE ${W_INCLUDE})
  endif()
  if(W_LINK)
    target_link_libraries(${target} INTERFACE ${W_LINK})
  endif()
endfunction()

web_library(web_z libz.a INCLUDE ${web_include})
web_library(web_png libpng16.a INCLUDE ${web_include} LINK web_z)
web_library(web_jpeg libjpeg.a INCLUDE ${web_include})
web_library(web_freetype libfreetype.a INCLUDE ${web_include}/freetype2 LINK web_png web_z)
web_library(SDL2::SDL2 libSDL2.a INCLUDE ${web_include}/SDL2 ${web_include})
web_library(web_harfbuzz libharfbuzz.a LINK web_freetype)
web_library(web_sdl2_ttf libSDL2_ttf.a LINK web_harfbuzz web_freetype SDL2::SDL2)
web_library(web_sdl2_image libSDL2_image.a LINK web_png web_jpeg SDL2::SDL2)
web_library(web_sdl2_mixer libSDL2_mixer.a LINK SDL2::SDL2)
web_library(web_ebur128 libebur128.a INCLUDE ${web_include})
web_library(web_soxr libsoxr.a INCLUDE ${web_include})
web_library(squish_lib libsquish.a INCLUDE ${web_include})

add_library(Threads::Threads INTERFACE IMPORTED)
# FluidSynth: declarations only (the page loads FluidSynth's own WebAssembly
# build beside the engine: platform/web/FluidWeb.cpp).
set(SDL2_MIXER_INCLUDE_DIRS ${web_include}/SDL2)
set(FLUIDSYNTH_INCLUDE_DIRS ${web_include})
set(SDL2_IMAGE_INCLUDE_DIRS ${web_include}/SDL2)
# SDL_image and SDL_mixer are linked here rather than opened at run time.
set(VANTOREL_PLATFORM_LIBRARIES SDL2::SDL2 web_sdl2_ttf web_sdl2_image web_sdl2_mixer web_png web_ebur128 web_soxr squish_lib)
