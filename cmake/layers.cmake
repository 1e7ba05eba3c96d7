# The program's layers, each one library that links only the layers below it.
#
#   base           common/                   numbers, dates, errors, log, units, settings
#                                            file, start-up state, the presenter hook
#   platform_core  platform/ (but the three  database connection, settings store, system
#                  folders of platform_ui)   information, instance lock
#   platform_ui    platform/grid, print,     grid, print document, panels, message boxes,
#                  widgets                   sound
#   data           data/                     dialects, connection set-up, parameters,
#                                            messages, rights, suite settings
#   stock          stock/                    the stock month, records and calculation
#   windows        forms/ dialogs/           windows, dialogs, printing, grid loading,
#                  printing/ stockwindow/    widget helpers, error boxes
#   program        startup/ (and main.cpp)   start-up
#
# A folder belongs to the layer that names it; a longer folder wins over a shorter one
# (platform/grid is platform_ui, platform/db is platform_core). Every layer target runs a
# check of its sources' includes before it compiles (cmake/checkincludes.cmake): a quoted
# include of a higher layer's header, or an include of a Qt module the layer does not
# link, fails the build. Headers of Qt modules not linked are not found either.

set(TOVRAN_LAYER_FOLDERS
    common=base
    platform=platform_core
    platform/db=platform_core
    platform/grid=platform_ui
    platform/print=platform_ui
    platform/widgets=platform_ui
    data=data
    stock=stock
    forms=windows
    dialogs=windows
    printing=windows
    stockwindow=windows
    startup=program)

# The layers each layer links (directly) and the Qt modules it links itself.
set(TOVRAN_LAYER_LINKS_base "")
set(TOVRAN_LAYER_LINKS_platform_core base)
set(TOVRAN_LAYER_LINKS_platform_ui base)
set(TOVRAN_LAYER_LINKS_data platform_core)
set(TOVRAN_LAYER_LINKS_stock data)
set(TOVRAN_LAYER_LINKS_windows stock platform_ui)
set(TOVRAN_LAYER_LINKS_program windows)
set(TOVRAN_LAYER_QT_base Core)
set(TOVRAN_LAYER_QT_platform_core Core Sql)
set(TOVRAN_LAYER_QT_platform_ui Core Gui Widgets PrintSupport)
set(TOVRAN_LAYER_QT_data Core Sql)
set(TOVRAN_LAYER_QT_stock Core Sql)
set(TOVRAN_LAYER_QT_windows Core Gui Widgets Sql PrintSupport Charts)
set(TOVRAN_LAYER_QT_program Core Gui Widgets)
set(TOVRAN_LAYERS base platform_core platform_ui data stock windows program)

include(${CMAKE_CURRENT_LIST_DIR}/layerof.cmake)

# The layer itself and every layer it reaches through its links.
function(tovran_layers_below layer out)
    set(result ${layer})
    foreach(dep ${TOVRAN_LAYER_LINKS_${layer}})
        tovran_layers_below(${dep} sub)
        list(APPEND result ${sub})
    endforeach()
    list(REMOVE_DUPLICATES result)
    set(${out} "${result}" PARENT_SCOPE)
endfunction()

# Makes target check the includes of the given sources against the rules of layer before
# it compiles. Used by the layer libraries and by the tests' wrong-way probes.
function(tovran_check_includes target layer)
    tovran_layers_below(${layer} allowed)
    set(qt "")
    foreach(l ${allowed})
        list(APPEND qt ${TOVRAN_LAYER_QT_${l}})
    endforeach()
    list(REMOVE_DUPLICATES qt)
    set(config ${CMAKE_BINARY_DIR}/layers/${target}.cmake)
    set(stamp ${CMAKE_BINARY_DIR}/layers/${target}.checked)
    string(JOIN "\n" text
        "set(LAYER ${layer})"
        "set(ALLOWED_LAYERS ${allowed})"
        "set(ALLOWED_QT ${qt})"
        "set(TOVRAN_LAYER_FOLDERS ${TOVRAN_LAYER_FOLDERS})"
        "set(SOURCE_ROOT \"${CMAKE_SOURCE_DIR}\")"
        "set(FILES \"${ARGN}\")"
        "")
    file(CONFIGURE OUTPUT ${config} CONTENT "${text}")
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DCONFIG=${config} -P ${CMAKE_SOURCE_DIR}/cmake/checkincludes.cmake
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${ARGN} ${config} ${CMAKE_SOURCE_DIR}/cmake/checkincludes.cmake
            ${CMAKE_SOURCE_DIR}/cmake/layerof.cmake
        COMMENT "Checking the includes of ${target} (${layer} layer)"
        VERBATIM)
    add_custom_target(${target}_includes DEPENDS ${stamp})
    add_dependencies(${target} ${target}_includes)
endfunction()

# One static library per layer from the src/ folders that belong to it.
function(tovran_add_layers)
    file(GLOB_RECURSE all CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*.cpp
        ${CMAKE_SOURCE_DIR}/src/*.h)
    foreach(file ${all})
        file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/src ${file})
        tovran_layer_of(${rel} layer)
        if(layer)
            list(APPEND sources_${layer} ${file})
        elseif(NOT rel STREQUAL "main.cpp")
            message(FATAL_ERROR "src/${rel} is in no layer's folder (cmake/layers.cmake)")
        endif()
    endforeach()
    foreach(layer ${TOVRAN_LAYERS})
        set(target tovran_${layer})
        add_library(${target} STATIC ${sources_${layer}})
        target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src)
        set(qtlibs "")
        foreach(module ${TOVRAN_LAYER_QT_${layer}})
            list(APPEND qtlibs Qt6::${module})
        endforeach()
        set(links "")
        foreach(dep ${TOVRAN_LAYER_LINKS_${layer}})
            list(APPEND links tovran_${dep})
        endforeach()
        target_link_libraries(${target} PUBLIC ${links} ${qtlibs})
        tovran_check_includes(${target} ${layer} ${sources_${layer}})
    endforeach()
endfunction()
