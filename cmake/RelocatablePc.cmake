# Run by cpack on the tree it has installed for the tarball, which is unpacked
# anywhere: the pkg-config file finds the prefix from its own directory, one
# step up for each directory below the prefix, instead of naming the staging
# directory.
set(pc "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/${CPACK_RAVLINPATH_PC_DIR}/ravlinpath.pc")
string(REGEX REPLACE "[^/]+" ".." to_prefix "${CPACK_RAVLINPATH_PC_DIR}")
file(READ "${pc}" content)
string(REGEX REPLACE "^prefix=[^\n]*" "prefix=\${pcfiledir}/${to_prefix}" content "${content}")
file(WRITE "${pc}" "${content}")
