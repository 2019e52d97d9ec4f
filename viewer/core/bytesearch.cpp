#include "viewer/core/bytesearch.h"

#include "platform/files/filenumbers.h"

#include <algorithm>
#include <cstring>

namespace nv {

namespace {

uint8_t folded(uint8_t b)
{
    return b >= 'A' && b <= 'Z' ? uint8_t(b + ('a' - 'A')) : b;
}

// ASCII capitals to small letters, eight bytes at a time: a byte below 0x80
// whose low seven bits lie in 'A'..'Z' gains the 0x20 bit.
void fold(uint8_t *p, size_t n)
{
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t x;
        std::memcpy(&x, p + i, 8);
        const uint64_t low = x & ~kHigh;
        const uint64_t fromA = low + kOnes * (0x80 - 'A');
        const uint64_t pastZ = low + kOnes * (0x80 - 'Z' - 1);
        const uint64_t capital = fromA & ~pastZ & ~x & kHigh;
        x |= capital >> 2;
        std::memcpy(p + i, &x, 8);
    }
    for (; i < n; ++i)
        p[i] = folded(p[i]);
}

// The first start in buf where the whole pattern lies. With a pattern byte
// that is rare in the file, memchr for it runs at memory speed where memmem
// can slow to a crawl (00 00 00 01 in zeros); otherwise memmem.
const uint8_t *firstMatch(const uint8_t *buf, size_t length, const QByteArray &pattern,
                          std::optional<size_t> rare)
{
    const size_t m = size_t(pattern.size());
    if (length < m)
        return nullptr;
    if (!rare)
        return static_cast<const uint8_t *>(memmem(buf, length, pattern.constData(), m));
    const auto *pat = reinterpret_cast<const uint8_t *>(pattern.constData());
    const size_t k = *rare;
    const uint8_t *p = buf + k;
    const uint8_t *end = buf + (length - m) + k + 1; // the rare byte of the last start
    while (p < end) {
        p = static_cast<const uint8_t *>(std::memchr(p, pat[k], size_t(end - p)));
        if (!p)
            return nullptr;
        if (std::memcmp(p - k, pat, m) == 0)
            return p - k;
        ++p;
    }
    return nullptr;
}

// The last start in buf[0 .. starts) where the whole pattern lies in buf.
std::optional<size_t> lastMatch(const uint8_t *buf, size_t length, size_t starts,
                                const QByteArray &pattern)
{
    const size_t m = size_t(pattern.size());
    if (length < m)
        return std::nullopt;
    size_t end = std::min(starts, length - m + 1); // candidate starts: 0 .. end-1
    const auto *pat = reinterpret_cast<const uint8_t *>(pattern.constData());
    while (end > 0) {
        const void *hit = memrchr(buf, pat[0], end);
        if (!hit)
            return std::nullopt;
        const size_t at = size_t(static_cast<const uint8_t *>(hit) - buf);
        if (std::memcmp(buf + at, pat, m) == 0)
            return at;
        end = at;
    }
    return std::nullopt;
}

} // namespace

ByteSearch::ByteSearch(int fileNumber, int64_t size, const SearchRequest &request,
                       int32_t chunkBytes)
    : m_fileNumber(fileNumber), m_end(std::max<int64_t>(size, 0)), m_pattern(request.pattern),
      m_matchCase(request.matchCase), m_backward(request.direction == SearchDirection::Backward),
      m_chunk(std::max(chunkBytes, 1)), m_total(std::max<int64_t>(m_end, 1))
{
    if (!m_matchCase)
        fold(reinterpret_cast<uint8_t *>(m_pattern.data()), size_t(m_pattern.size()));
    const int64_t p = std::clamp<int64_t>(request.position, 0, m_end);
    if (m_backward) {
        m_segments[0] = {0, p};
        m_segments[1] = {p, m_end};
    } else {
        const int64_t s = std::min(request.positionSelected ? p + 1 : p, m_end);
        m_segments[0] = {s, m_end};
        m_segments[1] = {0, s};
    }
    if (m_pattern.isEmpty())
        m_segment = m_segmentCount;
    m_cursor = m_backward ? m_segments[0].to : m_segments[0].from;
    m_buffer.resize(size_t(m_chunk) + size_t(m_pattern.size()));
}

double ByteSearch::progress() const
{
    return finished() ? 1.0 : std::min(1.0, double(m_done) / double(m_total));
}

void ByteSearch::run()
{
    while (step()) {
    }
}

bool ByteSearch::step()
{
    if (finished())
        return false;
    const Segment &s = m_segments[m_segment];
    const bool more = m_backward ? stepBackward(s) : stepForward(s);
    if (!more && !finished()) {
        // On to the other end.
        ++m_segment;
        if (!finished())
            m_cursor = m_backward ? m_segments[m_segment].to : m_segments[m_segment].from;
    }
    return !finished();
}

int32_t ByteSearch::readAt(int64_t offset, int64_t count)
{
    const int32_t got = files::readCounted(m_fileNumber, offset, int32_t(count), m_buffer.data());
    // Fewer bytes than asked: the file ends there now.
    if (got < count)
        m_end = std::min(m_end, offset + got);
    if (!m_matchCase)
        fold(m_buffer.data(), size_t(got));
    return got;
}

// From the first chunk: the pattern byte that occurs least in it, when it
// is rare enough (under one in a thousand) for memchr to beat memmem.
void ByteSearch::chooseRareByte(size_t length)
{
    m_sampled = true;
    size_t count[256] = {};
    for (size_t i = 0; i < length; ++i)
        ++count[m_buffer[i]];
    size_t best = 0;
    for (qsizetype k = 1; k < m_pattern.size(); ++k)
        if (count[uint8_t(m_pattern[k])] < count[uint8_t(m_pattern[best])])
            best = size_t(k);
    if (count[uint8_t(m_pattern[qsizetype(best)])] * 1024 < length)
        m_rare = best;
}

void ByteSearch::found(int64_t offset)
{
    m_match = offset;
    m_wrapped = m_segment == 1;
    m_segment = m_segmentCount;
}

// One chunk of starts from the cursor on; false when the segment is done.
bool ByteSearch::stepForward(const Segment &s)
{
    const int64_t m = m_pattern.size();
    const int64_t to = std::min(s.to, m_end - m + 1); // no match starts past this
    if (m_cursor >= to)
        return false;
    const int64_t startsEnd = std::min(to, m_cursor + m_chunk);
    const int32_t got = readAt(m_cursor, startsEnd - m_cursor + m - 1);
    m_done += startsEnd - m_cursor;
    if (!m_sampled)
        chooseRareByte(size_t(got));
    const uint8_t *hit = firstMatch(m_buffer.data(), size_t(got), m_pattern, m_rare);
    if (hit) {
        found(m_cursor + (hit - m_buffer.data()));
        return false;
    }
    m_cursor = startsEnd;
    return m_cursor < s.to;
}

// One chunk of starts below the cursor; false when the segment is done.
bool ByteSearch::stepBackward(const Segment &s)
{
    const int64_t m = m_pattern.size();
    m_cursor = std::min(m_cursor, m_end - m + 1);
    if (m_cursor <= s.from)
        return false;
    const int64_t from = std::max(s.from, m_cursor - m_chunk);
    const int32_t got = readAt(from, m_cursor - from + m - 1);
    m_done += m_cursor - from;
    const auto at = lastMatch(m_buffer.data(), size_t(got), size_t(m_cursor - from), m_pattern);
    if (at) {
        found(from + int64_t(*at));
        return false;
    }
    m_cursor = from;
    return m_cursor > s.from;
}

} // namespace nv
