// The search for a pattern over the bytes of an open file number, one
// bounded chunk at a time, so that a caller can keep its window alive, show
// progress and cancel between chunks. The file is read, never mapped: its
// memory is one chunk whatever the file's size.
#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace nv {

enum class SearchDirection { Forward, Backward };

// ASCII capitals as small letters, every other byte as it is: a case-blind
// search compares bytes so folded. fold does it in place, a word at a time.
uint8_t folded(uint8_t b);
void fold(uint8_t *bytes, size_t count);

struct SearchRequest
{
    QByteArray pattern;
    bool matchCase = true; // false: ASCII letters match either case
    SearchDirection direction = SearchDirection::Forward;
    // The current position, and whether its byte is selected: forward looks
    // for the first match that starts after a selected byte, or at an
    // unselected position or later; backward for the last one that starts
    // before it. Past either end the search goes on from the other end.
    int64_t position = 0;
    bool positionSelected = false;
};

class ByteSearch
{
public:
    static constexpr int32_t kChunkBytes = 1 << 20;

    // Searches bytes 0 .. size - 1 of `fileNumber` (its size when it was
    // opened); a file that now ends sooner ends the search there.
    ByteSearch(int fileNumber, int64_t size, const SearchRequest &request,
               int32_t chunkBytes = kChunkBytes);

    // Looks through the next chunk. False once the search is over. A failed
    // read raises, as the file number's reads do.
    bool step();
    // Steps to the end.
    void run();

    bool finished() const { return m_segment >= m_segmentCount; }
    std::optional<int64_t> match() const { return m_match; }
    // The match was found past the end, from the other end.
    bool wrapped() const { return m_wrapped; }
    // How much of the file has been looked through, 0 to 1.
    double progress() const;

private:
    struct Segment
    {
        int64_t from; // match starts from..to-1
        int64_t to;
    };
    bool stepIn(const Segment &s);
    int32_t readAt(int64_t offset, int64_t count);
    std::optional<size_t> matchIn(size_t length, size_t starts);
    uint8_t otherCase(uint8_t b) const;
    void found(int64_t offset);
    void chooseRareByte(size_t length);

    int m_fileNumber;
    int64_t m_end; // where the bytes end; a short read moves it in
    QByteArray m_pattern;
    bool m_matchCase;
    bool m_backward;
    int32_t m_chunk;
    Segment m_segments[2];
    int m_segmentCount = 2;
    int m_segment = 0;
    int64_t m_cursor;
    int64_t m_done = 0;
    int64_t m_total;
    std::vector<uint8_t> m_buffer;
    bool m_sampled = false;
    size_t m_least = 0;           // the pattern byte least common in the first chunk
    std::optional<size_t> m_rare; // the same, when rare enough for memchr forward
    std::optional<int64_t> m_match;
    bool m_wrapped = false;
};

} // namespace nv
