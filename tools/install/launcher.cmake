# Runs inside `cmake --install`, once the prefix is known: chooses the launcher's folder under
# that prefix (games/ for /usr and /usr/local, bin/ for any other, unless
# BRAMBOLT_LAUNCHER_DIR names one), writes the launcher with its way back to the prefix, and
# the menu entry, whose Exec names the launcher by full path when its folder is not on the
# standard PATH. file(INSTALL) honours DESTDIR and records both files in the install manifest.
# Set by the caller: BRAMBOLT_SOURCE (tools/install), BRAMBOLT_STAGE (a folder of the build to
# write the two files into), BRAMBOLT_LAUNCHER_DIR, BRAMBOLT_BINDIR, BRAMBOLT_APPLICATIONSDIR,
# BRAMBOLT_INSTALL_PROGRAMDIR, BRAMBOLT_INSTALL_DATADIR and PROJECT_VERSION.

# The folders of a fresh login's PATH on Debian, where a bare command name is found.
set(standard_path /usr/local/bin /usr/bin /bin /usr/local/games /usr/games)

cmake_path(SET prefix NORMALIZE "${CMAKE_INSTALL_PREFIX}")
string(REGEX REPLACE "(.)/$" "\\1" prefix "${prefix}")

if(BRAMBOLT_LAUNCHER_DIR STREQUAL "auto")
  if(prefix STREQUAL "/usr" OR prefix STREQUAL "/usr/local")
    set(launcher_dir games)
  else()
    set(launcher_dir "${BRAMBOLT_BINDIR}")
  endif()
else()
  set(launcher_dir "${BRAMBOLT_LAUNCHER_DIR}")
endif()
cmake_path(ABSOLUTE_PATH launcher_dir BASE_DIRECTORY "${prefix}" NORMALIZE
  OUTPUT_VARIABLE launcher_folder)
string(REGEX REPLACE "(.)/$" "\\1" launcher_folder "${launcher_folder}")

# The launcher finds the prefix from its own place, so an installed tree can be moved.
file(RELATIVE_PATH BRAMBOLT_LAUNCHER_TO_PREFIX "${launcher_folder}" "${prefix}")
string(REGEX REPLACE "/$" "" BRAMBOLT_LAUNCHER_TO_PREFIX "${BRAMBOLT_LAUNCHER_TO_PREFIX}")
if(BRAMBOLT_LAUNCHER_TO_PREFIX STREQUAL "")
  set(BRAMBOLT_LAUNCHER_TO_PREFIX .)
endif()

# Exec quoting: a path with characters the desktop entry format reserves is put in double
# quotes with ", `, $ and \ escaped; the value's own escaping then doubles each backslash, and
# a literal % is written %%.
list(FIND standard_path "${launcher_folder}" on_standard_path)
if(NOT on_standard_path EQUAL -1)
  set(BRAMBOLT_DESKTOP_EXEC brambolt3)
else()
  set(BRAMBOLT_DESKTOP_EXEC "${launcher_folder}/brambolt3")
  if(BRAMBOLT_DESKTOP_EXEC MATCHES "[^A-Za-z0-9/._+-]")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" BRAMBOLT_DESKTOP_EXEC
      "${BRAMBOLT_DESKTOP_EXEC}")
    set(BRAMBOLT_DESKTOP_EXEC "\"${BRAMBOLT_DESKTOP_EXEC}\"")
    string(REPLACE "\\" "\\\\" BRAMBOLT_DESKTOP_EXEC "${BRAMBOLT_DESKTOP_EXEC}")
  endif()
  string(REPLACE "%" "%%" BRAMBOLT_DESKTOP_EXEC "${BRAMBOLT_DESKTOP_EXEC}")
endif()

configure_file("${BRAMBOLT_SOURCE}/brambolt3.in" "${BRAMBOLT_STAGE}/brambolt3" @ONLY)
configure_file("${BRAMBOLT_SOURCE}/brambolt3.desktop.in" "${BRAMBOLT_STAGE}/brambolt3.desktop"
  @ONLY)
file(INSTALL "${BRAMBOLT_STAGE}/brambolt3" DESTINATION "${launcher_folder}"
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
  WORLD_READ WORLD_EXECUTE)
file(INSTALL "${BRAMBOLT_STAGE}/brambolt3.desktop"
  DESTINATION "${prefix}/${BRAMBOLT_APPLICATIONSDIR}"
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
