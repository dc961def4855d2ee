# Writes the source file that holds the version line of the programs:
#   cmake -DSOURCE_DIR=... -DOUTPUT=... -DVERSION=... -P Version.cmake
# Run on every build; the file changes (and dependants rebuild) only when
# the version or the checkout's commit does.
set(commit "")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS "${SOURCE_DIR}/.git")
  execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" describe --always --dirty --abbrev=12 --match=no-tags
                  OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
  if(failed)
    set(commit "")
  endif()
endif()
if(commit)
  set(TIDEWELL_VERSION_LINE "${VERSION} (git ${commit})")
else()
  set(TIDEWELL_VERSION_LINE "${VERSION}")
endif()
configure_file("${CMAKE_CURRENT_LIST_DIR}/Version.cpp.in" "${OUTPUT}" @ONLY)
