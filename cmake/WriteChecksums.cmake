# Writes SHA256SUMS into a folder: the SHA-256 of every file below it, one
# "digest  relative/path" line each, sorted by path, the format sha256sum -c
# reads (on Windows: certutil -hashfile <file> SHA256 gives the same digest).
#   cmake -DFOLDER=<folder> -P WriteChecksums.cmake
if(NOT FOLDER OR NOT IS_DIRECTORY "${FOLDER}")
  message(FATAL_ERROR "WriteChecksums.cmake needs -DFOLDER=<an existing folder>")
endif()
file(REMOVE "${FOLDER}/SHA256SUMS")
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${FOLDER}" "${FOLDER}/*")
list(SORT files)
set(sums "")
foreach(name IN LISTS files)
  file(SHA256 "${FOLDER}/${name}" digest)
  string(APPEND sums "${digest}  ${name}\n")
endforeach()
file(WRITE "${FOLDER}/SHA256SUMS" "${sums}")
