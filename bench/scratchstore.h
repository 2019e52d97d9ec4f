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
#include <string_view>
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

    // The file `name` here, `size` bytes long, with `bytes` written at `at`
    // and holes elsewhere (read as zeros, they take no disk); "" when it
    // cannot be made, which is said.
    std::string sparseFile(const char *name, int64_t size, int64_t at = 0,
                           std::string_view bytes = {}) const
    {
        const std::string path = (dir / name).string();
        const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
        const bool made =
            fd >= 0 && ::ftruncate(fd, off_t(size)) == 0 &&
            ::pwrite(fd, bytes.data(), bytes.size(), off_t(at)) == ssize_t(bytes.size());
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
