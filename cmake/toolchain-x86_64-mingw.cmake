# The same sources as 64-bit Windows programs, for hosts whose kernel runs no
# 32-bit code: there the Win32 tests run this build under wine64.
set(BCSETUP_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
