// The platform dialogs answered in a person's place: queued answers, and a
// record of what was asked. The one fake of the dialogs that all tests use.
#pragma once

#include "platform/forms/dialogs.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <vector>

namespace nvtest {

struct ShownMessage
{
    QString text;
    nv::MsgButtons buttons;
    QString title;
};

class FakeDialogs : public nv::PlatformDialogs
{
public:
    enum class Questions { MayGoUnanswered, MustBeAnswered };

    explicit FakeDialogs(Questions questions = Questions::MayGoUnanswered)
        : questionsMustBeAnswered(questions == Questions::MustBeAnswered),
          m_previous(nv::setDialogs(this))
    {
    }
    ~FakeDialogs() override { nv::setDialogs(m_previous); }
    FakeDialogs(const FakeDialogs &) = delete;
    FakeDialogs &operator=(const FakeDialogs &) = delete;

    std::deque<QString> openAnswers;                  // empty queue or a null text: cancel
    std::deque<std::optional<uint32_t>> colorAnswers; // empty queue or nothing: cancel
    std::deque<nv::MsgAnswer> messageAnswers;         // empty queue: OK / Cancel
    // With this set, a question (not an OK box) with no answer queued is a
    // test failure.
    bool questionsMustBeAnswered;

    QStringList filtersSeen;
    std::vector<ShownMessage> messages;

    nv::MsgAnswer messageBox(const QString &text, nv::MsgButtons buttons,
                             const QString &title) override
    {
        messages.push_back({text, buttons, title});
        if (buttons == nv::MsgButtons::OK)
            return nv::MsgAnswer::OK;
        if (messageAnswers.empty()) {
            if (questionsMustBeAnswered)
                ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return nv::MsgAnswer::Cancel;
        }
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
