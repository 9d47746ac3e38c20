# The tools a build uses where they are installed and does without where they
# are not (the Windows cross-compiler and its zlib, Wine, makensis, clang) are
# looked for again whenever a program is installed or removed: the folders of
# the PATH (and the cross-compiler's headers) are things the configuration
# depends on, and a tool found once but gone since is forgotten. A build
# folder made before NSIS was installed, or after Wine was removed, keeps
# building.
string(REPLACE ":" ";" mudlark_program_folders "$ENV{PATH}")
foreach(folder ${mudlark_program_folders} /usr/x86_64-w64-mingw32/include)
  if(IS_DIRECTORY "${folder}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${folder}")
  endif()
endforeach()
foreach(tool MAKENSIS MINGW_CXX MINGW_ZLIB WINE CLANG_CXX)
  if(${tool} AND NOT EXISTS "${${tool}}")
    unset(${tool} CACHE)
  endif()
endforeach()
