#pragma once

// The memory of this process as the system sees it.
namespace ProcessMemory {

// Hands the memory the program has freed back to the system. The C library
// keeps freed blocks for later use, so a window that let go of its pictures
// would otherwise leave the program as large as it was with them.
void returnFreed();

// Makes blocks of a megabyte and more (a decoded picture) come straight from
// the system and go straight back when freed. The C library otherwise serves
// them from a pool that grows with the largest picture ever decoded and keeps
// that size for the program's life, one pool per thread that decodes.
void returnLargeBlocksAtOnce();

} // namespace ProcessMemory
