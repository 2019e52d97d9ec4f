#include "viewer/core/viewedfile.h"

#include "viewer/core/copyas.h"
#include "viewer/core/libraries.h"
#include "viewer/core/modFormOps.h"
#include "viewer/core/modIO.h"

#include "platform/files/filenumbers.h"
#include "platform/runtime/error.h"

#include <QLocale>

#include <algorithm>
#include <climits>
#include <cstring>

namespace nv {

namespace {

// Where the file a reload replaces waits until the new page is shown.
constexpr int kReplacedFileNumber = 3;

// The largest file the page selector counts: 2^31 - 1 pages of 512 bytes.
constexpr int64_t kLargestFile = int64_t(INT32_MAX) * kBytesPerPage;
// Past this, page positions need more than 32 bits, and labels the long
// offsets of the hex module's second interface.
constexpr int64_t kLargestClassicFile = int64_t(1) << 31;

} // namespace

QString reasonOf(const std::exception &error)
{
    const auto *runtime = dynamic_cast<const RuntimeError *>(&error);
    if (runtime && runtime->systemError())
        return QString::fromLocal8Bit(std::strerror(runtime->systemError()));
    return QString::fromLocal8Bit(error.what());
}

ViewedFile::ViewedFile(QObject *parent) : QObject(parent)
{
    connect(&m_watch, &DiskWatch::changed, this, &ViewedFile::diskStateChanged);
}

QString cannotReadNotice(int32_t selectorValue, const std::exception &error)
{
    return QStringLiteral("Cannot read page %1: %2")
        .arg(QLocale().toString(qlonglong(1 - int64_t(selectorValue))), reasonOf(error));
}

void ViewedFile::checkShowable(int number)
{
    const int64_t size = files::openedSize(number);
    if (size > kLargestFile)
        raise(err::Overflow, "File too large for Norvale (1 TiB or more)");
    if (size > kLargestClassicFile && !theHexFunctions().hasLongOffsets())
        raise(err::ObjectDoesntSupport, kOlderHexModule);
    uint8_t first = 0;
    files::readCounted(number, 0, 1, &first);
}

bool ViewedFile::canBeShown(const QByteArray &fileName)
{
    struct stat info;
    if (::stat(fileName.constData(), &info) != 0 ||
        !(S_ISREG(info.st_mode) || S_ISBLK(info.st_mode)) || info.st_size > kLargestFile)
        return false;
    try {
        tryOpen(fileName);
    } catch (const std::exception &) {
        return false;
    }
    dropTried();
    return true;
}

QString ViewedFile::shownName() const
{
    return QString::fromUtf8(m_name.mid(m_name.lastIndexOf('/') + 1));
}

int ViewedFile::labelDigits() const
{
    return labelDigitsFor(m_size);
}

bool ViewedFile::isOpen() const
{
    return files::isOpen(kFileNumber);
}

void ViewedFile::tryOpen(const QByteArray &fileName)
{
    files::openForRead(kTriedFileNumber, fileName.toStdString());
    try {
        checkShowable(kTriedFileNumber);
    } catch (...) {
        dropTried();
        throw;
    }
}

void ViewedFile::dropTried()
{
    files::close(kTriedFileNumber);
}

void ViewedFile::tryThen(const QByteArray &fileName, const std::function<void()> &replace)
{
    tryOpen(fileName);
    try {
        replace();
    } catch (...) {
        dropTried();
        throw;
    }
    dropTried(); // when `replace` did not take it
}

void ViewedFile::open(const QByteArray &fileName)
{
    if (files::isOpen(kTriedFileNumber)) {
        files::renumber(kTriedFileNumber, kFileNumber);
    } else {
        files::openForRead(kFileNumber, fileName.toStdString());
        try {
            checkShowable(kFileNumber);
        } catch (...) {
            files::close(kFileNumber);
            throw;
        }
    }
    took(fileName);
}

void ViewedFile::took(const QByteArray &fileName)
{
    m_name = fileName;
    m_status = files::openedStatus(kFileNumber);
    m_size = files::openedSize(kFileNumber);
    m_watch.watch(m_name, m_status, m_size);
    m_reached.reset();
}

void ViewedFile::close()
{
    files::close(kFileNumber);
    m_watch.stop();
    m_reached.reset();
}

void ViewedFile::reload(const std::function<void(int32_t pages)> &show,
                        const std::function<void()> &restore)
{
    tryOpen(m_name);
    const struct stat oldStatus = m_status;
    const int64_t oldSize = m_size;
    files::renumber(kFileNumber, kReplacedFileNumber);
    files::renumber(kTriedFileNumber, kFileNumber);
    took(m_name);
    try {
        show(PageCountOfLength(m_size));
    } catch (...) {
        files::close(kFileNumber);
        files::renumber(kReplacedFileNumber, kFileNumber);
        m_status = oldStatus;
        m_size = oldSize;
        m_watch.watch(m_name, m_status, m_size);
        m_reached.reset();
        restore();
        throw;
    }
    files::close(kReplacedFileNumber);
}

int64_t ViewedFile::position(int32_t selectorValue) const
{
    return m_reached ? m_reached->first : pageOffsetOf(selectorValue);
}

void ViewedFile::reach(int64_t first, int64_t last)
{
    m_reached = ByteRun{first, last - first + 1};
}

void ViewedFile::remember(const FindSettings &settings, const QByteArray &pattern)
{
    m_lastSearch = LastSearch{settings, pattern};
}

SearchRequest ViewedFile::searchFrom(int32_t selectorValue, const QByteArray &pattern,
                                     bool caseMatters, bool backward) const
{
    SearchRequest request;
    request.pattern = pattern;
    request.matchCase = caseMatters;
    request.direction = backward ? SearchDirection::Backward : SearchDirection::Forward;
    request.position = position(selectorValue);
    request.positionSelected = positionSelected();
    return request;
}

bool ViewedFile::reachSelected(int32_t selectorValue, int selStart, int selLength) const
{
    return m_reached &&
           reachCells(*m_reached, pageOffsetOf(selectorValue), labelDigits()).selection ==
               TextRun{selStart, selLength};
}

ByteRun ViewedFile::where(int32_t selectorValue, int selStart, int selLength) const
{
    if (reachSelected(selectorValue, selStart, selLength))
        return *m_reached;
    const int64_t pageOffset = pageOffsetOf(selectorValue);
    if (selLength > 0) {
        const PageBytes bytes =
            selectedPageBytes(selStart, selLength, bytesOnPage(pageOffset, m_size), labelDigits());
        if (bytes.count > 0)
            return {pageOffset + bytes.first, bytes.count};
    }
    return {position(selectorValue), 1};
}

// What was reached may lie past the shown page: those bytes are read from
// the file. A selection's come from the page as it was read when shown.
std::vector<uint8_t> ViewedFile::bytesToCopy(int32_t selectorValue, bool pageShown, int selStart,
                                             int selLength) const
{
    if (!pageShown)
        return {};
    if (reachSelected(selectorValue, selStart, selLength)) {
        const int64_t last = std::min(m_reached->first + m_reached->count, m_size) - 1;
        std::vector<uint8_t> bytes(size_t(std::max<int64_t>(last - m_reached->first + 1, 0)));
        bytes.resize(size_t(files::readCounted(kFileNumber, m_reached->first, int32_t(bytes.size()),
                                               bytes.data())));
        return bytes;
    }
    const PageBytes range = selectedPageBytes(
        selStart, selLength, bytesOnPage(pageOffsetOf(selectorValue), m_size), labelDigits());
    std::vector<uint8_t> bytes(size_t(range.count));
    for (int k = 0; k < range.count; ++k) {
        const int b = range.first + k;
        bytes[size_t(k)] = PageBuffer().at(b / kBytesPerLine, b % kBytesPerLine);
    }
    return bytes;
}

QString ViewedFile::diskNotice() const
{
    switch (m_watch.state()) {
    case DiskState::Changed:
        return QStringLiteral("Changed on disk - F5 reloads");
    case DiskState::Deleted:
        return QStringLiteral("Deleted on disk - the copy shown stays open");
    case DiskState::Same:
        break;
    }
    return {};
}

} // namespace nv
