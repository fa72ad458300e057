# cmake -P: writes each browser's copy of the extension. Firefox reads
# background.scripts and its gecko id; Chromium a service worker and the key
# that fixes its id. Each copy leaves out what the other browser warns about.
file(READ "${SOURCE}/manifest.json" _manifest)

function(tandu_extension_copy dir manifest)
  file(REMOVE_RECURSE "${dir}")
  file(MAKE_DIRECTORY "${dir}/icons")
  file(WRITE "${dir}/manifest.json" "${manifest}\n")
  foreach(_page background.js options.html options.js popup.html popup.js)
    file(COPY "${SOURCE}/${_page}" DESTINATION "${dir}")
  endforeach()
  foreach(_size 16 32 48 128)
    file(COPY_FILE "${ICONS}/${_size}x${_size}/apps/tandu.png" "${dir}/icons/${_size}.png")
  endforeach()
endfunction()

string(JSON _firefox REMOVE "${_manifest}" key)
string(JSON _firefox REMOVE "${_firefox}" background service_worker)
tandu_extension_copy("${STAGE}" "${_firefox}")
file(REMOVE "${XPI}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${XPI}" --format=zip
                        manifest.json background.js options.html options.js popup.html popup.js icons
                WORKING_DIRECTORY "${STAGE}" COMMAND_ERROR_IS_FATAL ANY)

string(JSON _chromium REMOVE "${_manifest}" browser_specific_settings)
string(JSON _chromium REMOVE "${_chromium}" background scripts)
tandu_extension_copy("${UNPACKED}" "${_chromium}")
