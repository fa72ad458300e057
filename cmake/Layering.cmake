# The core's folders in layers: each may include only itself and the folders
# listed after it, all of them lower. So no two folders include each other;
# the engine (transfer), storage and services know no window, dialog, tool or
# Qt; the dialogs and the tools know no window. Configuring fails on the first
# include that breaks this, naming the file.
set(_tandu_layers
  "window:tools dialogs controls services transfer storage text platform net"
  "tools:controls services transfer storage text platform net"
  "dialogs:controls services transfer storage text platform net"
  "controls:platform"
  "services:transfer storage text platform net"
  "transfer:storage text platform net"
  "storage:text platform net"
  "text:"
  "platform:net"
  "net:")

set(_tandu_core ${CMAKE_SOURCE_DIR}/src/core)
file(GLOB _tandu_folders LIST_DIRECTORIES true RELATIVE ${_tandu_core} ${_tandu_core}/*)
set(_tandu_known "")
foreach(_layer IN LISTS _tandu_layers)
  string(REGEX REPLACE ":.*" "" _folder "${_layer}")
  list(APPEND _tandu_known ${_folder})
endforeach()
foreach(_folder IN LISTS _tandu_folders)
  if(IS_DIRECTORY ${_tandu_core}/${_folder} AND NOT _folder IN_LIST _tandu_known)
    message(FATAL_ERROR "src/core/${_folder} has no place in the layers of cmake/Layering.cmake")
  endif()
endforeach()

foreach(_layer IN LISTS _tandu_layers)
  string(REGEX REPLACE ":.*" "" _folder "${_layer}")
  string(REGEX REPLACE "^[^:]*:" "" _allowed "${_layer}")
  string(REPLACE " " ";" _allowed "${_allowed}")
  list(APPEND _allowed ${_folder})
  file(GLOB_RECURSE _files ${_tandu_core}/${_folder}/*.h ${_tandu_core}/${_folder}/*.cpp)
  foreach(_file IN LISTS _files)
    file(STRINGS ${_file} _includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(_line IN LISTS _includes)
      if(_line MATCHES "include[ \t]*<Q" OR _line MATCHES "include[ \t]*[<\"]Q[A-Za-z]*[>\"/]")
        message(FATAL_ERROR "${_file} includes Qt (${_line}): the core is plain C++")
      endif()
      if(_line MATCHES "include[ \t]*\"([^\"]+)/[^\"/]+\"")
        set(_target ${CMAKE_MATCH_1})
        if(NOT _target IN_LIST _allowed)
          message(FATAL_ERROR "${_file} includes \"${_target}/\", which src/core/${_folder} "
                              "may not include (allowed: ${_allowed})")
        endif()
      elseif(_line MATCHES "include[ \t]*\"")
        message(FATAL_ERROR "${_file}: ${_line} names no folder of the core")
      endif()
    endforeach()
  endforeach()
endforeach()
