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

void fold(uint8_t *p, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        p[i] = folded(p[i]);
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
    const void *hit = memmem(m_buffer.data(), size_t(got), m_pattern.constData(), size_t(m));
    if (hit) {
        found(m_cursor + (static_cast<const uint8_t *>(hit) - m_buffer.data()));
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
