#include "platform/forms/opendialog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QHeaderView>
#include <QLocale>
#include <QMimeDatabase>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeView>

#include <algorithm>

namespace nv::forms {

namespace {

// The type a file's name suggests; invalid when it suggests none.
QMimeType typeByName(const QFileInfo &info)
{
    const QList<QMimeType> types = QMimeDatabase().mimeTypesForFileName(info.fileName());
    return types.isEmpty() ? QMimeType() : types.constFirst();
}

// The width an item view gives a cell of `text`, as its delegate measures it.
int cellWidth(const QTreeView &view, const QString &text)
{
    QStyleOptionViewItem option;
    option.initFrom(&view);
    option.font = view.font();
    option.fontMetrics = view.fontMetrics();
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = text;
    return view.style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), &view).width();
}

// Once the dialog is shown and its view has its width, widens the dialog (as
// far as the screen allows) so that the columns fit.
class DialogWidener : public QObject
{
public:
    DialogWidener(QFileDialog &dialog, QTreeView &view) : QObject(&dialog), m_view(view)
    {
        dialog.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        watched->removeEventFilter(this);
        auto &dialog = static_cast<QWidget &>(*watched);
        const int needed = m_view.header()->length() + 2 * m_view.frameWidth() +
                           m_view.verticalScrollBar()->sizeHint().width();
        if (needed <= m_view.width())
            return false;
        int width = dialog.width() + needed - m_view.width();
        if (const QScreen *screen = dialog.screen())
            width = std::min(width, screen->availableGeometry().width());
        // A resize, not a move: the dialog places itself on its parent after this.
        dialog.resize(width, dialog.height());
        return false;
    }

private:
    QTreeView &m_view;
};

// The dialog's own column widths are fixed guesses that cut the size, the
// type and the date of this locale: each is widened to a wide value of its
// kind, and the dialog to the columns, so that they show whole when it
// opens. Widths it kept from an earlier session stay where they are wider.
void fitColumns(QFileDialog &dialog)
{
    auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!view)
        return;
    QHeaderView *header = view->header();
    // As the file system model writes them; the type as the provider below does.
    const QLocale locale = QLocale::system();
    const QString widest[] = {
        locale.formattedDataSize((qint64(1) << 30) - 1),
        QStringLiteral("plain text document"),
        locale.toString(QDateTime(QDate(2028, 5, 28), QTime(22, 58, 58)), QLocale::ShortFormat),
    };
    for (int column = 1; column <= 3 && column < header->count(); ++column) {
        const int need =
            std::max(cellWidth(*view, widest[column - 1]), header->sectionSizeHint(column));
        if (need > header->sectionSize(column))
            header->resizeSection(column, need);
    }
    new DialogWidener(dialog, *view);
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
    fitColumns(dialog);
}

} // namespace nv::forms
