// register, unregister and resources: the commands that work on a module file.

#include "tools/norvale-reg/commands.h"

#include "platform/com/comtypes.h"
#include "platform/com/guid.h"
#include "platform/com/resources/modulecheck.h"
#include "platform/com/resources/resourcereader.h"
#include "platform/com/status/statustext.h"
#include "platform/registry/registry.h"
#include "platform/registry/storefile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace nv::regtool {

namespace {

// A module is named by its file (no search of the library path, which the
// check before loading could not follow), made absolute: the path it registers.
std::string modulePath(const std::string &arg)
{
    if (access(arg.c_str(), F_OK) != 0)
        return arg;
    char *real = realpath(arg.c_str(), nullptr);
    if (!real)
        return arg;
    std::string path = real;
    std::free(real);
    return path;
}

void printGuidOrHex(const std::vector<uint8_t> &b);

void printHex(const std::vector<uint8_t> &b)
{
    for (size_t i = 0; i < b.size(); i += 16) {
        std::printf("  %04zx:", i);
        for (size_t j = i; j < b.size() && j < i + 16; ++j)
            std::printf(" %02x", b[j]);
        std::printf("\n");
    }
}

// An interface identifier resource: a 32-bit length 16 and the GUID's bytes.
void printGuidOrHex(const std::vector<uint8_t> &b)
{
    const uint8_t *g = nullptr;
    if (b.size() == 20 && b[0] == 16 && b[1] == 0 && b[2] == 0 && b[3] == 0)
        g = b.data() + 4;
    else if (b.size() == 16)
        g = b.data();
    if (!g) {
        printHex(b);
        return;
    }
    GUID id;
    id.Data1 = uint32_t(g[0] | (g[1] << 8) | (g[2] << 16)) | (uint32_t(g[3]) << 24);
    id.Data2 = uint16_t(g[4] | (g[5] << 8));
    id.Data3 = uint16_t(g[6] | (g[7] << 8));
    std::memcpy(id.Data4, g + 8, 8);
    std::printf("  %s\n", nv::com::guidToString(id).c_str());
}

} // namespace

int registerModule(const Invocation &call, bool unregister)
{
    const char *entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    const bool machine = call.machine || (call.install && geteuid() == 0);
    if (call.operands.empty())
        return usageError("no module given");
    if (call.operands.size() > 1)
        return usageError("more than one module given");
    const std::string &module = call.operands[0];

    // The module has its own copy of the store code, which reads this.
    if (machine)
        setenv("NORVALE_REGISTRY_TARGET", "machine", 1);
    else
        unsetenv("NORVALE_REGISTRY_TARGET");
    std::string store = machine ? nv::reg::machineStoreFiles().front() : nv::reg::userStoreFile();
    // The module's own copy of the store code could only say that it failed.
    if (!storeIsWritable(store))
        return ExitFailed;

    std::string path = modulePath(module);
    // Loaded through the descriptor that was checked, which stays open while
    // the module runs: a file put in its place meanwhile is not loaded.
    nv::com::CheckedModule checked = nv::com::openCheckedModule(path);
    if (!checked.check.ok()) {
        std::fprintf(stderr, "norvale-reg: cannot load %s: %s\n", module.c_str(),
                     checked.check.text.c_str());
        return ExitFailed;
    }
    std::string why;
    void *handle = nv::com::loadCheckedModule(checked, RTLD_NOW | RTLD_LOCAL, why);
    if (!handle) {
        std::fprintf(stderr, "norvale-reg: cannot load %s: %s\n", module.c_str(), why.c_str());
        return ExitFailed;
    }
    auto fn = reinterpret_cast<HRESULT (*)()>(dlsym(handle, entry));
    if (!fn) {
        std::fprintf(stderr,
                     "norvale-reg: %s is not a component module: it has no %s entry point\n",
                     module.c_str(), entry);
        dlclose(handle);
        return ExitFailed;
    }
    // An unregister that leaves the part as it was found nothing of the
    // module's there: said as such, and a success (package scripts rely on it).
    const auto before = nv::reg::detail::loadStoreFile(store);
    HRESULT h = fn();
    dlclose(handle);
    if (FAILED(h)) {
        std::fprintf(stderr, "norvale-reg: %s of %s failed: %s (%s)\n", entry, path.c_str(),
                     nv::com::statusCode(h).c_str(), nv::com::statusText(h).c_str());
        return ExitFailed;
    }
    if (unregister) {
        const auto after = nv::reg::detail::loadStoreFile(store);
        if (after.state == before.state && *after.doc == *before.doc) {
            std::printf("Nothing to unregister: %s was not registered in %s\n", path.c_str(),
                        store.c_str());
            return ExitOk;
        }
    }
    std::printf("%s %s in %s: %s\n", unregister ? "Unregistered" : "Registered", path.c_str(),
                store.c_str(), nv::com::statusCode(h).c_str());
    return ExitOk;
}

int showResources(const Invocation &call)
{
    const Args &args = call.operands;
    if (args.size() != 1)
        return usageError("resources takes exactly one module file");
    auto result = nv::com::readResources(args[0]);
    if (!result.ok()) {
        std::fprintf(stderr, "norvale-reg: %s\n", result.error.c_str());
        return ExitFailed;
    }
    if (result.resources.empty())
        std::printf("%s has no resources\n", args[0].c_str());
    for (const auto &r : result.resources) {
        std::printf("%s %u, language 0x%04X, code page %u, %zu bytes\n", r.type.c_str(), r.id,
                    r.lang, r.codepage, r.bytes.size());
        if (r.type == "VERSION") {
            for (const auto &[key, value] : nv::com::versionEntries(r.bytes))
                std::printf("  %s: %s\n", key.c_str(), value.c_str());
        } else if (r.type.rfind("_IID_", 0) == 0) {
            printGuidOrHex(r.bytes);
        } else {
            printHex(r.bytes);
        }
    }
    return ExitOk;
}

} // namespace nv::regtool
