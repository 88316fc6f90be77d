# Adding programs: included from src/app/CMakeLists.txt (and by the shell tests
# until then).
if(TARGET vako_registration)
    return()
endif()
add_library(vako_registration STATIC ${CMAKE_CURRENT_LIST_DIR}/registration.cpp
    ${CMAKE_CURRENT_LIST_DIR}/running_registration.cpp)
target_link_libraries(vako_registration PUBLIC vako_dialogs vako_shell vako_quit vako_core vako_win
    comdlg32)
