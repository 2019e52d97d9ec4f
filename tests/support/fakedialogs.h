// Dialogs answered by the test: queued answers, and a record of what was asked.
#pragma once

#include "forms/dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

namespace nvtest {

class FakeDialogs : public nv::PlatformDialogs
{
public:
    FakeDialogs() : m_previous(nv::setDialogs(this)) {}
    ~FakeDialogs() override { nv::setDialogs(m_previous); }

    std::deque<QString> openAnswers;                  // empty queue or a null text: cancel
    std::deque<std::optional<uint32_t>> colorAnswers; // empty queue: cancel
    std::deque<nv::MsgAnswer> messageAnswers;         // empty queue: OK / Cancel
    QStringList filtersSeen;
    QStringList messagesSeen;

    nv::MsgAnswer messageBox(const QString &text, nv::MsgButtons buttons, const QString &) override
    {
        messagesSeen << text;
        if (messageAnswers.empty())
            return buttons == nv::MsgButtons::OK ? nv::MsgAnswer::OK : nv::MsgAnswer::Cancel;
        const nv::MsgAnswer a = messageAnswers.front();
        messageAnswers.pop_front();
        return a;
    }
    std::optional<QString> showOpen(const QString &filter) override
    {
        filtersSeen << filter;
        if (openAnswers.empty())
            return std::nullopt;
        const QString a = openAnswers.front();
        openAnswers.pop_front();
        if (a.isNull())
            return std::nullopt;
        return std::optional<QString>(a);
    }
    std::optional<uint32_t> showColor() override
    {
        if (colorAnswers.empty())
            return std::nullopt;
        auto a = colorAnswers.front();
        colorAnswers.pop_front();
        return a;
    }

private:
    nv::PlatformDialogs *m_previous;
};

} // namespace nvtest
