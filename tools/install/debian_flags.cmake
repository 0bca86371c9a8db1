# Debian's build flags for every target, so that the program in the .deb is built the way
# Debian builds its own packages: the hardening that dpkg-buildflags adds (fortify, stack
# protector, format checks, relro and bind-now), a position-independent executable, and debug
# information in every build type, which the -dbgsym package carries once the packaged program
# is stripped. The hardening flags are whatever `dpkg-buildflags` gives with all hardening on
# beyond what it gives with all of it off, so they follow the machine's own dpkg. Fortify is
# left out of Debug builds (glibc's checks need an optimising build), and the option is off by
# default in the sanitizer and fuzz builds, whose instrumentation these flags would only blur,
# and in any build for another system than the Linux it runs on (a browser build, say).
# Included by the top-level CMakeLists.txt before any target is made.

if(BRAMBOLT_SANITIZE OR BRAMBOLT_TSAN OR BRAMBOLT_FUZZ OR CMAKE_CROSSCOMPILING
   OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(debian_flags_default OFF)
else()
  set(debian_flags_default ON)
endif()
option(BRAMBOLT_DEBIAN_FLAGS
  "Build with Debian's hardening flags (dpkg-buildflags), as a PIE, with debug information"
  ${debian_flags_default})
if(NOT BRAMBOLT_DEBIAN_FLAGS)
  return()
endif()

# debian_hardening(KIND OUT): the flags of one dpkg-buildflags kind (CXXFLAGS, LDFLAGS...)
# that its hardening features add.
function(debian_hardening kind out)
  foreach(features with:+all without:-all)
    string(REPLACE ":" ";" features "${features}")
    list(GET features 0 name)
    list(GET features 1 setting)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=${setting}
        ${BRAMBOLT_DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "dpkg-buildflags --get ${kind} failed (status ${status})")
    endif()
    separate_arguments(${name} UNIX_COMMAND "${flags}")
  endforeach()
  if(without)
    list(REMOVE_ITEM with ${without})
  endif()
  set(${out} ${with} PARENT_SCOPE)
endfunction()

find_program(BRAMBOLT_DPKG_BUILDFLAGS dpkg-buildflags)
if(BRAMBOLT_DPKG_BUILDFLAGS)
  debian_hardening(CFLAGS c_flags)
  debian_hardening(CXXFLAGS cxx_flags)
  debian_hardening(CPPFLAGS cpp_flags)
  debian_hardening(LDFLAGS ld_flags)
  set(fortify ${cpp_flags})
  list(FILTER fortify INCLUDE REGEX "^-D_FORTIFY_SOURCE")
  list(FILTER cpp_flags EXCLUDE REGEX "^-D_FORTIFY_SOURCE")
  add_compile_options("$<$<COMPILE_LANGUAGE:C>:${c_flags}>"
    "$<$<COMPILE_LANGUAGE:CXX>:${cxx_flags}>" ${cpp_flags}
    "$<$<NOT:$<CONFIG:Debug>>:${fortify}>")
  add_link_options(${ld_flags})
  set(shown ${cxx_flags} ${cpp_flags} ${fortify} ${ld_flags})
  list(JOIN shown " " shown)
  message(STATUS "Debian hardening flags: ${shown}")
else()
  message(WARNING "dpkg-buildflags (package dpkg-dev) was not found: "
    "building without Debian's hardening flags")
endif()

include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-g)
