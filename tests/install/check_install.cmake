# Installs the build into a fresh prefix and checks the runnable tree it lays out.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(path TOVRAN/bin/TOVRAN TOVRAN/bin/JXMSG.MDB TOVRAN/DAT/JXPARAM.INI TOVRAN/LOG
        TOVRAN/tools/norvmenu TOVRAN/tools/tovran-demodb TOVRAN/db/postgresql/business.sql
        share/applications/tovran.desktop share/icons/hicolor/scalable/apps/tovran.svg)
    if(NOT EXISTS ${PREFIX}/${path})
        message(FATAL_ERROR "missing after install: ${path}")
    endif()
endforeach()
if(NOT IS_DIRECTORY ${PREFIX}/TOVRAN/LOG)
    message(FATAL_ERROR "TOVRAN/LOG is not a folder")
endif()
file(READ ${PREFIX}/share/applications/tovran.desktop desktop)
if(NOT desktop MATCHES "Exec=${PREFIX}/TOVRAN/bin/TOVRAN")
    message(FATAL_ERROR "the desktop entry does not start the installed program:\n${desktop}")
endif()
message(STATUS "install layout under ${PREFIX}: 1 passed, 0 failed")
