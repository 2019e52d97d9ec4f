// What the tests of the splash, options and about windows share: dialogs
// answered in a person's place, a program that ends by exception, and a
// program directory of its own for each test.
#pragma once

#include "forms/dialogs.h"
#include "testenv.h"

#include <QString>

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace nvtest {

struct ShownMessage
{
    QString text;
    nv::MsgButtons buttons;
    QString title;
};

class AnsweringDialogs : public nv::PlatformDialogs
{
public:
    AnsweringDialogs() : m_previous(nv::setDialogs(this)) {}
    ~AnsweringDialogs() override { nv::setDialogs(m_previous); }

    // Answers in order; with none left a question is a test failure and
    // is answered Cancel (an OK box is answered OK).
    std::deque<nv::MsgAnswer> answers;
    std::vector<ShownMessage> messages;
    // Colour picks in order; nothing means the person cancelled.
    std::deque<std::optional<uint32_t>> colours;

    nv::MsgAnswer messageBox(const QString &text, nv::MsgButtons buttons,
                             const QString &title) override;
    std::optional<QString> showOpen(const QString &filter) override;
    std::optional<uint32_t> showColor() override;

private:
    nv::PlatformDialogs *m_previous;
};

// nv::endProgram throws this in the tests.
struct ProgramEnded
{
    int code;
};

// A scratch program directory, the settings globals emptied, the program's
// end made catchable and the main window fresh; all undone afterwards.
class ProgramScope
{
public:
    ProgramScope();
    ~ProgramScope();
    std::filesystem::path configPath() const { return m_dir / "config.ini"; }
    const std::filesystem::path &dir() const { return m_dir.path(); }

private:
    ScratchDir m_dir{"program"};
};

// config.ini with its line ends made "\n", for comparisons.
std::string configText(const std::filesystem::path &p);

} // namespace nvtest
