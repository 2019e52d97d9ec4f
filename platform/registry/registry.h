// The registry store: a small hierarchical key/value store with the roots
// HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, kept in text
// files of the registry-export form.
//
// Where the files live:
//   - NORVALE_REGISTRY_DIR set: the whole store is in that directory; its
//     user part is DIR/registry.reg and its machine part DIR/machine/registry.reg.
//   - otherwise the user part is $XDG_CONFIG_HOME/norvale/registry.reg
//     (~/.config/norvale/registry.reg) and the machine parts are
//     D/norvale/registry.reg for each D of $XDG_CONFIG_DIRS (/etc/xdg).
// Reads of HKEY_CLASSES_ROOT see the user part first, then the machine parts
// (only the machine parts while the write target is the machine, see below);
// HKEY_CURRENT_USER is the user part only; HKEY_LOCAL_MACHINE the machine
// parts only. Writes of HKEY_CLASSES_ROOT go to the user part unless the
// write target is the machine (NORVALE_REGISTRY_TARGET=machine in the
// environment, which the registration tool sets for --machine so that a
// module's own DllRegisterServer writes there too); writes of
// HKEY_LOCAL_MACHINE always go to the first machine part.
//
// Key paths use "\" between names and match without regard to ASCII case.
// The empty value name is the key's default value ("@" in the file).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nv::reg {

enum class Root { ClassesRoot, LocalMachine, CurrentUser };

enum ValueType : uint32_t { REG_NONE = 0, REG_SZ = 1, REG_BINARY = 3, REG_DWORD = 4 };

struct Value
{
    uint32_t type = REG_SZ;
    // Raw bytes as the value is stored. A text value written as "…" in the
    // file holds its UTF-8 text plus one terminating NUL; a dword holds four
    // little-endian bytes; hex(N): values hold exactly their bytes.
    std::string data;

    static Value text(const std::string &s); // REG_SZ with terminator
    static Value dword(uint32_t v);
    std::string asText() const; // REG_SZ data up to the first NUL
    bool operator==(const Value &) const = default;
};

enum class Status {
    Ok,
    NotFound,     // key or value does not exist
    Damaged,      // a store file is damaged or foreign: nothing was written
    AccessDenied, // the store cannot be written (permissions, read-only place)
    IoError,      // the file system failed
    InvalidArgument,
    // The write would leave a file the store cannot read back; nothing was written.
    StoreTooLarge, // beyond the size of a store file
    KeyTooDeep,    // a key nested deeper than a store allows
    NameTooLong,   // a key path or value name longer than a line of the file
};

const char *statusText(Status s);
// The system's error number behind the last IoError a write of this thread
// returned; 0 when the system gave none.
int lastIoError();
// What a failed write is to say: statusText, but for an IoError the system's
// own reason when it gave one ("No space left on device").
std::string failureText(Status s);

std::optional<Value> queryValue(Root root, const std::string &keyPath, const std::string &name);
// The value as each part of the store read for `root` holds it, in reading
// order (for HKEY_CLASSES_ROOT the user part first, then the machine parts);
// parts without it are left out.
std::vector<Value> queryValueInEachPart(Root root, const std::string &keyPath,
                                        const std::string &name);
bool keyExists(Root root, const std::string &keyPath);
std::vector<std::string> subKeys(Root root, const std::string &keyPath);
std::vector<std::string> valueNames(Root root, const std::string &keyPath);

// Creates the key (and its parents) as needed.
Status setValue(Root root, const std::string &keyPath, const std::string &name, const Value &value);
// Several values in one write: all of them are stored or, on failure, none.
struct Entry
{
    std::string keyPath;
    std::string name;
    Value value;
};
Status setValues(Root root, const std::vector<Entry> &entries);
Status createKey(Root root, const std::string &keyPath);
// Removes the key with all its subkeys and values.
Status deleteKey(Root root, const std::string &keyPath);
Status deleteValue(Root root, const std::string &keyPath, const std::string &name);

// "HKEY_CLASSES_ROOT" (also "HKCR"), "HKEY_LOCAL_MACHINE" ("HKLM"), "HKEY_CURRENT_USER" ("HKCU").
std::optional<Root> rootFromName(const std::string &name);
const char *rootName(Root root);

// The files the store reads and writes now, for messages and tools.
std::string userStoreFile();
std::vector<std::string> machineStoreFiles();

} // namespace nv::reg
