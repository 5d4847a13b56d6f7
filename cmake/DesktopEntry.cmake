# Run at install time: writes the desktop entry for the KirmelGUI installed
# under CMAKE_INSTALL_PREFIX (the --prefix of cmake --install) from its
# template and installs it.  Needs KIRMEL_DESKTOP_TEMPLATE, KIRMEL_WORK_DIR,
# KIRMEL_BINDIR and KIRMEL_DATADIR.
set(exe "${CMAKE_INSTALL_PREFIX}/${KIRMEL_BINDIR}/KirmelGUI")
set(KIRMEL_DESKTOP_TRYEXEC "${exe}")
# The Exec key: "%" is doubled; a path with a blank or a character the key
# reserves is written in double quotes, with \ " ` $ escaped by a backslash.
string(REPLACE "%" "%%" quoted "${exe}")
if(quoted MATCHES "[] \t\"'\\\\$`<>~|&;*?#()[]")
  string(REPLACE "\\" "\\\\" quoted "${quoted}")
  string(REPLACE "\"" "\\\"" quoted "${quoted}")
  string(REPLACE "`" "\\`" quoted "${quoted}")
  string(REPLACE "$" "\\$" quoted "${quoted}")
  set(quoted "\"${quoted}\"")
endif()
set(KIRMEL_DESKTOP_EXEC "${quoted}")
# One work folder per prefix, so that installs into different prefixes from
# one build do not write the same file.
string(SHA1 key "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(entry "${KIRMEL_WORK_DIR}/${key}/kirmel.desktop")
configure_file("${KIRMEL_DESKTOP_TEMPLATE}" "${entry}" @ONLY)
file(INSTALL "${entry}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${KIRMEL_DATADIR}/applications")
