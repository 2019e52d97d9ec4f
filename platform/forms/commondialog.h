// The common dialog: an invisible control that opens the file-open dialog or
// the colour picker through nv::dialogs() (dialogs.h), so a test can answer
// in a person's place. A cancel raises nv::RuntimeError 32755 "Cancel was
// selected." and leaves FileName and Color as they were.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

namespace nv::forms {

class CommonDialog : public QObject
{
    Q_OBJECT

public:
    // Classic "Description|pattern|Description|pattern|" text.
    void setFilter(const QString &filter) { m_filter = filter; }
    const QString &filter() const { return m_filter; }

    void showOpen();
    const QString &fileName() const { return m_fileName; }
    void setFileName(const QString &name) { m_fileName = name; }

    void showColor();
    uint32_t color() const { return m_color; } // colour word; 0 (black) until a pick
    void setColor(uint32_t color) { m_color = color; }

private:
    QString m_filter;
    QString m_fileName;
    uint32_t m_color = 0;
};

// The classic filter text as a Qt name filter list: "*.*" lists every file,
// since on Linux it would match only names with a dot.
QStringList toQtNameFilters(const QString &classicFilter);

} // namespace nv::forms
