# Runs after CPack has written the packages (CPACK_POST_BUILD_SCRIPTS) and rebuilds the two
# that need what CPack's DEB generator cannot write:
# - the data package gets `Multi-Arch: foreign`, as Debian's architecture-independent data
#   packages have, so that the game of any architecture can use it;
# - the debug-symbols package lists its file in md5sums by the staging folder's absolute path
#   and has no documents folder: md5sums is made relative to the root, as dpkg expects, and
#   usr/share/doc/brambolt3-dbgsym links to the documents of the package it depends on.

# The data package's control file gains Multi-Arch after its Architecture.
function(mend_data tree)
  file(READ "${tree}/DEBIAN/control" control)
  string(REGEX REPLACE "(^|\n)(Architecture: [^\n]*\n)" "\\1\\2Multi-Arch: foreign\n"
    control "${control}")
  file(WRITE "${tree}/DEBIAN/control" "${control}")
endfunction()

# The debug package's md5sums relative to the root, and its documents folder a link.
function(mend_dbgsym tree)
  file(STRINGS "${tree}/DEBIAN/md5sums" sums)
  set(relative "")
  foreach(line IN LISTS sums)
    string(REGEX REPLACE "^([0-9a-f]+)  .*/(usr/.*)$" "\\1  \\2" line "${line}")
    string(APPEND relative "${line}\n")
  endforeach()
  file(WRITE "${tree}/DEBIAN/md5sums" "${relative}")
  file(MAKE_DIRECTORY "${tree}/usr/share/doc")
  file(CREATE_LINK brambolt3 "${tree}/usr/share/doc/brambolt3-dbgsym" SYMBOLIC)
endfunction()

# mend(PACKAGE HOW): unpacks the package, calls HOW on the unpacked tree and builds the
# package again in its place, compressed with gzip as CPack compresses it.
function(mend package how)
  set(tree "${package}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${package}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  cmake_language(CALL ${how} "${tree}")
  execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip -b "${tree}" "${package}"
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endfunction()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name "${package}" NAME)
  if(name MATCHES "^brambolt3-data_.*\\.deb$")
    mend("${package}" mend_data)
  elseif(name MATCHES "\\.ddeb$")
    mend("${package}" mend_dbgsym)
  endif()
endforeach()
