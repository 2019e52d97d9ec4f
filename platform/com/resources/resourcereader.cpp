#include "platform/com/resources/resourcereader.h"

#include "platform/com/resources/resource.h"
#include "platform/runtime/posixfile.h"

#include <cstring>

namespace nv::com {

namespace {

constexpr size_t kElfHeaderSize = 64;
constexpr size_t kSectionHeaderSize = 64;
constexpr uint32_t kShtNobits = 8;
constexpr uint64_t kMaxSectionTable = 1u << 20; // far beyond any real module
constexpr uint64_t kMaxReadSize = 64u << 20;

uint16_t le16(const uint8_t *p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t le32(const uint8_t *p)
{
    return uint32_t(le16(p)) | (uint32_t(le16(p + 2)) << 16);
}
uint64_t le64(const uint8_t *p)
{
    return uint64_t(le32(p)) | (uint64_t(le32(p + 4)) << 32);
}

class File
{
public:
    std::string open(const std::string &path)
    {
        posix::OpenedFile f = posix::openRegularForRead(path);
        if (f.error)
            return "cannot open " + path + ": " + std::strerror(f.error);
        if (!f.ok())
            return path + " is not a regular file";
        m_fd = std::move(f.fd);
        m_size = uint64_t(f.info.st_size);
        return {};
    }
    uint64_t size() const { return m_size; }
    // False when the range is not wholly inside the file or cannot be read.
    bool read(uint64_t offset, uint64_t length, std::vector<uint8_t> &out) const
    {
        if (offset > m_size || length > m_size - offset || length > kMaxReadSize)
            return false;
        out.resize(size_t(length));
        return posix::readAt(m_fd.get(), out.data(), size_t(length), off_t(offset)) ==
               ssize_t(length);
    }

private:
    posix::Fd m_fd;
    uint64_t m_size = 0;
};

struct Section
{
    uint32_t name;
    uint32_t type;
    uint64_t offset;
    uint64_t size;
    uint32_t link;
};

Section sectionAt(const uint8_t *p)
{
    return Section{le32(p), le32(p + 4), le64(p + 24), le64(p + 32), le32(p + 40)};
}

std::string parseRecords(const std::vector<uint8_t> &s, std::vector<Resource> &out)
{
    size_t pos = 0;
    while (pos < s.size()) {
        size_t left = s.size() - pos;
        size_t zeros = 0;
        while (zeros < left && zeros < 8 && s[pos + zeros] == 0)
            ++zeros;
        if (zeros == 8 || zeros == left) { // padding between or after records
            pos += zeros;
            continue;
        }
        if (left < sizeof(ResourceHeader))
            return "resource section ends inside a record header";
        const uint8_t *h = s.data() + pos;
        if (std::memcmp(h, kResourceMagic, 4) != 0)
            return "resource section holds something that is not a resource record";
        Resource r;
        const char *type = reinterpret_cast<const char *>(h + 4);
        r.type.assign(type, strnlen(type, 32));
        r.id = le32(h + 36);
        r.lang = le16(h + 40);
        r.codepage = le16(h + 42);
        uint32_t size = le32(h + 44);
        if (size > left - sizeof(ResourceHeader))
            return "resource " + r.type + " " + std::to_string(r.id) +
                   " is longer than its section";
        r.bytes.assign(h + sizeof(ResourceHeader), h + sizeof(ResourceHeader) + size);
        out.push_back(std::move(r));
        size_t step = sizeof(ResourceHeader) + roundUp8(size);
        pos = step >= left ? s.size() : pos + step;
    }
    return {};
}

} // namespace

ResourceReadResult readResources(const std::string &path)
{
    ResourceReadResult result;
    File f;
    if (std::string e = f.open(path); !e.empty()) {
        result.error = e;
        return result;
    }
    auto fail = [&](const std::string &why) {
        result.resources.clear();
        result.error = path + ": " + why;
        return result;
    };

    std::vector<uint8_t> eh;
    if (!f.read(0, kElfHeaderSize, eh) || std::memcmp(eh.data(),
                                                      "\x7f"
                                                      "ELF",
                                                      4) != 0)
        return fail("not an ELF file");
    if (eh[4] != 2 || eh[5] != 1)
        return fail("not a 64-bit little-endian ELF file");
    uint64_t shoff = le64(&eh[40]);
    uint16_t shentsize = le16(&eh[58]);
    uint64_t shnum = le16(&eh[60]);
    uint32_t shstrndx = le16(&eh[62]);
    if (shoff == 0)
        return fail("the file has no section headers");
    if (shentsize < kSectionHeaderSize)
        return fail("section header size is wrong");

    std::vector<uint8_t> first;
    if (!f.read(shoff, kSectionHeaderSize, first))
        return fail("section headers lie outside the file");
    // Large counts live in the first section header.
    Section zero = sectionAt(first.data());
    if (shnum == 0)
        shnum = zero.size;
    if (shstrndx == 0xFFFF)
        shstrndx = zero.link;
    if (shnum == 0 || shnum > kMaxSectionTable)
        return fail("section count is wrong");
    std::vector<uint8_t> table;
    if (!f.read(shoff, shnum * shentsize, table))
        return fail("section headers lie outside the file");
    auto section = [&](uint64_t i) { return sectionAt(table.data() + i * shentsize); };
    if (shstrndx >= shnum)
        return fail("section name table index is wrong");
    Section names = section(shstrndx);
    std::vector<uint8_t> strtab;
    if (names.type == kShtNobits || !f.read(names.offset, names.size, strtab))
        return fail("section name table lies outside the file");

    const std::string wanted = kResourceSection;
    for (uint64_t i = 0; i < shnum; ++i) {
        Section s = section(i);
        if (s.name >= strtab.size() || strtab.size() - s.name < wanted.size() + 1 ||
            std::memcmp(strtab.data() + s.name, wanted.c_str(), wanted.size() + 1) != 0)
            continue;
        if (s.type == kShtNobits)
            return fail("resource section has no contents in the file");
        std::vector<uint8_t> bytes;
        if (!f.read(s.offset, s.size, bytes))
            return fail("resource section lies outside the file");
        if (std::string e = parseRecords(bytes, result.resources); !e.empty())
            return fail(e);
        return result;
    }
    return result;
}

const Resource *findResource(const std::vector<Resource> &resources, std::string_view type,
                             uint32_t id)
{
    for (const auto &r : resources)
        if (r.type == type && r.id == id)
            return &r;
    return nullptr;
}

std::vector<std::pair<std::string, std::string>> versionEntries(const std::vector<uint8_t> &bytes)
{
    std::vector<std::pair<std::string, std::string>> entries;
    std::string_view all(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    while (!all.empty()) {
        size_t end = all.find('\0');
        std::string_view entry = all.substr(0, end);
        all.remove_prefix(end == std::string_view::npos ? all.size() : end + 1);
        if (entry.empty())
            continue;
        size_t eq = entry.find('=');
        if (eq == std::string_view::npos)
            entries.emplace_back(std::string(entry), std::string());
        else
            entries.emplace_back(std::string(entry.substr(0, eq)),
                                 std::string(entry.substr(eq + 1)));
    }
    return entries;
}

} // namespace nv::com
