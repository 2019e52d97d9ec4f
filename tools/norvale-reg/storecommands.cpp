// get, set, delete and list: the commands that read and edit the store.

#include "tools/norvale-reg/commands.h"

#include "platform/registry/regformat.h"
#include "platform/registry/registry.h"
#include "platform/registry/storefile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#include <unordered_set>

namespace nv::regtool {

namespace {

struct KeyArg
{
    nv::reg::Root root;
    std::string path; // below the root; "" is the root itself
};

bool parseKey(const std::string &text, KeyArg &out)
{
    size_t slash = text.find('\\');
    auto root = nv::reg::rootFromName(text.substr(0, slash));
    if (!root)
        return false;
    out.root = *root;
    out.path = slash == std::string::npos ? std::string() : text.substr(slash + 1);
    return out.path.empty() || nv::reg::detail::isValidKeyPath(out.path);
}

std::string valueName(const std::string &arg)
{
    return arg == "@" ? std::string() : arg;
}

std::string displayName(const std::string &name)
{
    return name.empty() ? "(default)" : name;
}

bool parseUnsigned(const std::string &s, uint64_t max, uint64_t &out)
{
    if (s.empty() || s[0] == '-' || s[0] == '+' || s[0] == ' ')
        return false;
    errno = 0;
    char *end = nullptr;
    unsigned long long v = std::strtoull(s.c_str(), &end, 0);
    if (errno || *end || v > max)
        return false;
    out = v;
    return true;
}

// A dword as 0..4294967295 (decimal or 0x...), or as a negative 32-bit number.
bool parseDword(const std::string &s, uint32_t &out)
{
    uint64_t v;
    if (!s.empty() && s[0] == '-') {
        if (!parseUnsigned(s.substr(1), 0x80000000u, v))
            return false;
        out = uint32_t(0) - uint32_t(v);
        return true;
    }
    if (!parseUnsigned(s, 0xFFFFFFFFu, v))
        return false;
    out = uint32_t(v);
    return true;
}

int storeFailure(const char *what, const KeyArg &key, nv::reg::Status s)
{
    const std::string file = nv::reg::detail::writeFileFor(key.root);
    if (s == nv::reg::Status::Damaged && !storeIsWritable(file))
        return ExitFailed;
    std::fprintf(stderr, "norvale-reg: cannot %s %s\\%s: %s (%s)\n", what,
                 nv::reg::rootName(key.root), key.path.c_str(), nv::reg::statusText(s),
                 file.c_str());
    return ExitFailed;
}

// --machine sends class writes to the machine part.
void applyMachineOption(const Invocation &call)
{
    if (call.machine)
        setenv("NORVALE_REGISTRY_TARGET", "machine", 1);
}

std::string fullName(const KeyArg &key)
{
    std::string s = nv::reg::rootName(key.root);
    if (!key.path.empty())
        s += "\\" + key.path;
    return s;
}

} // namespace

bool storeIsWritable(const std::string &file)
{
    auto loaded = nv::reg::detail::loadStoreFile(file);
    if (loaded.state != nv::reg::detail::FileState::Damaged)
        return true;
    std::fprintf(stderr,
                 "norvale-reg: %s is damaged or not a store file (%s); "
                 "nothing was changed\n",
                 file.c_str(), loaded.problem.c_str());
    return false;
}

namespace {

// Reads skip a damaged file; say so, once per file.
void warnIfDamaged(const std::string &file, const nv::reg::detail::LoadedFile &loaded)
{
    static std::unordered_set<std::string> warned;
    if (loaded.state == nv::reg::detail::FileState::Damaged && warned.insert(file).second)
        std::fprintf(stderr,
                     "norvale-reg: warning: %s is damaged or not a store file (%s); "
                     "its keys are not seen\n",
                     file.c_str(), loaded.problem.c_str());
}

// Checks that a key and at most one value name were given and reads the
// key; the usage error's exit status when not.
int readKeyAndName(const Args &args, const std::string &usage, KeyArg &key)
{
    if (args.empty() || args.size() > 2)
        return usageError(usage);
    if (!parseKey(args[0], key))
        return usageError("'" + args[0] + "' is not a key of a known root");
    return ExitOk;
}

} // namespace

int getValue(const Invocation &call)
{
    const Args &args = call.operands;
    KeyArg key;
    if (int status = readKeyAndName(args, "get takes a key and an optional value name", key))
        return status;
    std::string name = args.size() == 2 ? valueName(args[1]) : std::string();
    for (const auto &file : nv::reg::detail::readFilesFor(key.root))
        warnIfDamaged(file, nv::reg::detail::loadStoreFile(file));
    auto v = nv::reg::queryValue(key.root, key.path, name);
    if (!v) {
        std::fprintf(stderr, "norvale-reg: %s has no value %s\n", fullName(key).c_str(),
                     displayName(name).c_str());
        return ExitFailed;
    }
    if (v->type == nv::reg::REG_SZ && v->asText().size() + 1 == v->data.size()) {
        std::printf("%s\n", v->asText().c_str());
    } else if (v->type == nv::reg::REG_DWORD && v->data.size() == 4) {
        uint32_t n = 0;
        for (int i = 3; i >= 0; --i)
            n = (n << 8) | static_cast<unsigned char>(v->data[size_t(i)]);
        std::printf("%u\n", n);
    } else {
        // Anything else as it stands in the file: hex(N):aa,bb,...
        std::string line = nv::reg::detail::formatValueLine({"", *v});
        std::printf("%s\n", line.substr(2).c_str());
    }
    return ExitOk;
}

int setValue(const Invocation &call)
{
    applyMachineOption(call);
    const Args &args = call.operands;
    if (args.size() != 2 || call.kind.empty())
        return usageError(
            "set takes a key, a value name and --string, --dword or --hex with its data");
    KeyArg key;
    if (!parseKey(args[0], key))
        return usageError("'" + args[0] + "' is not a key of a known root");
    std::string name = valueName(args[1]);
    const std::string &kind = call.kind, &data = call.data;
    nv::reg::Value value;
    if (kind == "--string") {
        value = nv::reg::Value::text(data);
    } else if (kind == "--dword") {
        uint32_t n;
        if (!parseDword(data, n))
            return usageError("'" + data + "' is not a 32-bit number");
        value = nv::reg::Value::dword(n);
    } else { // --hex
        size_t colon = data.find(':');
        uint64_t type;
        if (colon == std::string::npos ||
            !parseUnsigned(data.substr(0, colon), 0xFFFFFFFFu, type) ||
            !nv::reg::detail::parseHexList(data.substr(colon + 1), value.data))
            return usageError("'" + data + "' is not TYPE:aa,bb,...");
        value.type = uint32_t(type);
    }
    auto s = nv::reg::setValue(key.root, key.path, name, value);
    return s == nv::reg::Status::Ok ? int(ExitOk) : storeFailure("write", key, s);
}

int deleteEntry(const Invocation &call)
{
    applyMachineOption(call);
    const Args &args = call.operands;
    KeyArg key;
    if (int status = readKeyAndName(args, "delete takes a key and an optional value name", key))
        return status;
    if (args.size() == 1 && key.path.empty())
        return usageError("a root cannot be deleted");
    auto s = args.size() == 2 ? nv::reg::deleteValue(key.root, key.path, valueName(args[1]))
                              : nv::reg::deleteKey(key.root, key.path);
    return s == nv::reg::Status::Ok ? int(ExitOk) : storeFailure("delete from", key, s);
}

int listKeys(const Invocation &call)
{
    const Args &args = call.operands;
    using nv::reg::detail::KeyEntry;
    if (args.size() > 1)
        return usageError("list takes at most one key");
    std::vector<KeyArg> tops;
    if (args.empty()) {
        for (auto r :
             {nv::reg::Root::ClassesRoot, nv::reg::Root::LocalMachine, nv::reg::Root::CurrentUser})
            tops.push_back({r, ""});
    } else {
        KeyArg key;
        if (!parseKey(args[0], key))
            return usageError("'" + args[0] + "' is not a key of a known root");
        if (!nv::reg::keyExists(key.root, key.path)) {
            std::fprintf(stderr, "norvale-reg: no key %s\n", fullName(key).c_str());
            return ExitFailed;
        }
        tops.push_back(key);
    }

    std::printf("%s\n\n", std::string(nv::reg::detail::kFileHeader).c_str());
    for (const auto &top : tops) {
        // One merged view of the parts, earlier parts taking precedence.
        std::vector<KeyEntry> merged;
        std::unordered_map<std::string, size_t> index;
        std::vector<std::unordered_set<std::string>> names;
        auto lowered = [](std::string s) {
            for (auto &c : s)
                c = nv::ascii::toLower(c);
            return s;
        };
        std::string prefix = fullName(top);
        for (const auto &file : nv::reg::detail::readFilesFor(top.root)) {
            auto loaded = nv::reg::detail::loadStoreFile(file);
            warnIfDamaged(file, loaded);
            for (const auto &k : loaded.doc->keys()) {
                if (!nv::reg::detail::isAtOrBelow(k.path, prefix))
                    continue;
                auto [it, added] = index.emplace(lowered(k.path), merged.size());
                if (added) {
                    merged.push_back({k.path, {}});
                    names.emplace_back();
                }
                for (const auto &v : k.values)
                    if (names[it->second].insert(lowered(v.name)).second)
                        merged[it->second].values.push_back(v);
            }
        }
        for (const auto &k : merged) {
            std::printf("[%s]\n", k.path.c_str());
            for (const auto &v : k.values)
                std::printf("%s\n", nv::reg::detail::formatValueLine(v, true).c_str());
            std::printf("\n");
        }
    }
    return ExitOk;
}

} // namespace nv::regtool
