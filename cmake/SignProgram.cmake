# Authenticode signing of the setup program with osslsigncode (SHA-256).
#
# As a script, signs one file in place:
#   cmake -DPROGRAM=<exe> -DPKCS12=<cert.p12> [-DTIMESTAMP_URL=<url>]
#         [-DDESCRIPTION=<text>] -P SignProgram.cmake
#   The password of the PKCS#12 file comes from the environment variable
#   BCSETUP_SIGN_PASSWORD (never from the command line, where other users of
#   the machine could read it). When signing fails the program is deleted,
#   so that no unsigned program passes for a signed one and the next build
#   links and signs it again.
#
# In the build: bc_sign_program(<target>) signs the target's file right after
# it is linked, when BCSETUP_SIGN_PKCS12 is set; everything made from the
# program afterwards (the medium, the ISO) holds the signed file.
if(CMAKE_SCRIPT_MODE_FILE)
  if(NOT PROGRAM OR NOT PKCS12)
    message(FATAL_ERROR "SignProgram.cmake needs -DPROGRAM= and -DPKCS12=")
  endif()
  find_program(osslsigncode osslsigncode)
  if(NOT osslsigncode)
    file(REMOVE "${PROGRAM}")
    message(FATAL_ERROR "osslsigncode not found (scripts/install-deps.sh installs it)")
  endif()
  set(timestamp "")
  if(TIMESTAMP_URL)
    set(timestamp -ts "${TIMESTAMP_URL}")
  endif()
  if(NOT DESCRIPTION)
    set(DESCRIPTION "Brixelcast setup")
  endif()
  # osslsigncode reads the password from a file: one that only we can read
  # from the moment it exists (mktemp makes it new, under a name nobody can
  # guess, with mode 0600), removed right after. The shell takes the password
  # from its environment, so it is on no command line either.
  execute_process(
    COMMAND sh -c [[f=$(mktemp "$1.XXXXXXXX") && { printf %s "$BCSETUP_SIGN_PASSWORD" > "$f" || { rm -f "$f"; exit 1; }; } && printf %s "$f"]]
            sh "${PROGRAM}.pass"
    RESULT_VARIABLE result OUTPUT_VARIABLE password_file ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    file(REMOVE "${PROGRAM}")
    message(FATAL_ERROR "Signing ${PROGRAM} failed: the password file could not be written:\n${output}")
  endif()
  execute_process(
    COMMAND "${osslsigncode}" sign -pkcs12 "${PKCS12}" -readpass "${password_file}" -h sha256
            -n "${DESCRIPTION}" ${timestamp} -in "${PROGRAM}" -out "${PROGRAM}.signed"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  file(REMOVE "${password_file}")
  if(NOT result EQUAL 0)
    file(REMOVE "${PROGRAM}" "${PROGRAM}.signed")
    message(FATAL_ERROR "Signing ${PROGRAM} failed:\n${output}")
  endif()
  file(RENAME "${PROGRAM}.signed" "${PROGRAM}")
  return()
endif()

set(BCSETUP_SIGN_PKCS12 "" CACHE FILEPATH
  "Sign BCSetup.exe with this PKCS#12 certificate (password in the environment variable BCSETUP_SIGN_PASSWORD)")
set(BCSETUP_SIGN_TIMESTAMP_URL "" CACHE STRING "Time-stamping server for the signature (optional)")
set(BCSETUP_SIGN_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")

function(bc_sign_program target)
  if(NOT BCSETUP_SIGN_PKCS12)
    return()
  endif()
  if(NOT EXISTS "${BCSETUP_SIGN_PKCS12}")
    message(FATAL_ERROR "BCSETUP_SIGN_PKCS12: no file '${BCSETUP_SIGN_PKCS12}'")
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${target}> -DPKCS12=${BCSETUP_SIGN_PKCS12}
            -DTIMESTAMP_URL=${BCSETUP_SIGN_TIMESTAMP_URL} -P ${BCSETUP_SIGN_SCRIPT}
    COMMENT "Signing $<TARGET_FILE_NAME:${target}>" VERBATIM)
endfunction()
