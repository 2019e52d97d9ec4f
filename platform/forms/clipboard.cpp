#include "platform/forms/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace nv::forms::clipboard {

void clear()
{
    QGuiApplication::clipboard()->clear();
}
void setText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}
QString text()
{
    return QGuiApplication::clipboard()->text();
}

} // namespace nv::forms::clipboard
