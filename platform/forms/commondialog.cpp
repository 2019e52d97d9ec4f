#include "platform/forms/commondialog.h"

#include "platform/forms/dialogs.h"
#include "platform/runtime/error.h"

#include <QStringList>

namespace nv::forms {

void CommonDialog::showOpen()
{
    const std::optional<QString> chosen = dialogs().showOpen(m_filter);
    if (!chosen)
        raise(err::CancelError);
    m_fileName = *chosen;
}

void CommonDialog::showColor()
{
    const std::optional<uint32_t> chosen = dialogs().showColor();
    if (!chosen)
        raise(err::CancelError);
    m_color = *chosen & 0xFFFFFF;
}

QStringList toQtNameFilters(const QString &classicFilter)
{
    QStringList out;
    const QStringList parts = classicFilter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i];
        if (description.isEmpty() && parts[i + 1].isEmpty())
            continue;
        QStringList patterns;
        for (QString p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            p = p.trimmed();
            patterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        // The patterns go last in parentheses, where Qt looks for them; the
        // dialog hides them and shows the description as written.
        out << QStringLiteral("%1 (%2)").arg(description, patterns.join(u' '));
    }
    if (out.isEmpty())
        out << QStringLiteral("(*)");
    return out;
}

} // namespace nv::forms
