// Item ID lists as the shell lays them out: a chain of items, each starting
// with a 16-bit little-endian byte count that includes the count itself,
// ended by a 16-bit zero. Plain byte arithmetic, no platform headers; the
// caller passes the allocator (the shell's, for lists handed to the shell).
#pragma once

#include <cstddef>

namespace glyph::idlist {

using Allocator = void* (*)(size_t);

// Bytes of the list including its terminator; 0 for an absent list.
size_t Size(const void* list);
// A new zero-filled list holding the items of first (may be absent) then
// those of second. Null when allocation fails.
void* Join(const void* first, const void* second, Allocator alloc);
// A new single-level list holding the first item of list.
void* CopyFirst(const void* list, Allocator alloc);

}  // namespace glyph::idlist
