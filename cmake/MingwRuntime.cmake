# The Windows binaries share one C++ run time (an exception thrown in
# kvlcore.dll is caught in the plug-in or the runner), so its DLLs are
# copied beside them into bin/, where the Windows loader looks first.
if(NOT (WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU"))
    return()
endif()

set(runtime_copies)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE source OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(source "${source}" ABSOLUTE)
    if(NOT EXISTS "${source}")
        message(FATAL_ERROR "mingw-w64 run-time library ${dll} not found (is g++-mingw-w64-x86-64-posix installed?)")
    endif()
    set(copy ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${dll})
    add_custom_command(OUTPUT ${copy}
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${copy}
                       DEPENDS ${source}
                       COMMENT "Copying ${dll} beside the Windows binaries")
    list(APPEND runtime_copies ${copy})
endforeach()
add_custom_target(mingw_runtime ALL DEPENDS ${runtime_copies})
