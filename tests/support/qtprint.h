// Readable failure output for Qt's strings: GoogleTest would print their
// code units one by one.
#pragma once

#include <QString>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
