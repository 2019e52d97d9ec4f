#include "platform/forms/opendialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMimeDatabase>

namespace nv::forms {

namespace {

// The type a file's name suggests; invalid when it suggests none.
QMimeType typeByName(const QFileInfo &info)
{
    const QList<QMimeType> types = QMimeDatabase().mimeTypesForFileName(info.fileName());
    return types.isEmpty() ? QMimeType() : types.constFirst();
}

} // namespace

QIcon NameOnlyIconProvider::icon(const QFileInfo &info) const
{
    if (info.isDir())
        return icon(QAbstractFileIconProvider::Folder);
    const QIcon fallback = icon(QAbstractFileIconProvider::File);
    const QMimeType type = typeByName(info);
    if (!type.isValid())
        return fallback;
    return QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), fallback));
}

QString NameOnlyIconProvider::type(const QFileInfo &info) const
{
    if (info.isDir())
        return QCoreApplication::translate("QAbstractFileIconProvider", "Folder");
    const QMimeType type = typeByName(info);
    if (type.isValid())
        return type.comment().isEmpty() ? type.name() : type.comment();
    return QCoreApplication::translate("QAbstractFileIconProvider", "File");
}

void prepareOpenDialog(QFileDialog &dialog)
{
    // Shared by every dialog and never freed: a dialog does not own its provider.
    static auto *const provider = new NameOnlyIconProvider;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons);
    dialog.setIconProvider(provider);
}

} // namespace nv::forms
