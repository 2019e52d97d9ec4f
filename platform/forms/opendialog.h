// How the file-open dialog is set up. A file dialog decorates each entry
// with an icon and a type; Qt's own provider finds them by reading the
// file's first bytes, and reading /proc/kmsg, a FIFO or a device can block
// for ever. Here icons and types come from the name alone.
#pragma once

#include <QFileIconProvider>

class QFileDialog;

namespace nv::forms {

// Icons and type texts from the file's name (and whether it is a folder).
class NameOnlyIconProvider : public QFileIconProvider
{
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo &info) const override;
    QString type(const QFileInfo &info) const override;
};

// The dialog's own widgets, with the provider above, and wide enough that
// its columns show whole. A native dialog of the desktop would bring its own
// way of typing files.
void prepareOpenDialog(QFileDialog &dialog);

} // namespace nv::forms
