// The classic registry read calls, over the registry store, for code written
// against them. Handles are checked: a closed, foreign or made-up handle gives
// ERROR_INVALID_HANDLE and is never dereferenced.
#pragma once

#include <cstdint>

struct HKEY__;
using HKEY = HKEY__ *;

// The predefined roots carry their classic handle values.
inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(uintptr_t(0x80000000u));
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(uintptr_t(0x80000001u));
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(uintptr_t(0x80000002u));

constexpr uint32_t KEY_QUERY_VALUE = 0x0001;
constexpr uint32_t KEY_READ = 0x20019;
constexpr uint32_t KEY_ALL_ACCESS = 0x2003F;

constexpr uint32_t REG_NONE = 0;
constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_ACCESS_DENIED = 5;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_INVALID_PARAMETER = 87;
constexpr long ERROR_MORE_DATA = 234;

// Opens `subKey` below `root` (a predefined root or an open key); a null or
// empty `subKey` opens `root` itself again. The key must exist. `options` and
// `access` are accepted as given: the store has no per-key access control.
long RegOpenKeyExA(HKEY root, const char *subKey, uint32_t options, uint32_t access, HKEY *out);

// Copies the value's stored bytes to `data`. A null or empty `valueName` is
// the default value. With `data` null only the size is reported. When
// *cbData is too small: ERROR_MORE_DATA, *cbData set to the size needed and
// `data` untouched. `reserved` must be null.
long RegQueryValueExA(HKEY key, const char *valueName, uint32_t *reserved, uint32_t *type,
                      uint8_t *data, uint32_t *cbData);

// Closing a predefined root succeeds and does nothing.
long RegCloseKey(HKEY key);
