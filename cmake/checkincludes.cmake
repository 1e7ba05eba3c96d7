# Checks the includes of a layer's sources (run by tovran_check_includes in layers.cmake):
# a quoted include must name a header of the layer itself or of a layer below it, an
# include of a Qt module's folder (<QtWidgets/...>) a module the layer links.
cmake_minimum_required(VERSION 3.21)
include(${CONFIG})

include(${CMAKE_CURRENT_LIST_DIR}/layerof.cmake)

string(JOIN ", " allowedText ${ALLOWED_LAYERS})
set(faults "")
foreach(file ${FILES})
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
    file(RELATIVE_PATH shown ${SOURCE_ROOT} ${file})
    foreach(line ${lines})
        if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
            set(header ${CMAKE_MATCH_1})
            tovran_layer_of(${header} owner)
            if(owner AND NOT owner IN_LIST ALLOWED_LAYERS)
                list(APPEND faults "${shown}: #include \"${header}\" is a header of the ${owner} layer, which the ${LAYER} layer may not include (only ${allowedText})")
            endif()
        elseif(line MATCHES "#[ \t]*include[ \t]*<Qt([A-Za-z]+)/")
            set(module ${CMAKE_MATCH_1})
            if(NOT module IN_LIST ALLOWED_QT)
                list(APPEND faults "${shown}: ${line} is a header of Qt ${module}, which the ${LAYER} layer does not link")
            endif()
        endif()
    endforeach()
endforeach()

if(faults)
    string(JOIN "\n" text ${faults})
    message(FATAL_ERROR "Wrong-way includes:\n${text}")
endif()
