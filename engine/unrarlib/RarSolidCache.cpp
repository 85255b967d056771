#include "engine/unrarlib/RarSolidCache.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

bool ReadArchiveIdentity(int fileDescriptor, RarArchiveIdentity& identity)
{
#ifdef _WIN32
    (void)fileDescriptor;
    (void)identity;
    return false;
#else
    struct stat info {};
    if (fstat(fileDescriptor, &info) != 0) return false;
    identity.device = static_cast<uint64_t>(info.st_dev);
    identity.inode = static_cast<uint64_t>(info.st_ino);
    identity.size = static_cast<uint64_t>(info.st_size);
    identity.modifiedNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return true;
#endif
}
