#pragma once

#include <QString>
#include <cstddef>
#include <malloc.h>

// Heap use as glibc's allocator counts it (Linux only): bytes handed out by malloc, small
// and mapped blocks alike.
inline size_t HeapBytesInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// What a string's own text block takes on the heap (0 for a null or static one).
inline size_t HeapBytesOfText(const QString &text)
{
    QArrayData *block = const_cast<QString &>(text).data_ptr().d_ptr();
    if (!block)
        return 0;
    return malloc_usable_size(block) + sizeof(size_t); // the chunk's size word
}
