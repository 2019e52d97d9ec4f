#include "viewer/core/bytesearch.h"

#include "platform/files/filenumbers.h"

#include <algorithm>
#include <cstring>

namespace nv {

uint8_t folded(uint8_t b)
{
    return b >= 'A' && b <= 'Z' ? uint8_t(b + ('a' - 'A')) : b;
}

// Eight bytes at a time: a byte below 0x80 whose low seven bits lie in
// 'A'..'Z' gains the 0x20 bit.
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

namespace {

// The pattern (its letters small when case does not count) at p.
bool matchesAt(const uint8_t *p, const QByteArray &pattern, bool matchCase)
{
    const auto *pat = reinterpret_cast<const uint8_t *>(pattern.constData());
    const size_t m = size_t(pattern.size());
    if (matchCase)
        return std::memcmp(p, pat, m) == 0;
    for (size_t i = 0; i < m; ++i)
        if (folded(p[i]) != pat[i])
            return false;
    return true;
}

// The first of the starts 0 .. starts-1 in buf where the pattern lies and
// its byte at `key` is `b`: memchr for b, a compare where it lies.
std::optional<size_t> firstWith(const uint8_t *buf, size_t starts, const QByteArray &pattern,
                                size_t key, uint8_t b, bool matchCase)
{
    for (size_t from = 0; from < starts;) {
        const void *hit = std::memchr(buf + key + from, b, starts - from);
        if (!hit)
            return std::nullopt;
        const size_t at = size_t(static_cast<const uint8_t *>(hit) - buf) - key;
        if (matchesAt(buf + at, pattern, matchCase))
            return at;
        from = at + 1;
    }
    return std::nullopt;
}

// The same from the other end: memrchr, the last such start.
std::optional<size_t> lastWith(const uint8_t *buf, size_t starts, const QByteArray &pattern,
                               size_t key, uint8_t b, bool matchCase)
{
    for (size_t end = starts; end > 0;) {
        const void *hit = memrchr(buf + key, b, end);
        if (!hit)
            return std::nullopt;
        const size_t at = size_t(static_cast<const uint8_t *>(hit) - buf) - key;
        if (matchesAt(buf + at, pattern, matchCase))
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
    const bool more = stepIn(s);
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
    if (!m_sampled)
        chooseRareByte(size_t(got));
    return got;
}

// From the first chunk: the pattern byte that occurs least in it (either
// case of a letter, when case does not count). A backward search always
// looks for it; a forward one only when it is rare enough (under one in a
// thousand) for memchr to beat memmem.
void ByteSearch::chooseRareByte(size_t length)
{
    m_sampled = true;
    size_t count[256] = {};
    for (size_t i = 0; i < length; ++i)
        ++count[m_buffer[i]];
    const auto weight = [&](qsizetype k) {
        const uint8_t b = uint8_t(m_pattern[k]);
        return count[b] + (b != otherCase(b) ? count[otherCase(b)] : 0);
    };
    qsizetype best = 0;
    for (qsizetype k = 1; k < m_pattern.size(); ++k)
        if (weight(k) < weight(best))
            best = k;
    m_least = size_t(best);
    if (weight(best) * 1024 < length)
        m_rare = size_t(best);
}

uint8_t ByteSearch::otherCase(uint8_t b) const
{
    return !m_matchCase && b >= 'a' && b <= 'z' ? uint8_t(b - ('a' - 'A')) : b;
}

// The first start (backward the last) of `starts` in the chunk of `length`
// bytes where the whole pattern lies.
std::optional<size_t> ByteSearch::matchIn(size_t length, size_t starts)
{
    const size_t m = size_t(m_pattern.size());
    if (length < m)
        return std::nullopt;
    starts = std::min(starts, length - m + 1);
    uint8_t *buf = m_buffer.data();
    // memchr or memrchr for a rare pattern byte runs at memory speed where
    // memmem can slow to a crawl (00 00 00 01 in zeros). Forward without one:
    // memmem. Backward there is no memrmem: the least common byte it is.
    if (!m_backward && !m_rare) {
        // memmem knows no case: the chunk's letters are made small first.
        if (!m_matchCase)
            fold(buf, length);
        const void *hit = memmem(buf, starts + m - 1, m_pattern.constData(), m);
        return hit ? std::optional(size_t(static_cast<const uint8_t *>(hit) - buf)) : std::nullopt;
    }
    // The pattern byte that is rare, in each of its cases; the bytes stay as
    // they are, which costs less than folding them all.
    const size_t key = m_backward ? m_least : *m_rare;
    const uint8_t b = uint8_t(m_pattern[qsizetype(key)]);
    const auto with = [&](uint8_t each) {
        return m_backward ? lastWith(buf, starts, m_pattern, key, each, m_matchCase)
                          : firstWith(buf, starts, m_pattern, key, each, m_matchCase);
    };
    const std::optional<size_t> at = with(b);
    if (otherCase(b) == b)
        return at;
    const std::optional<size_t> other = with(otherCase(b));
    if (!at || !other)
        return at ? at : other;
    return m_backward ? std::max(at, other) : std::min(at, other);
}

void ByteSearch::found(int64_t offset)
{
    m_match = offset;
    m_wrapped = m_segment == 1;
    m_segment = m_segmentCount;
}

// One chunk of starts from the cursor on (backward: below it); false when
// the segment is done. No match starts where the pattern would run past the
// bytes' end.
bool ByteSearch::stepIn(const Segment &s)
{
    const int64_t m = m_pattern.size();
    const int64_t lastStarts = std::min(s.to, m_end - m + 1);
    if (m_backward)
        m_cursor = std::min(m_cursor, lastStarts);
    const int64_t from = m_backward ? std::max(s.from, m_cursor - m_chunk) : m_cursor;
    const int64_t to = m_backward ? m_cursor : std::min(lastStarts, m_cursor + m_chunk);
    if (from >= to)
        return false;
    const int32_t got = readAt(from, to - from + m - 1);
    m_done += to - from;
    if (const auto at = matchIn(size_t(got), size_t(to - from))) {
        found(from + int64_t(*at));
        return false;
    }
    m_cursor = m_backward ? from : to;
    return m_backward ? m_cursor > s.from : m_cursor < s.to;
}

} // namespace nv
