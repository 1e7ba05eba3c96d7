# Shared by the build (layers.cmake) and the include check (checkincludes.cmake).

# The layer a path below src/ belongs to (empty: none).
function(tovran_layer_of relpath out)
    set(best "")
    set(bestlen 0)
    foreach(entry ${TOVRAN_LAYER_FOLDERS})
        string(REPLACE "=" ";" pair ${entry})
        list(GET pair 0 folder)
        list(GET pair 1 layer)
        string(LENGTH "${folder}/" len)
        string(SUBSTRING "${relpath}" 0 ${len} head)
        if(head STREQUAL "${folder}/" AND len GREATER bestlen)
            set(best ${layer})
            set(bestlen ${len})
        endif()
    endforeach()
    set(${out} "${best}" PARENT_SCOPE)
endfunction()
