// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few operating-system calls the core makes, in one place.
#include <cstdint>
#include <string>

#include <sys/types.h>

namespace brelo::platform {

// Creates and opens a new file from pattern (ending in "XXXXXX", replaced in place); the
// descriptor, or -1 with errno set.
int CreateUniqueFile(std::string& pattern);
// Creates a new folder, mode 0700, from pattern (ending in "XXXXXX", replaced in place); false
// with errno set.
bool CreateUniqueFolder(std::string& pattern);
// Copies up to count bytes between descriptors in the kernel, advancing both offsets; the
// bytes copied, 0 or less when the kernel cannot (the caller then copies by hand).
std::int64_t KernelCopy(int in, off_t& inOffset, int out, off_t& outOffset, std::uint64_t count);
// Swaps two names in one step; false where the file system cannot.
bool ExchangeNames(const std::string& a, const std::string& b);
// The process's file-creation mask.
mode_t FileCreationMask();
// Bytes free to an unprivileged user in the file system of folder; -1 when unknown.
std::int64_t FreeBytes(const std::string& folder);
// Bytes of physical memory (4 GiB when the system does not say).
std::uint64_t PhysicalMemory();
// Keeps freed tile-sized blocks in the heap instead of handing them back to the system, so a
// redraw that frees and decodes a screenful of tiles does not fault in fresh pages each time.
void KeepFreedMemory();
// The opposite, for work whose buffers are large and made on many threads (raster warping):
// large blocks are mapped and unmapped, freed memory goes back to the system.
void ReturnFreedMemory();

}  // namespace brelo::platform
