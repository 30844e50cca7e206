# `cpack -G DEB` in the build folder: a Debian package of what `cmake --install` installs, under
# /usr, whose dependencies dpkg-shlibdeps finds in the executable and the plug-ins.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quortageditor)
set(CPACK_PACKAGE_VENDOR "QuorTagEditor")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tag table editor for industrial controllers")
set(CPACK_PACKAGE_DESCRIPTION
    "Builds the tag table of an industrial controller while connected to it, and saves it with its connection as a tag setting file (.qts). Includes a simulation engine.")
set(CPACK_PACKAGE_CONTACT "QuorTagEditor maintainers <maintainers@quortageditor.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The caches of menus, icons and file types are refreshed by these packages' triggers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils, hicolor-icon-theme, shared-mime-info")
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE QUOR_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET)
if(NOT QUOR_DEB_ARCH)
    set(QUOR_DEB_ARCH amd64)
endif()
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${QUOR_DEB_ARCH})
set(CPACK_DEBIAN_FILE_NAME "QuorTagEditor_${PROJECT_VERSION}_${QUOR_DEB_ARCH}.deb")

# Two packages: quortageditor with everything installed by default, and quortageditor-opcua with
# the OPC UA plug-in, its Node.js bridge and the bridge's modules (engine/opcua), which needs
# Node.js and is left out of the main package to keep that small.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified quortageditor-opcua)
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME quortageditor)
set(CPACK_DEBIAN_UNSPECIFIED_FILE_NAME ${CPACK_DEBIAN_FILE_NAME})
set(CPACK_DEBIAN_QUORTAGEDITOR-OPCUA_PACKAGE_NAME quortageditor-opcua)
set(CPACK_DEBIAN_QUORTAGEDITOR-OPCUA_FILE_NAME "QuorTagEditor-opcua_${PROJECT_VERSION}_${QUOR_DEB_ARCH}.deb")
set(CPACK_DEBIAN_QUORTAGEDITOR-OPCUA_PACKAGE_DEPENDS "nodejs (>= 18), quortageditor (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_QUORTAGEDITOR-OPCUA_PACKAGE_RECOMMENDS "")
# Its plug-in needs no library the main package does not bring, and a search through the
# thousands of files of the modules would take minutes.
set(CPACK_DEBIAN_QUORTAGEDITOR-OPCUA_PACKAGE_SHLIBDEPS OFF)
# Both descriptions follow the summary line.
set(CPACK_DEBIAN_UNSPECIFIED_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_QUORTAGEDITOR-OPCUA_DESCRIPTION
    "The OPC UA provider QuorProv.OpcUa: browses the address space of an OPC UA server into tags and shows its live values, through a small Node.js program on node-opcua.")
include(CPack)
