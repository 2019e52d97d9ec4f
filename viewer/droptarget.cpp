#include "viewer/droptarget.h"

#include "viewer/core/droppedfile.h"
#include "viewer/core/viewedfile.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSysInfo>

namespace nv {

namespace {

// While the options dialog or the about box is open the main window takes
// no commands. Qt keeps keys and shortcuts from a window a modal one blocks;
// drops are refused here.
bool modalWindowOpen()
{
    return QApplication::activeModalWidget() != nullptr;
}

// The file a drop of this data would open, as the bytes of its name, or
// nothing: it must be exactly one local file that the window can show.
QByteArray fileNameOf(const QMimeData *data)
{
    const QString uriList = QStringLiteral("text/uri-list");
    if (!data || !data->hasFormat(uriList))
        return {};
    const QByteArray name =
        localFileOfUriList(data->data(uriList), QSysInfo::machineHostName().toUtf8());
    if (name.isEmpty() || !ViewedFile::canBeShown(name))
        return {};
    return name;
}

// Taken as a copy where the source offers one; refused otherwise, which the
// cursor shows before anything is dropped.
bool takeAsCopy(QDropEvent *event, const QByteArray &fileName)
{
    if (fileName.isEmpty() || modalWindowOpen() || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

} // namespace

void FileDropTarget::enter(QDragEnterEvent *event)
{
    m_fileName = modalWindowOpen() ? QByteArray() : fileNameOf(event->mimeData());
    takeAsCopy(event, m_fileName);
}

void FileDropTarget::move(QDragMoveEvent *event)
{
    takeAsCopy(event, m_fileName);
}

QByteArray FileDropTarget::drop(QDropEvent *event)
{
    const QByteArray fileName = std::exchange(m_fileName, QByteArray());
    return takeAsCopy(event, fileName) ? fileName : QByteArray();
}

} // namespace nv
