# The application shell: windows, dialogs and start-up.
add_library(quillet_app STATIC
    AppWindows.cpp
    AppWindows.h
    NoticeDialog.cpp
    NoticeDialog.h
    ProgramIcon.cpp
    ProgramIcon.h
    QuilletApplication.cpp
    QuilletApplication.h
    StartUp.cpp
    StartUp.h
    TAlreadyRun.cpp
    TAlreadyRun.h
    TDatabaseNotHere.cpp
    TDatabaseNotHere.h
    TQuilletMain.cpp
    TQuilletMain.h)
target_link_libraries(quillet_app
    PUBLIC quillet_settings quillet_store quillet_platform Qt6::Widgets
    PRIVATE quillet_common)

# The program, laid out in the portable program folder. Only main() names the concrete
# platform backend.
add_executable(quillet main.cpp)
target_link_libraries(quillet PRIVATE quillet_app quillet_platform_x11 quillet_common)
set_target_properties(quillet PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUILLET_DIST_DIR})
