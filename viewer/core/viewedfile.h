// The file the viewer shows, file number 1, as the windows ask about it:
// its size and status at the open or the last reload, the rule for a file
// the viewer can show, the open that tries a file under a second number
// before it takes file number 1's place, the watch on its name, and Find's
// current position and last search. It never holds the page: the page
// selector stays the page's only home, so what depends on the page takes the
// selector's value, and the page tables stay those of page rendering.
#pragma once

#include "viewer/core/bytesearch.h"
#include "viewer/core/diskwatch.h"
#include "viewer/core/findpattern.h"
#include "viewer/core/pageposition.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace nv {

// Why something failed, in the system's words where it gave them (decoded
// from the locale's encoding, as the system writes them).
QString reasonOf(const std::exception &error);
// "Cannot read page 6: Input/output error", for the selector's page.
QString cannotReadNotice(int32_t selectorValue, const std::exception &error);

// The last search of the session: what the Find dialog held, and its bytes.
struct LastSearch
{
    FindSettings settings;
    QByteArray pattern;
};

class ViewedFile : public QObject
{
    Q_OBJECT

public:
    explicit ViewedFile(QObject *parent = nullptr);

    // What the viewer shows: a regular file or a block device it may read,
    // of at most 1 TiB - 512 bytes (the page selector's 2^31 - 1 pages),
    // whose first byte reads; beyond 2 GiB only with a hex module that
    // labels 64-bit offsets. Raises with the reason when the file open under
    // `number` is not such a file.
    static void checkShowable(int number);
    // The same of a name, nothing kept open: only a regular file or a block
    // device is opened to find out, as opening a FIFO or a character device
    // may act on it.
    static bool canBeShown(const QByteArray &fileName);

    bool isOpen() const;
    // The name file number 1 was opened by, as its bytes; its last part as
    // a file manager shows it (stray bytes of a name that is not UTF-8 as
    // replacement characters).
    const QByteArray &name() const { return m_name; }
    QString shownName() const;
    // Its status and size at the open or the last reload.
    const struct stat &status() const { return m_status; }
    int64_t size() const { return m_size; }
    // The width of its offset labels.
    int labelDigits() const;

    // File number 1 from `fileName`, or the file tried under the second
    // number, which then moves there. A file that cannot be shown is not
    // left open.
    void open(const QByteArray &fileName);
    // Tries `fileName` under the second number and, when it can be shown,
    // runs `replace`, whose open() takes the tried file. A file that cannot
    // be shown, or a `replace` that raises, leaves nothing open there.
    void tryThen(const QByteArray &fileName, const std::function<void()> &replace);
    void close();

    // Reload: the name is tried again and, when it can be shown, takes file
    // number 1's place; `show(pages)` then shows its page. The file it
    // replaces is kept aside until that has worked: when `show` raises, the
    // old file comes back as it was and `restore` shows it again. What
    // raised is raised again; a file that cannot be shown changes nothing.
    void reload(const std::function<void(int32_t pages)> &show,
                const std::function<void()> &restore);

    bool watching() const { return m_watch.watching(); }
    DiskState diskState() const { return m_watch.state(); }
    // One look at the name now, as the watch makes one a second.
    void checkDisk() { m_watch.check(); }

    // Find's current position: the first byte reached by a jump or a match,
    // or else the shown page's first byte.
    int64_t position(int32_t selectorValue) const;
    bool positionSelected() const { return m_reached.has_value(); }
    // Every page change puts the position back to the page's first byte;
    // a jump or a match sets it once its page is shown.
    void pageChanged() { m_reached.reset(); }
    void reach(int64_t first, int64_t last);
    std::optional<ByteRun> reached() const { return m_reached; }

    void remember(const FindSettings &settings, const QByteArray &pattern);
    const std::optional<LastSearch> &lastSearch() const { return m_lastSearch; }
    // A search for `pattern` from the current position.
    SearchRequest searchFrom(int32_t selectorValue, const QByteArray &pattern, bool caseMatters,
                             bool backward) const;

    // Whether the display's selection (start and length in the rendered
    // page) is still the one that shows what a jump or a match reached.
    bool reachSelected(int32_t selectorValue, int selStart, int selLength) const;
    // Where the user is, and what Copy As copies: the bytes reached while
    // the selection that reached them stands, else those the selection
    // covers on the shown page, else (for the position) the current
    // position. Only bytes inside the file as long as it was at the open or
    // the last reload.
    ByteRun where(int32_t selectorValue, int selStart, int selLength) const;
    // Nothing while the page is not shown (`pageShown` false).
    std::vector<uint8_t> bytesToCopy(int32_t selectorValue, bool pageShown, int selStart,
                                     int selLength) const;

    // What the user is told of the file on disk; empty while it is the same.
    QString diskNotice() const;

signals:
    void diskStateChanged(nv::DiskState state);

private:
    static void tryOpen(const QByteArray &fileName);
    static void dropTried();
    void took(const QByteArray &fileName);

    QByteArray m_name;
    struct stat m_status = {};
    int64_t m_size = 0;
    DiskWatch m_watch;
    std::optional<ByteRun> m_reached;
    std::optional<LastSearch> m_lastSearch;
};

} // namespace nv
