# The Debian package: `cmake --build build --target package` (or `cpack -G DEB` in build/)
# writes build/brambolt3_VERSION_amd64.deb and its debug symbols,
# brambolt3-dbgsym_VERSION_amd64.ddeb. CPack installs this build with the prefix /usr into a
# staging folder, exactly as `cmake --install` would, strips the program into the debug
# package (which fix_dbgsym.cmake then mends), and has dpkg-shlibdeps compute Depends from the
# program's shared libraries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brambolt3)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Brambolt3 developers")
set(CPACK_PACKAGE_CONTACT "${BRAMBOLT_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "one-button arcade game of a bouncing ball and floating spikes")
set(CPACK_PACKAGE_DESCRIPTION "A ball bounces for ever; the player decides only when to let it roll forward
over the floating spikes. Holding the button rolls the ball, letting go keeps
it in place, and spikes passed without letting go build a SUPER chain that
multiplies the score.

The game has 150 levels in 15 themed groups, thirteen kinds of level, badges,
highscores and an options panel, and is played with a keyboard, a mouse or a
gamepad.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/fix_dbgsym.cmake)
# The install step must see the real prefix (/usr) to place the launcher and write the menu
# entry's Exec, so CPack stages through DESTDIR instead of a rewritten prefix.
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
# CPack's staging install rewrites build/install_manifest.txt with the package's /usr paths,
# which the uninstall target would then remove from the machine itself; the manifest of the
# last real install is put aside before staging and back before the packages are made.
set(manifest ${PROJECT_BINARY_DIR}/install_manifest.txt)
file(WRITE ${PROJECT_BINARY_DIR}/cpack_keep_manifest.cmake "
file(REMOVE \"${manifest}.kept\")
if(EXISTS \"${manifest}\")
  file(RENAME \"${manifest}\" \"${manifest}.kept\")
endif()
")
file(WRITE ${PROJECT_BINARY_DIR}/cpack_restore_manifest.cmake "
file(REMOVE \"${manifest}\")
if(EXISTS \"${manifest}.kept\")
  file(RENAME \"${manifest}.kept\" \"${manifest}\")
endif()
")
set(CPACK_INSTALL_SCRIPTS ${PROJECT_BINARY_DIR}/cpack_keep_manifest.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_BINARY_DIR}/cpack_restore_manifest.cmake)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
