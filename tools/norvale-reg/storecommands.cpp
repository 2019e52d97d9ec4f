// get, set, delete and list: the commands that read and edit the store.

#include "tools/norvale-reg/commands.h"

#include "platform/registry/regformat.h"
#include "platform/registry/registry.h"
#include "platform/registry/storefile.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// A number in decimal, or in hexadecimal after "0x" or "0X"; never octal, so
// that 010 is ten. Nothing else may stand around it: no sign, no blank.
bool parseUnsigned(const std::string &s, uint64_t max, uint64_t &out)
{
    const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    const char *first = s.data() + (hex ? 2 : 0), *last = s.data() + s.size();
    uint64_t v = 0;
    const auto [end, ec] = std::from_chars(first, last, v, hex ? 16 : 10);
    if (first == last || ec != std::errc() || end != last || v > max)
        return false;
    out = v;
    return true;
}

// A dword as 0..4294967295, or as a negative 32-bit number after a "-".
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
                 nv::reg::rootName(key.root), key.path.c_str(), nv::reg::failureText(s).c_str(),
                 file.c_str());
    return ExitFailed;
}

// --machine sends class writes to the machine part. The user's root has no
// machine part: such a write is refused as wrong usage, not made elsewhere.
// The usage error's exit status, or ExitOk.
int applyMachineOption(const Invocation &call, const KeyArg &key)
{
    if (!call.machine)
        return ExitOk;
    if (key.root == nv::reg::Root::CurrentUser)
        return usageError("--machine does not write HKEY_CURRENT_USER, which is the user's own");
    setenv("NORVALE_REGISTRY_TARGET", "machine", 1);
    return ExitOk;
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
    if (loaded.state == nv::reg::detail::FileState::Unreadable) {
        std::fprintf(stderr, "norvale-reg: cannot read %s (%s); nothing was changed\n",
                     file.c_str(), std::strerror(loaded.error));
        return false;
    }
    if (loaded.state != nv::reg::detail::FileState::Damaged)
        return true;
    std::fprintf(stderr,
                 "norvale-reg: %s is damaged or not a store file (%s); "
                 "nothing was changed\n",
                 file.c_str(), loaded.problem.c_str());
    return false;
}

namespace {

// Reads skip a damaged file and one they cannot read; say so, once per file.
void warnIfUnseen(const std::string &file, const nv::reg::detail::LoadedFile &loaded)
{
    using nv::reg::detail::FileState;
    static std::unordered_set<std::string> warned;
    if (loaded.state != FileState::Damaged && loaded.state != FileState::Unreadable)
        return;
    if (!warned.insert(file).second)
        return;
    if (loaded.state == FileState::Damaged)
        std::fprintf(stderr,
                     "norvale-reg: warning: %s is damaged or not a store file (%s); "
                     "its keys are not seen\n",
                     file.c_str(), loaded.problem.c_str());
    else
        std::fprintf(stderr, "norvale-reg: warning: cannot read %s (%s); its keys are not seen\n",
                     file.c_str(), std::strerror(loaded.error));
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
        warnIfUnseen(file, nv::reg::detail::loadStoreFile(file));
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
    const Args &args = call.operands;
    if (args.size() != 2 || call.kind.empty())
        return usageError(
            "set takes a key, a value name and --string, --dword or --hex with its data");
    KeyArg key;
    if (!parseKey(args[0], key))
        return usageError("'" + args[0] + "' is not a key of a known root");
    if (int status = applyMachineOption(call, key))
        return status;
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
    const Args &args = call.operands;
    KeyArg key;
    if (int status = readKeyAndName(args, "delete takes a key and an optional value name", key))
        return status;
    if (int status = applyMachineOption(call, key))
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
            warnIfUnseen(file, loaded);
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
