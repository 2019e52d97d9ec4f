// The main window as the target of a file dragged from a file manager: one
// local file the viewer can show, taken as a copy, never as a move (a file
// manager removes what it moved, and the viewer never changes or loses the
// file it shows). The decision is made once, when the drag enters, and kept
// for its moves; a drop is refused while a modal window of the program is
// open. The file a drop names is checked again by the open that follows.
#pragma once

#include <QByteArray>

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;

namespace nv {

class FileDropTarget
{
public:
    void enter(QDragEnterEvent *event);
    void move(QDragMoveEvent *event);
    // The file to open, the drop taken as a copy; empty when it is refused.
    QByteArray drop(QDropEvent *event);

private:
    QByteArray m_fileName; // of the drag that entered; empty when refused
};

} // namespace nv
