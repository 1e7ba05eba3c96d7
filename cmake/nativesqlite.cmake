# Bulk reads may step SQLite's own statements on the Qt SQLite driver's connection handle.
# That is safe only when the driver and the program use the very same libsqlite3: a driver
# with its own SQLite inside (Qt's builds for Windows and its installers do that) would put
# two copies of SQLite on one handle. tovran_native_sqlite() turns the native reads on only
# when the driver plugin's runtime dependencies resolve to the library find_package(SQLite3)
# gives the program; a static or bundled driver, a missing library or any other doubt
# leaves the reads to Qt SQL.
#
# Run as a script (cmake -DPLUGIN=<file> -P nativesqlite.cmake) it prints the SQLite
# libraries the plugin file needs, resolved, one a line: file(GET_RUNTIME_DEPENDENCIES) is
# meant for script mode.

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    file(GET_RUNTIME_DEPENDENCIES
        LIBRARIES ${PLUGIN}
        RESOLVED_DEPENDENCIES_VAR resolved
        UNRESOLVED_DEPENDENCIES_VAR unresolved
        PRE_INCLUDE_REGEXES sqlite
        PRE_EXCLUDE_REGEXES .)
    foreach(lib ${resolved})
        message("${lib}")
    endforeach()
    if(unresolved)
        message(FATAL_ERROR "unresolved: ${unresolved}")
    endif()
    return()
endif()

set(TOVRAN_NATIVE_SQLITE_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

# The Qt SQLite driver plugin file, or empty when it cannot be found or is not a shared one.
function(tovran_qt_sqlite_plugin out)
    set(${out} "" PARENT_SCOPE)
    if(NOT TARGET Qt6::QSQLiteDriverPlugin AND Qt6Sql_DIR)
        # Some distributions leave out Qt6SqlPlugins.cmake, which would load the targets.
        find_package(Qt6QSQLiteDriverPlugin CONFIG QUIET PATHS ${Qt6Sql_DIR} NO_DEFAULT_PATH)
    endif()
    if(TARGET Qt6::QSQLiteDriverPlugin)
        get_target_property(type Qt6::QSQLiteDriverPlugin TYPE)
        if(type STREQUAL "MODULE_LIBRARY" OR type STREQUAL "SHARED_LIBRARY")
            get_target_property(plugin Qt6::QSQLiteDriverPlugin LOCATION)
        endif()
    elseif(QT6_INSTALL_PREFIX AND QT6_INSTALL_PLUGINS)
        file(GLOB plugin
            ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/sqldrivers/*qsqlite${CMAKE_SHARED_MODULE_SUFFIX})
    endif()
    list(LENGTH plugin count)
    if(count EQUAL 1 AND EXISTS "${plugin}")
        set(${out} ${plugin} PARENT_SCOPE)
    endif()
endfunction()

function(tovran_native_sqlite target)
    set(why "")
    find_package(SQLite3 QUIET)
    tovran_qt_sqlite_plugin(plugin)
    if(NOT SQLite3_FOUND)
        set(why "no SQLite3 library found for the program")
    elseif(NOT plugin)
        set(why "the Qt SQLite driver plugin was not found as a shared library")
    else()
        execute_process(
            COMMAND ${CMAKE_COMMAND} -DPLUGIN=${plugin} -P ${TOVRAN_NATIVE_SQLITE_SCRIPT}
            RESULT_VARIABLE failed OUTPUT_QUIET ERROR_VARIABLE needed
            ERROR_STRIP_TRAILING_WHITESPACE)
        string(REPLACE "\n" ";" needed "${needed}")
        file(REAL_PATH "${SQLite3_LIBRARY}" ours)
        set(theirs "")
        foreach(lib ${needed})
            file(REAL_PATH "${lib}" real)
            list(APPEND theirs ${real})
        endforeach()
        if(failed)
            set(why "the dependencies of ${plugin} could not be read: ${needed}")
        elseif(NOT theirs)
            set(why "${plugin} needs no SQLite library (its own copy is inside)")
        elseif(NOT theirs STREQUAL ours)
            set(why "${plugin} uses ${theirs}, the program ${ours}")
        endif()
    endif()
    if(why)
        message(NOTICE "Bulk reads through Qt SQL: ${why}")
        return()
    endif()
    message(NOTICE "Bulk reads step SQLite on the Qt driver's handle: both use ${ours}")
    target_link_libraries(${target} PRIVATE SQLite::SQLite3)
    target_compile_definitions(${target} PRIVATE TOVRAN_NATIVE_SQLITE)
endfunction()
