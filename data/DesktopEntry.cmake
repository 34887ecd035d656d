# Runs at install time (data/CMakeLists.txt): writes the desktop entry KAMSULO_ENTRY from
# KAMSULO_ENTRY_TEMPLATE with the program's full path under the prefix being installed to
# (CMAKE_INSTALL_PREFIX as `cmake --install --prefix` or CPack set it; DESTDIR is not part
# of it). KAMSULO_BINARY is the program's path relative to the prefix.
# A relative prefix is taken from the folder the install runs in, as the files are.
set(prefix "${CMAKE_INSTALL_PREFIX}")
cmake_path(ABSOLUTE_PATH prefix BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}")
set(binary "${KAMSULO_BINARY}")
cmake_path(ABSOLUTE_PATH binary BASE_DIRECTORY "${prefix}" NORMALIZE)

# An Exec argument with a space or another reserved character is quoted; inside the
# quotes " ` $ and \ take a backslash, and each backslash of that is doubled again, as
# the entry's string values escape it. A percent sign is doubled anywhere.
set(exec "${binary}")
if(exec MATCHES "[^A-Za-z0-9_./+,:@=-]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" exec "${exec}")
  string(REPLACE "\\" "\\\\" exec "${exec}")
  set(exec "\"${exec}\"")
endif()
string(REPLACE "%" "%%" KAMSULO_INSTALLED_BINARY "${exec}")
configure_file("${KAMSULO_ENTRY_TEMPLATE}" "${KAMSULO_ENTRY}" @ONLY)
