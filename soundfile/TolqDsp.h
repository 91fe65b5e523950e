// File access to sound data and the axis step rule. A handle is a plain file
// descriptor; reads are positioned, so the playback thread and the drawing
// thread may read one handle at the same time.
#pragma once

#include <cstddef>
#include <cstdint>

struct SfInfo;

// What sfstat reports of an open file.
struct SfStat {
    int64_t size = 0;      // bytes
    int64_t mtime = 0;     // modification time, seconds since the epoch
    int32_t mtimeNsec = 0; // and the nanoseconds within that second
    uint64_t device = 0;   // with the inode, which file this is
    uint64_t inode = 0;
    uint32_t owner = 0; // user id
};

// Opens info.path for reading (mode 'r' only) and stores the handle in
// info.handle. Returns non-zero on success. Only regular files open: anything
// else fails with errno ENODEV (EISDIR for a folder), without waiting for a
// writer on a named pipe.
int sfopen(SfInfo& info, char mode);

// Reads up to count bytes at the absolute byte offset. Returns the bytes read;
// 0 at or beyond the end of the file, -1 on error. Never writes more than count.
int64_t sfread(int handle, void* buffer, int64_t count, int64_t offset);

// Fills st for the open file; -1 on failure, 0 on success.
int sfstat(int handle, SfStat& st);

void sfclose(int handle);
