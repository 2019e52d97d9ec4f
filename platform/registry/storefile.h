// Reading and rewriting one store file safely.
#pragma once

#include "regformat.h"

#include <functional>
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
    Document doc;
};

// Store files larger than this are not read: no store of ours gets near it.
constexpr size_t kMaxStoreFileSize = 16u << 20;

LoadedFile loadStoreFile(const std::string &path);

// Reads the file, lets `change` edit it and writes the result, all under an
// exclusive lock on a lock file beside it, so concurrent writers (threads or
// processes) lose nothing. The new text goes to a temporary file in the same
// directory that is synced and renamed over the old one, keeping its mode.
// When `change` returns anything but Ok nothing is written and that status is
// returned. A damaged file is left alone: Damaged.
Status modifyStoreFile(const std::string &path, const std::function<Status(Document &)> &change);

// NORVALE_REGISTRY_TARGET=machine sends class registrations to the machine part.
bool writeTargetIsMachine();

// The files a read of `root` consults, in order of precedence.
std::vector<std::string> readFilesFor(Root root);
// The file a write of `root` changes.
std::string writeFileFor(Root root);

} // namespace nv::reg::detail
