// A scratch folder of the benchmark's own with a registry store that holds
// both component modules, so a benchmark never touches the user's store.
// What a benchmark makes in it goes with it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

struct ScratchStore
{
    std::filesystem::path dir;

    ScratchStore()
    {
        char tmpl[] = "/tmp/norvale-bench-XXXXXX";
        dir = mkdtemp(tmpl);
        setenv("NORVALE_REGISTRY_DIR", (dir / "registry").c_str(), 1);
        for (const char *m : {NV_HEXOPS_MODULE, NV_STRINGOPS_MODULE}) {
            const std::string cmd =
                std::string("'") + NV_REGTOOL + "' register '" + m + "' >/dev/null";
            if (std::system(cmd.c_str()) != 0)
                std::fprintf(stderr, "cannot register %s\n", m);
        }
    }
    ~ScratchStore() { std::filesystem::remove_all(dir); }

    // A file of `size` bytes that are all holes (zeros, no disk used), or ""
    // when it cannot be made, which is said.
    std::string sparseFile(const char *name, int64_t size) const
    {
        const std::string path = (dir / name).string();
        const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
        const bool made = fd >= 0 && ::ftruncate(fd, off_t(size)) == 0;
        if (fd >= 0)
            ::close(fd);
        if (made)
            return path;
        std::perror(("cannot make " + path).c_str());
        return {};
    }
    ScratchStore(const ScratchStore &) = delete;
    ScratchStore &operator=(const ScratchStore &) = delete;
};
