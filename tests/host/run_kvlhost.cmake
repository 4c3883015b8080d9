# Runs kvlhost once and checks its exit code, stdout and stderr.
#   KVLHOST      the runner
#   ARGS         its arguments, separated by "|"
#   EXIT         the expected exit code
#   STDOUT_FILE  optional: stdout must equal this file
#   STDOUT_REGEX optional: stdout must match
#   STDERR_REGEX optional: stderr must match; "EMPTY": stderr must be empty
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND ${KVLHOST} ${args}
                RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(report "kvlhost ${args}\nexit: ${code}\nstdout:\n${out}\nstderr:\n${err}")
if(NOT code STREQUAL EXIT)
    message(FATAL_ERROR "expected exit ${EXIT}\n${report}")
endif()
if(DEFINED STDOUT_FILE)
    file(READ ${STDOUT_FILE} expected)
    if(NOT out STREQUAL expected)
        message(FATAL_ERROR "stdout differs from ${STDOUT_FILE}\n${report}")
    endif()
endif()
if(DEFINED STDOUT_REGEX AND NOT out MATCHES "${STDOUT_REGEX}")
    message(FATAL_ERROR "stdout does not match ${STDOUT_REGEX}\n${report}")
endif()
if(STDERR_REGEX STREQUAL "EMPTY")
    if(NOT err STREQUAL "")
        message(FATAL_ERROR "stderr is not empty\n${report}")
    endif()
elseif(DEFINED STDERR_REGEX AND NOT err MATCHES "${STDERR_REGEX}")
    message(FATAL_ERROR "stderr does not match ${STDERR_REGEX}\n${report}")
endif()
