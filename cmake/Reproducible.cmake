# The same sources build to the same bytes, in any folder and at any time.
#
# The build's one time, BCSETUP_SOURCE_DATE_EPOCH (seconds since 1970), is
# SOURCE_DATE_EPOCH when it is set at configure time, else the time of the
# last commit; never the clock. It goes into:
#   - every program's PE time stamps: binutils' ld takes those of the file
#     header and of the export directory from SOURCE_DATE_EPOCH, which each
#     link gets in its environment, and computes CheckSum from the bytes;
#   - the ISO image's dates (Medium.cmake), BCSETUP_SOURCE_DATE as
#     YYYYMMDDhhmmss in UTC.
# A new commit configures the build again, so that the time follows it.
# No path of the source or build folder gets into an object file.
set(bc_epoch_from "")
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(BCSETUP_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
  set(bc_epoch_from "SOURCE_DATE_EPOCH")
else()
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${PROJECT_SOURCE_DIR}" log -1 --format=%ct
      OUTPUT_VARIABLE BCSETUP_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE git_result ERROR_QUIET)
    if(git_result EQUAL 0)
      set(bc_epoch_from "the last commit")
      # HEAD, the branch it names and the log of its moves: one of them
      # changes with every commit, checkout or reset.
      execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${PROJECT_SOURCE_DIR}" symbolic-ref -q HEAD
        OUTPUT_VARIABLE branch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      foreach(name HEAD logs/HEAD ${branch})
        execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${PROJECT_SOURCE_DIR}" rev-parse --path-format=absolute
                                --git-path "${name}"
          OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        if(path AND EXISTS "${path}")
          set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
        endif()
      endforeach()
    endif()
  endif()
endif()
if(NOT bc_epoch_from)
  set(BCSETUP_SOURCE_DATE_EPOCH 0)
  set(bc_epoch_from "nowhere")
  message(STATUS "Neither SOURCE_DATE_EPOCH nor a git history: the programs' time stamps are 0 (1970-01-01)")
elseif(NOT BCSETUP_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "The build time from ${bc_epoch_from} is '${BCSETUP_SOURCE_DATE_EPOCH}', "
    "not a number of seconds since 1970")
endif()

# string(TIMESTAMP) itself reads SOURCE_DATE_EPOCH instead of the clock.
set(ENV{SOURCE_DATE_EPOCH} "${BCSETUP_SOURCE_DATE_EPOCH}")
string(TIMESTAMP BCSETUP_SOURCE_DATE "%Y%m%d%H%M%S" UTC)
if(NOT bc_epoch_from STREQUAL "SOURCE_DATE_EPOCH")
  unset(ENV{SOURCE_DATE_EPOCH})
endif()
message(STATUS "Build time (from ${bc_epoch_from}): ${BCSETUP_SOURCE_DATE} UTC")

set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK
  "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${BCSETUP_SOURCE_DATE_EPOCH}")
if(NOT MSVC)
  # The build folder lies inside the source folder: the longer, later map wins.
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>"
                      "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")
endif()
