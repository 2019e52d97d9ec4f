// Reading and rewriting one store file safely.
#pragma once

#include "platform/registry/regformat.h"

#include <functional>
#include <memory>
#include <string>

namespace nv::reg::detail {

enum class FileState {
    Missing,    // no such file: an empty store
    Ok,         // read and well-formed
    Damaged,    // not a store file (or not a regular file): treated as missing, never rewritten
    Unreadable, // could not be read (permissions, I/O): treated as missing
};

struct LoadedFile
{
    FileState state = FileState::Missing;
    // Never null; empty unless the state is Ok. Shared with later reads of
    // the same unchanged file.
    std::shared_ptr<const Document> doc;
    // Damaged: why, and the line where reading stopped ("line 3: ...").
    std::string problem;
    // Unreadable: the errno of the open or read that failed.
    int error = 0;
};

// A file read before and unchanged since (same file, size and modification
// time) is not parsed again: the registration of one module reads the store
// some fifty times.
LoadedFile loadStoreFile(const std::string &path);

// Reads the file, lets `change` edit it and writes the result, under an
// exclusive lock on a lock file beside the store as `path` names it (and,
// for a linked store, beside the file it leads to), so concurrent writers
// (threads or processes) lose nothing. The new text goes to a temporary file
// in the same directory that is synced and renamed over the old one, keeping
// its mode; temporary files writers that were killed left there are removed.
// When `change` returns anything but Ok nothing is written and that status is
// returned. A damaged file is left alone: Damaged. A file this process may
// not write (no write bit, read-only file system) is not replaced, whatever
// its directory allows: AccessDenied. A result the reader would refuse (too
// large, a line too long, a key too deep) is not written either. All of this
// is known before the lock is taken: a write that is refused, fails or changes
// nothing leaves no folder, lock or file behind.
Status modifyStoreFile(const std::string &path, const std::function<Status(Document &)> &change);

// NORVALE_REGISTRY_TARGET=machine sends class registrations to the machine part.
bool writeTargetIsMachine();

// The files a read of `root` consults, in order of precedence.
std::vector<std::string> readFilesFor(Root root);
// The file a write of `root` changes.
std::string writeFileFor(Root root);

} // namespace nv::reg::detail
