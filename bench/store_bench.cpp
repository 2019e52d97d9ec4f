// Unregistering a module whose type-library key holds many subkeys, at two
// sizes: near-linear store code takes about ten times as long for ten times
// the keys. Also a parse and a write of the same store on their own.
#include "platform/registry/regformat.h"
#include "platform/registry/registry.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

using Entry = long (*)();

// A store of the benchmark's own, never the user's, with the module registered.
struct Store
{
    fs::path dir;
    std::string registered; // the store file right after registration
    std::string libKey;     // HKEY_CLASSES_ROOT\TypeLib\{...}
    Entry unregister = nullptr;

    Store()
    {
        char tmpl[] = "/tmp/norvale-store-bench-XXXXXX";
        dir = mkdtemp(tmpl);
        setenv("NORVALE_REGISTRY_DIR", dir.c_str(), 1);
        void *module = dlopen(NV_HEXOPS_MODULE, RTLD_NOW | RTLD_LOCAL);
        auto reg = module ? reinterpret_cast<Entry>(dlsym(module, "DllRegisterServer")) : nullptr;
        unregister =
            module ? reinterpret_cast<Entry>(dlsym(module, "DllUnregisterServer")) : nullptr;
        if (!reg || !unregister || reg() != 0)
            std::abort();
        registered = read();
        auto libs = nv::reg::subKeys(nv::reg::Root::ClassesRoot, "TypeLib");
        if (libs.size() != 1)
            std::abort();
        libKey = "HKEY_CLASSES_ROOT\\TypeLib\\" + libs.front();
    }
    ~Store() { fs::remove_all(dir); }

    fs::path file() const { return dir / "registry.reg"; }
    std::string read() const
    {
        std::ifstream in(file(), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void write(const std::string &text) const
    {
        std::ofstream(file(), std::ios::binary | std::ios::trunc) << text;
    }
    // The registered store with `n` more subkeys below the type-library key.
    std::string withSubkeys(int n) const
    {
        std::string text = registered;
        for (int i = 0; i < n; ++i)
            text += "[" + libKey + "\\extra" + std::to_string(i) + "]\n\"v\"=dword:00000001\n\n";
        return text;
    }
};

Store &store()
{
    static Store s;
    return s;
}

void BM_UnregisterWithSubkeys(benchmark::State &state)
{
    const std::string text = store().withSubkeys(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        store().write(text);
        state.ResumeTiming();
        if (store().unregister() != 0)
            state.SkipWithError("unregister failed");
    }
    state.counters["store_MiB"] = double(text.size()) / (1 << 20);
}
BENCHMARK(BM_UnregisterWithSubkeys)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

void BM_ParseAndWrite(benchmark::State &state)
{
    const std::string text = store().withSubkeys(int(state.range(0)));
    for (auto _ : state) {
        auto doc = nv::reg::detail::Document::parse(text);
        doc->ensureKey(store().libKey + "\\one-more");
        benchmark::DoNotOptimize(doc->childNames(store().libKey));
        benchmark::DoNotOptimize(doc->serialize());
    }
}
BENCHMARK(BM_ParseAndWrite)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
