# Runs at install time, when the final prefix is known: links the commands
# into bin/ and writes the desktop entries with the program folder's path.
set(_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(_folder "${CMAKE_INSTALL_PREFIX}/${TANDU_INSTALL_FOLDER}")

file(MAKE_DIRECTORY "${_root}/bin")
foreach(_name IN LISTS TANDU_LINKS)
  set(_link "${_root}/bin/${_name}")
  message(STATUS "Installing: ${_link} -> ../${TANDU_INSTALL_FOLDER}/${_name}")
  file(REMOVE "${_link}")
  file(CREATE_LINK "../${TANDU_INSTALL_FOLDER}/${_name}" "${_link}" SYMBOLIC)
endforeach()

if(NOT TANDU_WITH_WINDOW)
  return()
endif()

# Exec= takes a quoted path; inside the quotes \ " ` $ are escaped, and the
# file's own escaping doubles every backslash once more; % is doubled.
function(tandu_exec_path path out)
  string(REPLACE "\\" "\\\\" path "${path}")
  foreach(_c "\"" "`" "$")
    string(REPLACE "${_c}" "\\${_c}" path "${path}")
  endforeach()
  string(REPLACE "\\" "\\\\" path "${path}")
  string(REPLACE "%" "%%" path "${path}")
  set(${out} "\"${path}\"" PARENT_SCOPE)
endfunction()

set(_applications "${_root}/share/applications")
file(MAKE_DIRECTORY "${_applications}")
foreach(_entry tandu tandu-url)
  set(TRYEXEC "${_folder}/${_entry}")
  tandu_exec_path("${TRYEXEC}" EXEC)
  message(STATUS "Installing: ${_applications}/${_entry}.desktop")
  configure_file("${TANDU_DESKTOP_SOURCE}/${_entry}.desktop.in"
                 "${_applications}/${_entry}.desktop" @ONLY)
endforeach()

# The desktop finds new entries and handlers through its caches; a staged
# install (DESTDIR) leaves that to the package.
if("$ENV{DESTDIR}" STREQUAL "")
  find_program(_update_desktop update-desktop-database)
  if(_update_desktop)
    execute_process(COMMAND "${_update_desktop}" -q "${_applications}" ERROR_QUIET)
  endif()
  find_program(_update_icons gtk-update-icon-cache)
  if(_update_icons AND EXISTS "${_root}/share/icons/hicolor/index.theme")
    execute_process(COMMAND "${_update_icons}" -q -t "${_root}/share/icons/hicolor"
                    ERROR_QUIET OUTPUT_QUIET)
  endif()
endif()
