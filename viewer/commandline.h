// The program's command line: `norvale3 [--help] [--version] [FILE]`. A file
// to open is the only thing it carries; the settings come from config.ini
// alone. Nothing here needs a display, so the answers that end the program at
// once are given before the display is looked for.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <exception>
#include <optional>

namespace nv {

struct CommandLine
{
    // Start the program, opening `file` once the main window is shown;
    // otherwise end at once with `exitCode`, after writing `text` to standard
    // output (exit code 0) or standard error (a usage error, exit code 2).
    bool run = false;
    std::optional<QByteArray> file; // the name's bytes as given
    int exitCode = 0;
    QString text;
};

constexpr int kUsageExitCode = 2;

// `arguments` as the program received them (argv), its own name first.
CommandLine parseCommandLine(const QList<QByteArray> &arguments);

// The line for standard error when `file` could not be opened: `failure`,
// what ended the open, as its reason (the system's, where it gave one).
QByteArray cannotOpenLine(const QByteArray &file, const std::exception_ptr &failure);

} // namespace nv
