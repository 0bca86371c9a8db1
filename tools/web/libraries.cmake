# The libraries of the browser build, under the names the desktop build finds them by: GLFW 3,
# OpenAL and OpenGL come with emscripten (OpenGL 1.x through its legacy emulation); zlib,
# libpng, libogg and libvorbis were built by tools/web/build.sh into KP_WEB_PREFIX. The build
# is single-threaded: Threads::Threads links nothing and the code falls back where it starts
# threads. Exceptions are caught, as the desktop build relies on.
set(KP_WEB_PREFIX "" CACHE PATH "Where tools/web/build.sh installed the browser's libraries")
if(NOT EXISTS "${KP_WEB_PREFIX}/lib/libpng16.a")
  message(FATAL_ERROR "No browser libraries in '${KP_WEB_PREFIX}': build with tools/web/build.sh")
endif()
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# Headers that emscripten's own lack, from Debian's development packages. Its GLFW implements
# the 3.2 interface, whose header lacks the 3.3 names of the gamepad layout the input code
# shares with the desktop; Debian's 3.3 header declares the same functions and adds those names
# (no 3.3-only function is called in this build). Its OpenAL headers have no alext.h: Debian's
# OpenAL 1.1 headers declare the same functions and the extensions the audio device asks for
# (it finds none of them at run time and does without).
set(KP_WEB_HEADERS ${CMAKE_BINARY_DIR}/web-headers)
file(MAKE_DIRECTORY ${KP_WEB_HEADERS})
file(CREATE_LINK /usr/include/GLFW ${KP_WEB_HEADERS}/GLFW SYMBOLIC)
file(CREATE_LINK /usr/include/AL ${KP_WEB_HEADERS}/AL SYMBOLIC)

add_library(PkgConfig::GLFW3 INTERFACE IMPORTED)
target_include_directories(PkgConfig::GLFW3 SYSTEM BEFORE INTERFACE ${KP_WEB_HEADERS})
target_link_options(PkgConfig::GLFW3 INTERFACE -sUSE_GLFW=3)
add_library(PkgConfig::OPENAL INTERFACE IMPORTED)
target_include_directories(PkgConfig::OPENAL SYSTEM BEFORE INTERFACE ${KP_WEB_HEADERS})
target_link_options(PkgConfig::OPENAL INTERFACE -lopenal)
add_library(OpenGL::GL INTERFACE IMPORTED)
target_link_options(OpenGL::GL INTERFACE -sLEGACY_GL_EMULATION=1)
add_library(Threads::Threads INTERFACE IMPORTED)

# find_package(PNG) finds these, as it finds Debian's on the desktop.
set(ZLIB_INCLUDE_DIR ${KP_WEB_PREFIX}/include CACHE PATH "")
set(ZLIB_LIBRARY_RELEASE ${KP_WEB_PREFIX}/lib/libz.a CACHE FILEPATH "")
set(PNG_PNG_INCLUDE_DIR ${KP_WEB_PREFIX}/include CACHE PATH "")
set(PNG_LIBRARY_RELEASE ${KP_WEB_PREFIX}/lib/libpng16.a CACHE FILEPATH "")
add_library(PkgConfig::VORBISFILE INTERFACE IMPORTED)
target_include_directories(PkgConfig::VORBISFILE SYSTEM INTERFACE ${KP_WEB_PREFIX}/include)
target_link_libraries(PkgConfig::VORBISFILE INTERFACE ${KP_WEB_PREFIX}/lib/libvorbisfile.a
  ${KP_WEB_PREFIX}/lib/libvorbis.a ${KP_WEB_PREFIX}/lib/libogg.a)
