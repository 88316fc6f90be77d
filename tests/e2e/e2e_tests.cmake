# End-to-end tests of VakoQuit.exe. They start the program and other GUI programs,
# so none of them runs beside another.
function(vako_add_e2e_test name)
    vako_add_test(${name} ${ARGN} LIBS vako_e2e SERIAL)
    add_dependencies(${name} VakoQuit)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e)
endfunction()

vako_add_e2e_test(e2e_main_window ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp)
add_dependencies(e2e_main_window quit_target)

vako_add_e2e_test(e2e_quit_all ${CMAKE_CURRENT_LIST_DIR}/quit_all_test.cpp)
add_dependencies(e2e_quit_all quit_target quit_target64)

vako_add_e2e_test(e2e_adding ${CMAKE_CURRENT_LIST_DIR}/adding_test.cpp)
target_link_libraries(e2e_adding PRIVATE vako_shell)
add_dependencies(e2e_adding quit_target quit_target64)

vako_add_e2e_test(e2e_command_line ${CMAKE_CURRENT_LIST_DIR}/command_line_test.cpp)
target_link_libraries(e2e_command_line PRIVATE vako_shell)
target_include_directories(e2e_command_line PRIVATE ${CMAKE_SOURCE_DIR}/tools/targets/launch)
add_dependencies(e2e_command_line quit_target launch_echo)

vako_add_e2e_test(e2e_restore_after ${CMAKE_CURRENT_LIST_DIR}/restore_after_test.cpp)
target_link_libraries(e2e_restore_after PRIVATE vako_shell)
add_dependencies(e2e_restore_after quit_target launch_launcher)

vako_add_e2e_test(e2e_dropping ${CMAKE_CURRENT_LIST_DIR}/dropping_test.cpp)
target_include_directories(e2e_dropping PRIVATE ${CMAKE_SOURCE_DIR}/tools/targets/drag)
add_dependencies(e2e_dropping quit_target drag_source)

vako_add_e2e_test(e2e_run_all ${CMAKE_CURRENT_LIST_DIR}/run_all_test.cpp)
target_include_directories(e2e_run_all PRIVATE ${CMAKE_SOURCE_DIR}/tools/targets/launch)
add_dependencies(e2e_run_all launch_echo)

vako_add_e2e_test(e2e_faults ${CMAKE_CURRENT_LIST_DIR}/faults_test.cpp)
target_link_libraries(e2e_faults PRIVATE vako_shell)
add_dependencies(e2e_faults quit_target)

vako_add_e2e_test(e2e_properties ${CMAKE_CURRENT_LIST_DIR}/properties_test.cpp)
add_dependencies(e2e_properties quit_target VakoHook)

vako_add_e2e_test(e2e_options ${CMAKE_CURRENT_LIST_DIR}/options_test.cpp)
target_link_libraries(e2e_options PRIVATE shell_test_support)
target_include_directories(e2e_options PRIVATE ${CMAKE_SOURCE_DIR}/tests/shell)
add_dependencies(e2e_options quit_target)

# The zip of make dist, unpacked and run; a missing zip fails with a hint.
vako_add_e2e_test(e2e_dist ${CMAKE_CURRENT_LIST_DIR}/dist_test.cpp)
target_link_libraries(e2e_dist PRIVATE shell_test_support)
target_include_directories(e2e_dist PRIVATE ${CMAKE_SOURCE_DIR}/tests/shell)
target_compile_definitions(e2e_dist PRIVATE
    VAKO_DIST_ZIP="${CMAKE_SOURCE_DIR}/dist/VakoQuit-${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.zip")
add_dependencies(e2e_dist quit_target)

vako_add_e2e_test(e2e_display ${CMAKE_CURRENT_LIST_DIR}/display_test.cpp)

# "-s" ends the session of the Wine prefix it runs in, so its test never runs in the
# suite's prefix: the script gives it a prefix of its own and removes it afterwards,
# and the cleanup fixture does so again should the run itself be cut off.
add_executable(e2e_shutdown ${CMAKE_CURRENT_LIST_DIR}/shutdown_test.cpp)
target_link_libraries(e2e_shutdown PRIVATE vako_options GTest::gtest_main vako_e2e)
target_include_directories(e2e_shutdown PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e)
add_dependencies(e2e_shutdown VakoQuit quit_target)
set(vako_private_prefix ${CMAKE_SOURCE_DIR}/scripts/private-prefix.sh shutdown-prefix)
add_test(NAME Shutdown.OnlyWhenEveryProgramQuit
         COMMAND ${vako_private_prefix} $<TARGET_FILE:e2e_shutdown>)
add_test(NAME Shutdown.PrivatePrefixIsRemoved COMMAND ${vako_private_prefix} --clean)
set_tests_properties(Shutdown.OnlyWhenEveryProgramQuit Shutdown.PrivatePrefixIsRemoved
    PROPERTIES RESOURCE_LOCK desktop ENVIRONMENT VAKO_BUILD_DIR=${CMAKE_BINARY_DIR})
set_tests_properties(Shutdown.OnlyWhenEveryProgramQuit PROPERTIES
    FIXTURES_REQUIRED shutdown_prefix)
set_tests_properties(Shutdown.PrivatePrefixIsRemoved PROPERTIES
    FIXTURES_CLEANUP shutdown_prefix)
