# `cmake --build build --target uninstall`: removes every file the last `cmake --install` of
# this build listed in install_manifest.txt, then the game's own folders (program, data,
# documents) and their subfolders once this has left them empty; shared folders such as bin/
# or share/applications/ stay. The player's own folder with the progress file is never listed,
# so it stays too. The manifest names files without DESTDIR: an install staged with DESTDIR is
# uninstalled with the same DESTDIR. Set by the caller: BRAMBOLT_MANIFEST, the manifest's path,
# and BRAMBOLT_OWN_FOLDERS, the game's own folders relative to the prefix.

if(NOT EXISTS "${BRAMBOLT_MANIFEST}")
  message(FATAL_ERROR "Nothing to uninstall: ${BRAMBOLT_MANIFEST} does not exist")
endif()
file(STRINGS "${BRAMBOLT_MANIFEST}" listed)
set(installed "")
foreach(path IN LISTS listed)
  list(APPEND installed "$ENV{DESTDIR}${path}")
endforeach()
foreach(path IN LISTS installed)
  if(EXISTS "${path}" OR IS_SYMLINK "${path}")
    message(STATUS "Removing: ${path}")
    file(REMOVE "${path}")
  endif()
endforeach()

# A listed file inside one of the game's own folders puts every folder from its own up to
# that one on the list to look at; deepest first, so subfolders are emptied before parents.
set(folders "")
foreach(path IN LISTS installed)
  foreach(own IN LISTS BRAMBOLT_OWN_FOLDERS)
    string(FIND "${path}" "/${own}/" at REVERSE)
    if(at EQUAL -1)
      continue()
    endif()
    string(LENGTH "/${own}" length)
    math(EXPR end "${at} + ${length}")
    string(SUBSTRING "${path}" 0 ${end} root)
    cmake_path(GET path PARENT_PATH folder)
    while(NOT folder STREQUAL root)
      list(APPEND folders "${folder}")
      cmake_path(GET folder PARENT_PATH folder)
    endwhile()
    list(APPEND folders "${root}")
  endforeach()
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING)
foreach(folder IN LISTS folders)
  file(GLOB left "${folder}/*" "${folder}/.*")
  if(IS_DIRECTORY "${folder}" AND NOT left)
    message(STATUS "Removing: ${folder}/")
    file(REMOVE_RECURSE "${folder}")
  endif()
endforeach()
