# The Windows build's tests. GoogleTest comes from Debian's source package,
# built with the cross compiler; every suite is a Windows executable that
# ctest runs under Wine with the label `wine`. All of them share one
# throwaway Wine prefix: a setup test makes it, a cleanup test ends its
# Wine server and removes it.
set(LINKSCOPE_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
if(NOT EXISTS ${LINKSCOPE_GTEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${LINKSCOPE_GTEST_SOURCE}: install Debian's googletest package")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${LINKSCOPE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(LINKSCOPE_WINE_PREFIX_TOOL ${CMAKE_CURRENT_LIST_DIR}/wine_prefix.sh)
set(LINKSCOPE_WINE_STATE ${CMAKE_BINARY_DIR}/wine-prefix.path)

# linkscope_add_wine_test(NAME COMMAND arg...): runs COMMAND in the shared
# prefix (WINEPREFIX set; Windows executables are started with `wine`).
function(linkscope_add_wine_test name)
    add_test(NAME wine.${name} COMMAND ${LINKSCOPE_WINE_PREFIX_TOOL} run ${LINKSCOPE_WINE_STATE} ${ARGN})
    set_tests_properties(wine.${name} PROPERTIES LABELS wine FIXTURES_REQUIRED wine_prefix TIMEOUT 300)
endfunction()

# linkscope_add_tests(NAME LABEL src... LIBS lib...): as in the native
# build, but the suite runs as one test under Wine, whatever its label.
function(linkscope_add_tests name label)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gtest_main)
    linkscope_add_wine_test(${name} wine $<TARGET_FILE:${name}> --gtest_brief=1)
endfunction()

add_test(NAME wine.prefix_setup COMMAND ${LINKSCOPE_WINE_PREFIX_TOOL} setup ${LINKSCOPE_WINE_STATE})
set_tests_properties(wine.prefix_setup PROPERTIES LABELS wine FIXTURES_SETUP wine_prefix TIMEOUT 300)
add_test(NAME wine.prefix_cleanup COMMAND ${LINKSCOPE_WINE_PREFIX_TOOL} cleanup ${LINKSCOPE_WINE_STATE})
set_tests_properties(wine.prefix_cleanup PROPERTIES LABELS wine FIXTURES_CLEANUP wine_prefix TIMEOUT 120)

foreach(area host sim unit teams provider frame wine)
    add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/../${area} ${CMAKE_CURRENT_BINARY_DIR}/${area})
endforeach()
