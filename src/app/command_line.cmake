# The command line: the step of the main window's first show that carries it out
# (its grammar lives in core). Included from src/app/CMakeLists.txt.
include_guard(GLOBAL)
add_library(vako_cmdline STATIC
    ${CMAKE_CURRENT_LIST_DIR}/command_line_step.cpp)
target_link_libraries(vako_cmdline PUBLIC vako_core vako_options PRIVATE vako_win shell32)
