#include "viewer/commandline.h"

#include "platform/appinfo/appinfo.h"
#include "viewer/core/viewedfile.h"

#include <QCommandLineParser>
#include <QFile>
#include <QStringList>

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

// An option neither we nor the parser know, as it was given: the parser
// names single-dash words letter by letter, and drops the dashes.
QString unknownOption(const QStringList &arguments, const QStringList &known)
{
    for (const QString &a : arguments.mid(1)) {
        if (a == QLatin1String("--"))
            break;
        if (a.startsWith(QLatin1Char('-')) && a.size() > 1 && !known.contains(a))
            return QStringLiteral("unknown option '%1'").arg(a);
    }
    return {};
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

    if (!parser.parse(arguments)) {
        QString error;
        if (!parser.unknownOptionNames().isEmpty())
            error = unknownOption(arguments, {QStringLiteral("-h"), QStringLiteral("--help"),
                                              QStringLiteral("--version")});
        if (error.isEmpty())
            error = parser.errorText();
        return endWith(kUsageExitCode, QStringLiteral("norvale3: ") + error + QLatin1Char('\n') +
                                           usageText(parser));
    }
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

QByteArray cannotOpenLine(const QByteArray &file, const std::exception_ptr &failure)
{
    // The reason the open itself met: the system's, where it gave one.
    QByteArray reason;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception &e) {
        reason = reasonOf(e).toLocal8Bit();
    }
    return "norvale3: cannot open '" + file + "': " + reason + '\n';
}

} // namespace nv
