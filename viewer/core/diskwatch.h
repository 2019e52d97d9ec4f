// Noticing that the viewed file changed on disk: its size or modification
// time, another file put under its name (an editor's save, a `mv`), or the
// name gone. One stat of the name a second, compared with the status the
// file had when it was opened; nothing is read and no thread is started.
// QFileSystemWatcher would need re-arming after every replacement and
// watching the folder besides, to see a file moved onto the name; a stat a
// second sees all of these the same way.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <sys/stat.h>

namespace nv {

enum class DiskState { Same, Changed, Deleted };

// What became of the file that had status `opened` (and `size`) when it
// was opened, seen by the name it was opened by. Of a block device, what it
// can change: which device the name is, and its size.
DiskState diskStateOf(const QByteArray &fileName, const struct stat &opened, int64_t size);
// The same when the name cannot be looked at, by the system's error: only a
// name that is gone (or a folder on its way) means a deleted file; a folder
// made unreadable, say, may still hold it.
DiskState diskStateOfFailure(int error);

class DiskWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 1000;

    explicit DiskWatch(QObject *parent = nullptr);

    // Watches the file opened by `fileName` with status `opened`; the state
    // starts as Same.
    void watch(const QByteArray &fileName, const struct stat &opened, int64_t size);
    void stop();
    bool watching() const { return m_timer.isActive(); }
    DiskState state() const { return m_state; }

    // One check now, as the timer makes them.
    void check();

signals:
    // The state moved to `state`.
    void changed(nv::DiskState state);

private:
    QTimer m_timer;
    QByteArray m_fileName;
    struct stat m_opened = {};
    int64_t m_size = 0;
    DiskState m_state = DiskState::Same;
};

} // namespace nv
