#include "viewer/core/diskwatch.h"

#include <cerrno>

namespace nv {

DiskState diskStateOf(const QByteArray &fileName, const struct stat &opened)
{
    struct stat now;
    if (::stat(fileName.constData(), &now) != 0)
        return diskStateOfFailure(errno);
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

void DiskWatch::watch(const QByteArray &fileName, const struct stat &opened)
{
    m_fileName = fileName;
    m_opened = opened;
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
    const DiskState now = diskStateOf(m_fileName, m_opened);
    if (now == m_state)
        return;
    m_state = now;
    emit changed(now);
}

} // namespace nv
