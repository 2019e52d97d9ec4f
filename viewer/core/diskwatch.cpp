#include "viewer/core/diskwatch.h"

#include "platform/runtime/posixfile.h"

#include <cerrno>

namespace nv {

DiskState diskStateOf(const QByteArray &fileName, const struct stat &opened, int64_t size)
{
    struct stat now;
    if (::stat(fileName.constData(), &now) != 0)
        return diskStateOfFailure(errno);
    if (S_ISBLK(opened.st_mode)) {
        if (!S_ISBLK(now.st_mode) || now.st_rdev != opened.st_rdev)
            return DiskState::Changed;
        const posix::OpenedFile device =
            posix::openRegularForRead(fileName.toStdString(), posix::BlockDevices::Taken);
        return device.ok() && device.size == size ? DiskState::Same : DiskState::Changed;
    }
    const bool same = now.st_dev == opened.st_dev && now.st_ino == opened.st_ino &&
                      now.st_size == opened.st_size &&
                      now.st_mtim.tv_sec == opened.st_mtim.tv_sec &&
                      now.st_mtim.tv_nsec == opened.st_mtim.tv_nsec;
    return same ? DiskState::Same : DiskState::Changed;
}

DiskState diskStateOfFailure(int error)
{
    return error == ENOENT || error == ENOTDIR ? DiskState::Deleted : DiskState::Changed;
}

DiskWatch::DiskWatch(QObject *parent) : QObject(parent)
{
    // Whole seconds are precise enough, and let the system batch the wake-up
    // with others.
    m_timer.setTimerType(Qt::VeryCoarseTimer);
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &DiskWatch::check);
}

void DiskWatch::watch(const QByteArray &fileName, const struct stat &opened, int64_t size)
{
    m_fileName = fileName;
    m_opened = opened;
    m_size = size;
    m_state = DiskState::Same;
    m_timer.start();
}

void DiskWatch::stop()
{
    m_timer.stop();
    m_state = DiskState::Same;
}

void DiskWatch::check()
{
    if (!watching())
        return;
    const DiskState now = diskStateOf(m_fileName, m_opened, m_size);
    if (now == m_state)
        return;
    m_state = now;
    emit changed(now);
}

} // namespace nv
