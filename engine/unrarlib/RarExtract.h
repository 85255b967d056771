#pragma once

#include <cstddef>

// Finds the entry `name` in the RAR 2.0 archive at the path `archive` and decompresses it whole.
// Names match ignoring case, with `\` and `/` alike. On success *output is a block from malloc,
// owned by the caller, holding *size bytes followed by one NUL byte, and the result is non-zero;
// on failure *output is null, *size 0 and the result 0. password may be null; encrypted entries
// are not decrypted, so they fail their CRC check.
//
// Calls are serialised: one extraction runs at a time in the process. Diagnostics go to the
// reader's debug log, "debug_unrar.txt" in /tmp/harnengine-debug when that folder exists.
int RarExtract(char** output, unsigned long* size, const char* name, const char* archive, const char* password);

// The same for an archive already in memory.
int RarExtractFromMemory(char** output, unsigned long* size, const char* name, const void* archive,
                         size_t archiveLength, const char* password);
