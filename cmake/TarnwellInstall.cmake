# Where `cmake --install` puts the program (GNU layout) and the one way to install a file the
# program ships.
#
#   bin/                        tarnwell, tarnwell-cli
#   lib/tarnwell/               the calculation libraries (HCMFS_DLL.so, HCMMS_DLL.so)
#   share/tarnwell/             the other shipped files (hcm-schema.xsd, equipment.db, ...)
#   share/applications, share/icons/hicolor, share/metainfo, share/man/man1
#
# The program finds the two tarnwell folders relative to its own executable
# (AppPaths::Layout in src/platform), so an installed tree works wherever it is unpacked.

include(GNUInstallDirs)

set(TARNWELL_INSTALL_LIBRARYDIR "lib/tarnwell" CACHE STRING
    "Folder of the calculation libraries, relative to the install prefix")
set(TARNWELL_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/tarnwell" CACHE STRING
    "Folder of the other shipped files, relative to the install prefix")

# the two folders seen from the executables' folder, compiled into the program
cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_BINDIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}"
           OUTPUT_VARIABLE _tarnwell_bindir)
foreach(_kind LIBRARIES DATA)
  if(_kind STREQUAL "LIBRARIES")
    set(_dir "${TARNWELL_INSTALL_LIBRARYDIR}")
  else()
    set(_dir "${TARNWELL_INSTALL_DATADIR}")
  endif()
  cmake_path(ABSOLUTE_PATH _dir BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}")
  file(RELATIVE_PATH TARNWELL_BIN_TO_${_kind} "${_tarnwell_bindir}" "${_dir}")
endforeach()

# tarnwell_install_shipped(FILES file... [DESTINATION_SUBDIR dir])
#
# Installs files the program reads through AppPaths::shippedFile("dir/name") into the data
# folder (share/tarnwell/dir). The files may be generated ones in the build tree.
function(tarnwell_install_shipped)
  cmake_parse_arguments(S "" "DESTINATION_SUBDIR" "FILES" ${ARGN})
  if(NOT S_FILES)
    message(FATAL_ERROR "tarnwell_install_shipped: no FILES")
  endif()
  set(destination "${TARNWELL_INSTALL_DATADIR}")
  if(S_DESTINATION_SUBDIR)
    string(APPEND destination "/${S_DESTINATION_SUBDIR}")
  endif()
  install(FILES ${S_FILES} DESTINATION "${destination}")
endfunction()

# tarnwell_install_libraries(target...): calculation libraries into the library folder.
function(tarnwell_install_libraries)
  install(TARGETS ${ARGN} LIBRARY DESTINATION "${TARNWELL_INSTALL_LIBRARYDIR}")
endfunction()
