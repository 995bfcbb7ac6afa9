# Which headers a library may include: its own and those of the libraries it
# is built on, so that the layers depend one way only (base on nothing;
# package, ui and dxver on base; setup on all of them).
#
# bc_include_rules(<target> MAY_INCLUDE <folder>...)
#   Before <target> is compiled, and again whenever one of its files changes,
#   checks every #include of a project folder in the .h and .cpp files of the
#   target's source folder: it must name one of the folders given, as the
#   include is written ("base", "package/portable"). Any other folder of the
#   project fails the build, naming the file and the include.
#
# bc_include_rules(<target> MAY_INCLUDE <folder>... FILES_BY_HANDLE)
#   With FILES_BY_HANDLE, the target's files also may not open, make, move
#   or remove a file by its path (CreateFile, DeleteFile, CreateDirectory,
#   MoveFile, CopyFile, RemoveDirectory, SHFileOperation, GetTempFileName):
#   what lies in the work folder is reached only through the handle-relative
#   layer (base/handle_relative). A call that must go by path, to something
#   outside the work folder, says why on its line: "// by path: <why>".
#
# As a script:
#   cmake -DFOLDER=<dir> -DALLOWED=<folder>[,<folder>...] -DSTAMP=<file> [-DFILES_BY_HANDLE=1] -P IncludeRules.cmake
if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.20)
  set(project_folders base package ui dxver setup resources standins tests bench tools)
  string(REPLACE "," ";" allowed_folders "${ALLOWED}")
  file(GLOB files "${FOLDER}/*.h" "${FOLDER}/*.cpp")
  set(errors "")
  foreach(file ${files})
    file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][a-z_]+/")
    foreach(line ${lines})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)[\">].*" "\\1" included "${line}")
      string(REGEX MATCH "^[a-z_]+" top "${included}")
      if(NOT top IN_LIST project_folders)
        continue()
      endif()
      set(allowed FALSE)
      foreach(folder ${allowed_folders})
        string(FIND "${included}" "${folder}/" at)
        if(at EQUAL 0)
          set(allowed TRUE)
        endif()
      endforeach()
      if(NOT allowed)
        string(APPEND errors "\n  ${file}: ${included}")
      endif()
    endforeach()
  endforeach()
  if(errors)
    message(FATAL_ERROR "Includes of a layer this one may not use (it may use ${ALLOWED}):${errors}")
  endif()
  if(FILES_BY_HANDLE)
    set(by_path "")
    foreach(file ${files})
      file(STRINGS "${file}" lines REGEX
        "(CreateFile[AW]?|DeleteFile[AW]?|CreateDirectory[AW]?|MoveFile[A-Za-z]*|CopyFile[A-Za-z]*|RemoveDirectory[AW]?|SHFileOperation[AW]?|GetTempFileName[AW]?)[ \t]*\\(")
      foreach(line ${lines})
        if(NOT line MATCHES "// by path: ")
          string(STRIP "${line}" line)
          string(APPEND by_path "\n  ${file}: ${line}")
        endif()
      endforeach()
    endforeach()
    if(by_path)
      message(FATAL_ERROR "File calls by path, where the work folder's files go through base/handle_relative "
                          "(or say why on the line: // by path: ...):${by_path}")
    endif()
  endif()
  file(TOUCH "${STAMP}")
  return()
endif()

set(BCSETUP_INCLUDE_RULES_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")

function(bc_include_rules target)
  cmake_parse_arguments(R "FILES_BY_HANDLE" "" "MAY_INCLUDE" ${ARGN})
  get_target_property(folder ${target} SOURCE_DIR)
  file(GLOB files CONFIGURE_DEPENDS "${folder}/*.h" "${folder}/*.cpp")
  string(REPLACE ";" "," allowed "${R_MAY_INCLUDE}")
  set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}_include_rules.stamp")
  add_custom_command(OUTPUT "${stamp}"
    COMMAND ${CMAKE_COMMAND} -DFOLDER=${folder} -DALLOWED=${allowed} -DSTAMP=${stamp} -DFILES_BY_HANDLE=${R_FILES_BY_HANDLE}
            -P ${BCSETUP_INCLUDE_RULES_SCRIPT}
    DEPENDS ${files} "${BCSETUP_INCLUDE_RULES_SCRIPT}"
    COMMENT "Checking the includes of ${target}" VERBATIM)
  add_custom_target(${target}_include_rules DEPENDS "${stamp}")
  add_dependencies(${target} ${target}_include_rules)
endfunction()
