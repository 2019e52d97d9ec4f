#include "viewer/commandline.h"

#include "platform/appinfo/appinfo.h"
#include "platform/runtime/posixfile.h"

#include <QCommandLineParser>
#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace nv {

namespace {

const QString kUsageLine = QStringLiteral("Usage: norvale3 [--help] [--version] [FILE]");

// The parser's help with our own first line: its own would name the program
// by its path, or not at all when no application object exists yet.
QString usageText(const QCommandLineParser &parser)
{
    const QString help = parser.helpText();
    const qsizetype firstLineEnd = help.indexOf(QLatin1Char('\n'));
    return kUsageLine + (firstLineEnd < 0 ? QStringLiteral("\n") : help.mid(firstLineEnd));
}

CommandLine endWith(int exitCode, const QString &text)
{
    CommandLine c;
    c.exitCode = exitCode;
    c.text = text;
    return c;
}

} // namespace

CommandLine parseCommandLine(const QList<QByteArray> &rawArguments)
{
    QStringList arguments;
    for (const QByteArray &a : rawArguments)
        arguments.append(QFile::decodeName(a));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("View FILE one 512-byte page at a time, in hexadecimal and as characters."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("The file to open; after -- a name may begin with a dash."),
        QStringLiteral("[FILE]"));

    if (!parser.parse(arguments))
        return endWith(kUsageExitCode, QStringLiteral("norvale3: ") + parser.errorText() +
                                           QLatin1Char('\n') + usageText(parser));
    if (parser.isSet(help))
        return endWith(0, usageText(parser));
    if (parser.isSet(version))
        return endWith(0, QStringLiteral("norvale3 %1.%2.%3\n")
                              .arg(app::major())
                              .arg(app::minor())
                              .arg(app::revision()));
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return endWith(kUsageExitCode, QStringLiteral("norvale3: only one file can be opened\n") +
                                           usageText(parser));

    CommandLine c;
    c.run = true;
    // The parser works on text; the file is opened by the bytes it was
    // named with, as a name that is not UTF-8 has no text that gives them
    // back. Any argument with the same text is the same file, or a second
    // one, refused above.
    if (!files.isEmpty())
        c.file = rawArguments.at(arguments.indexOf(files.front(), 1));
    return c;
}

QByteArray fromWorkingFolder(const QByteArray &file)
{
    if (file.isEmpty() || file.startsWith('/'))
        return file;
    // Joined, not cleaned: "link/../x" must stay what the system makes of it.
    char *cwd = ::getcwd(nullptr, 0);
    if (!cwd)
        return file;
    const QByteArray path = QByteArray(cwd) + '/' + file;
    std::free(cwd);
    return path;
}

QByteArray cannotOpenLine(const QByteArray &file)
{
    // The open itself reports only an error number; the system's reason is
    // asked for again with the same open the program makes.
    const posix::OpenedFile f = posix::openRegularForRead(file.toStdString());
    QByteArray reason = QByteArray::fromStdString(posix::openRefusal(f));
    if (reason.isEmpty())
        reason = "It could not be read";
    return "norvale3: cannot open '" + file + "': " + reason + '\n';
}

} // namespace nv
