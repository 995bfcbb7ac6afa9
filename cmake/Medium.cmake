# The distribution medium, laid out as a folder like the CD:
#   Setup\BCSetup.exe, Tools\DirectX9.0c\dxsetup.exe, SetupMgr.exe, SHA256SUMS
# and an ISO 9660 image of it with Joliet names, mountable on Windows.
# BCSetup.exe is signed already when the build signs it (SignProgram.cmake);
# SHA256SUMS lists the digest of every other file of the medium.
# The image is the same bytes in every build of the same sources: its volume
# dates and every file's dates are the build's time (Reproducible.cmake);
# -r gives every file the same owner and modes; xorriso lays the files out
# in the order of their names.
set(BCSETUP_MEDIUM_DIR ${PROJECT_BINARY_DIR}/medium)
set(BCSETUP_MEDIUM_ISO ${PROJECT_BINARY_DIR}/Brixelcast.iso)
add_custom_command(
  OUTPUT ${BCSETUP_MEDIUM_ISO}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${BCSETUP_MEDIUM_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${BCSETUP_MEDIUM_DIR}/Setup ${BCSETUP_MEDIUM_DIR}/Tools/DirectX9.0c
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:BCSetup> ${BCSETUP_MEDIUM_DIR}/Setup/BCSetup.exe
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:dxsetup> ${BCSETUP_MEDIUM_DIR}/Tools/DirectX9.0c/dxsetup.exe
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:SetupMgr> ${BCSETUP_MEDIUM_DIR}/SetupMgr.exe
  COMMAND ${CMAKE_COMMAND} -DFOLDER=${BCSETUP_MEDIUM_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/WriteChecksums.cmake
  COMMAND xorriso -as mkisofs -quiet -J -r -V BRIXELCAST
          --modification-date=${BCSETUP_SOURCE_DATE}00 --set_all_file_dates =${BCSETUP_SOURCE_DATE_EPOCH}
          -o ${BCSETUP_MEDIUM_ISO} ${BCSETUP_MEDIUM_DIR}
  DEPENDS BCSetup dxsetup SetupMgr $<TARGET_FILE:BCSetup> $<TARGET_FILE:dxsetup> $<TARGET_FILE:SetupMgr>
          ${PROJECT_SOURCE_DIR}/cmake/WriteChecksums.cmake
  COMMENT "Laying out the medium and its ISO image"
  VERBATIM)
add_custom_target(medium ALL DEPENDS ${BCSETUP_MEDIUM_ISO})
