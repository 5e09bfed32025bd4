# Writes the version header with the build number of the moment: the number of commits, 0
# outside a git checkout. Run at every build (cmake -P), so an existing build folder never keeps
# a stale number; the header is rewritten only when its text changes.
execute_process(COMMAND git rev-list --count HEAD WORKING_DIRECTORY ${SOURCE_DIR}
                OUTPUT_VARIABLE TAVRINO_BUILD_NUMBER OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE git_result ERROR_QUIET)
if(NOT git_result EQUAL 0 OR NOT TAVRINO_BUILD_NUMBER MATCHES "^[0-9]+$")
  set(TAVRINO_BUILD_NUMBER 0)
endif()
configure_file(${SOURCE_DIR}/res/Version.h.in ${OUTPUT} @ONLY)
