# The Debian package: `cpack -G DEB` in a build made with Debian's flags (scripts/mirelo.sh
# package, or the test run's own build: the tests are not installed) packs what
# `cmake --install` installs, under /usr.
set(CPACK_PACKAGE_NAME ${MIRELO_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Mirelo developers")
set(CPACK_PACKAGE_CONTACT "The Mirelo developers <mirelo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "teaching tool for a small invented processor")
set(CPACK_PACKAGE_DESCRIPTION
    "Mirelo lets you type a program in a short assembly notation, translate it into\n"
    "machine code and watch it run one instruction at a time: the memory grid\n"
    "highlights the byte being executed, the register list marks the current\n"
    "register, output lines collect in a pane and a dialog asks for input.\n"
    "\n"
    "The package holds the window (mirelo2) and the command-line companion\n"
    "mirelo-cli, which translates and runs the same programs without the window.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_LIST_DIR}/../LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Folders the package creates get the usual modes whatever the builder's umask is.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
