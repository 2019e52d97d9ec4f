// Profile files: the sections-and-keys text files the program keeps its
// settings in, read and written with the classic private-profile functions.
//
// Names match without regard to ASCII case; the file is read anew on every
// call and no handle stays open between calls. A write edits the file in
// place (every byte but the edited line, or the added lines, stays as it was)
// and replaces it atomically. Bytes are characters (Latin-1): nothing is
// re-encoded. Files larger than kMaxProfileFileSize hold no readable keys and
// are never written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nv {

// Copies the value of `key` in `section` of `fileName` into `buffer`, or
// `defaultText` when the file, the section or the key is missing. At most
// size - 1 characters are copied and a terminating zero follows; the result
// is the number of characters copied. A null buffer or a size of 0 copies
// nothing; a null default counts as the empty text.
uint32_t GetPrivateProfileStringA(const char *section, const char *key, const char *defaultText,
                                  char *buffer, uint32_t size, const char *fileName);

// Sets `key` in `section` of `fileName` to `value`, creating the file, the
// section or the key as needed. False when the write is refused or fails;
// the file is then unchanged. A null section, key or value is refused.
bool WritePrivateProfileStringA(const char *section, const char *key, const char *value,
                                const char *fileName);

namespace profile {

// Above this size a file is not read: it holds no readable keys and is
// never rewritten (a settings file is a few hundred bytes).
constexpr std::size_t kMaxProfileFileSize = std::size_t(32) << 20;

// The value of a key as the reader delivers it (blanks trimmed, one pair of
// outer quotes removed), or nothing when the file, section or key is missing.
std::optional<std::string> readValue(std::string_view section, std::string_view key,
                                     const std::string &fileName);

// The value, or the default text when it is missing; no length limit.
std::string readString(std::string_view section, std::string_view key, std::string_view defaultText,
                       const std::string &fileName);

enum class WriteStatus {
    Written,  // the file now holds the value
    BadText,  // a name or the value would change the file's structure
    NotAFile, // something other than a regular file is in the file's place
    ReadOnly, // the file has no write permission bit, or may not be written
    TooLarge, // the file is larger than kMaxProfileFileSize
    Failed,   // the file system refused (directory not writable, disk full, ...)
};

WriteStatus writeValue(std::string_view section, std::string_view key, std::string_view value,
                       const std::string &fileName);

inline bool writeString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string &fileName)
{
    return writeValue(section, key, value, fileName) == WriteStatus::Written;
}

} // namespace profile
} // namespace nv
