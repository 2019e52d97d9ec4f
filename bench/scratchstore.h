// A scratch folder of the benchmark's own with a registry store that holds
// both component modules, so a benchmark never touches the user's store.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

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
    ScratchStore(const ScratchStore &) = delete;
    ScratchStore &operator=(const ScratchStore &) = delete;
};
