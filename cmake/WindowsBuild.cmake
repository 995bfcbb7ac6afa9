# The Win32 side: the setup program, its stand-ins, tests and benchmarks, all run under Wine.
enable_language(RC)
include(cmake/Reproducible.cmake)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _CRT_SECURE_NO_WARNINGS)
add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
# Statically linked: the program must run from a CD on a bare Windows, no DLL beside it.
add_link_options(-static -static-libgcc -static-libstdc++)

# Every test executable runs under Wine in the build tree's own prefix, with
# the Wine loader for the processor built for.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(BCSETUP_WIN_ARCH x86_64)
else()
  set(BCSETUP_WIN_ARCH i686)
endif()
configure_file(${PROJECT_SOURCE_DIR}/scripts/wine-run.sh.in ${PROJECT_BINARY_DIR}/wine-run.sh @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_BINARY_DIR}/wine-run.sh)

# Host tools built by the host build (pk24); the Makefile passes their folder.
set(BCSETUP_HOST_TOOLS_DIR "" CACHE PATH "Folder of the natively built host tools (pk24)")

include(cmake/GoogleTestWin.cmake)
include(cmake/Payloads.cmake)
include(cmake/SignProgram.cmake)

# The program's own code throws and catches nothing and asks no type at run
# time: it is built without exception handling and RTTI, and with every
# function and datum in a section of its own, so that the link keeps only
# what is used (bc_program_link_options). On i686 its unwind tables serve
# only exceptions and go too; on x86_64 they are part of the platform's
# calling convention (SEH) and stay. Flags only: Visual Studio gets its own.
if(MSVC)
  set(bc_lean_flags /EHs-c- /D_HAS_EXCEPTIONS=0 /GR- /Gy /Gw)
else()
  set(bc_lean_flags -fno-exceptions -fno-rtti -ffunction-sections -fdata-sections)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(APPEND bc_lean_flags -fno-asynchronous-unwind-tables)
  endif()
endif()
# bc_lean_code(<target>): its own sources built so.
function(bc_lean_code target)
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${bc_lean_flags}>")
endfunction()

foreach(dir base package ui dxver setup resources standins tests)
  add_subdirectory(${dir})
endforeach()
# The benchmarks, their payloads included, build only when asked for (the
# target `benchmarks`, scripts/bench.sh).
add_subdirectory(bench EXCLUDE_FROM_ALL)

foreach(library bc_base bc_handle_relative bc_package bc_portable bc_ui bc_dxver bc_setup)
  bc_lean_code(${library})
endforeach()

include(cmake/Medium.cmake)
