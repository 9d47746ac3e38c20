# file_lists.cmake -- cmake -DPACKAGE=<folder> -DOUT=<folder> -P file_lists.cmake
# Writes the installer's lists of the package's files: install-files.nsh puts
# each one in place, uninstall-files.nsh deletes each one and then the folders
# it made, if they are left empty, so that the uninstaller removes exactly what
# was installed (never a track or a setting the player put beside it).
file(GLOB_RECURSE files RELATIVE "${PACKAGE}" "${PACKAGE}/*")
list(SORT files)
set(install "")
set(uninstall "")
set(folders "")
foreach(file IN LISTS files)
  get_filename_component(folder "${file}" DIRECTORY)
  string(REPLACE "/" "\\" windowsFolder "${folder}")
  string(REPLACE "/" "\\" windowsFile "${file}")
  if(folder STREQUAL "")
    string(APPEND install "SetOutPath \"$INSTDIR\"\n")
  else()
    string(APPEND install "SetOutPath \"$INSTDIR\\${windowsFolder}\"\n")
    list(APPEND folders "${windowsFolder}")
  endif()
  string(APPEND install "File \"${PACKAGE}/${file}\"\n")
  string(APPEND uninstall "Delete \"$INSTDIR\\${windowsFile}\"\n")
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING) # the deepest first
foreach(folder IN LISTS folders)
  string(APPEND uninstall "RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
file(WRITE "${OUT}/install-files.nsh" "${install}")
file(WRITE "${OUT}/uninstall-files.nsh" "${uninstall}")
