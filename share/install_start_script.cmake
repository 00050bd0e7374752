# Run by `cmake --install`: installs start.sh with the installation prefix
# written into it, so that a copy of the script put beside a team's own start
# scripts still finds the installed coach and its sample configuration.
set(destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/brenvo_coach/start.sh")
# The prefix goes into the script as one absolute, single-quoted shell word.
get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
string(REPLACE "'" "'\\''" prefix "${prefix}")
file(READ "${CMAKE_CURRENT_LIST_DIR}/start.sh" script)
string(REPLACE "@BRENVO_PREFIX@" "${prefix}" script "${script}")
message(STATUS "Installing: ${destination}")
file(WRITE "${destination}" "${script}")
execute_process(COMMAND chmod 755 "${destination}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot make ${destination} executable")
endif()
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${destination}")
