#pragma once

#include <cstdio>

// The real flushes behind both backends: what they have written reaches the medium before they
// return, so that a power cut afterwards cannot take it back.
namespace platform {

// The stream's buffer into the file, then the file's data and size onto the medium (fsync).
int SyncStreamData(FILE* stream);
// A directory's entries onto the medium (fsync of the directory): names made, renamed or removed.
int SyncDirectoryEntries(const char* path);

}  // namespace platform
