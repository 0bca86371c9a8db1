# Runs after CPack has written the packages (CPACK_POST_BUILD_SCRIPTS). CPack's debug-symbols
# package lists its file in md5sums by the staging folder's absolute path and has no documents
# folder; this rebuilds it with md5sums relative to the root, as dpkg expects, and with
# usr/share/doc/brambolt3-dbgsym linking to the documents of the package it depends on.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.ddeb$")
    continue()
  endif()
  set(tree "${package}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${package}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  file(STRINGS "${tree}/DEBIAN/md5sums" sums)
  set(relative "")
  foreach(line IN LISTS sums)
    string(REGEX REPLACE "^([0-9a-f]+)  .*/(usr/.*)$" "\\1  \\2" line "${line}")
    string(APPEND relative "${line}\n")
  endforeach()
  file(WRITE "${tree}/DEBIAN/md5sums" "${relative}")
  file(MAKE_DIRECTORY "${tree}/usr/share/doc")
  file(CREATE_LINK brambolt3 "${tree}/usr/share/doc/brambolt3-dbgsym" SYMBOLIC)
  execute_process(COMMAND dpkg-deb --root-owner-group -b "${tree}" "${package}"
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
