#include "viewer/modINI.h"

#include "viewer/modDeclares.h"

#include "platform/appinfo/appinfo.h"
#include "platform/forms/dialogs.h"
#include "platform/runtime/appdir.h"
#include "platform/runtime/end.h"
#include "platform/runtime/error.h"

#include <QFile>

#include <exception>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <utility>

namespace nv {
namespace {

// What a missing key reads as; a value starting so reads as missing too.
constexpr char kMissing[] = "Failed";
constexpr uint32_t kValueBufferSize = 50;

class RunningProgram final : public ConfigLocation
{
public:
    SettingsRoots roots() const override { return runningProgramRoots(); }
};

const RunningProgram kRunningProgram;
// The program has one thread: a plain pointer does.
const ConfigLocation *gLocation = &kRunningProgram;

std::string configDirectory()
{
    return settingsDirectory(gLocation->roots());
}

std::string configPathBytes(const std::string &dir)
{
    return dir + "/config.ini";
}

// The file holds 8-bit text, one byte per character. A text with a
// character beyond Latin-1 has no such bytes: it names no key there and is
// not written (rather than written with the character lost).
std::optional<std::string> latin1Bytes(const QString &text)
{
    std::string out;
    out.reserve(std::size_t(text.size()));
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            return std::nullopt;
        out.push_back(char(c.unicode()));
    }
    return out;
}

QString valueText(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (!value.canConvert<QString>())
        raise(err::TypeMismatch);
    return value.toString();
}

void writeKey(const std::string &path, const QString &section, const QString &key,
              const QString &value)
{
    const auto s = latin1Bytes(section);
    const auto k = latin1Bytes(key);
    const auto v = latin1Bytes(value);
    // Whether the write took place is not the caller's concern.
    if (s && k && v)
        profile::writeString(*s, *k, *v, path);
}

QString readKey(const std::string &path, const QString &section, const QString &key)
{
    const auto s = latin1Bytes(section);
    const auto k = latin1Bytes(key);
    char buffer[kValueBufferSize];
    uint32_t delivered = 0;
    // A NUL would end the name early and name another key.
    if (s && k && s->find('\0') == std::string::npos && k->find('\0') == std::string::npos) {
        delivered = GetPrivateProfileStringA(s->c_str(), k->c_str(), kMissing, buffer,
                                             kValueBufferSize, path.c_str());
    } else {
        delivered =
            GetPrivateProfileStringA(nullptr, nullptr, kMissing, buffer, kValueBufferSize, nullptr);
    }
    const QString value = QString::fromLatin1(buffer, qsizetype(delivered));
    return value.left(6) == QLatin1String(kMissing) ? QString() : value;
}

QString access(const QString &strMode, const QString &strSection, const QString &strKey,
               const QVariant &varValue)
{
    QString result = QStringLiteral("OK");
    if (strMode.isEmpty())
        return QStringLiteral("ERROR MODE");
    if (strSection.isEmpty())
        return QStringLiteral("ERROR Secname");
    if (strKey.isEmpty())
        return QStringLiteral("ERROR Keyname");

    const std::string dir = configDirectory();
    const std::string path = configPathBytes(dir);
    const QString mode = strMode.toUpper();
    if (mode == QLatin1String("WRITE")) {
        if (!varValue.isValid() || varValue.isNull())
            return QStringLiteral("ERROR KeyValue");
        const QString text = valueText(varValue);
        if (text.isEmpty())
            return QStringLiteral("ERROR KeyValue");
        // The user's settings directory comes with the first write; a
        // directory that cannot be made fails the write like any other.
        makeSettingsDirectory(dir);
        writeKey(path, strSection, strKey, text);
    }
    if (mode == QLatin1String("GET"))
        result = readKey(path, strSection, strKey);
    return result;
}

} // namespace

const ConfigLocation *setConfigLocation(const ConfigLocation *location)
{
    return std::exchange(gLocation, location ? location : &kRunningProgram);
}

QString ConfigFilePath()
{
    return QFile::decodeName(QByteArray::fromStdString(configPathBytes(configDirectory())));
}

QString ProfileAccess(const QString &strMode, const QString &strSection, const QString &strKey,
                      const QVariant &varValue)
{
    QString failure;
    try {
        return access(strMode, strSection, strKey, varValue);
    } catch (const std::exception &e) {
        // nv::RuntimeError is one of these; its text is the error's description.
        failure = QString::fromUtf8(e.what());
    }
    dialogs().messageBox(failure, MsgButtons::OK, app::title());
    endProgram();
}

QString readSetting(const char *section, const char *key)
{
    return ProfileAccess(QStringLiteral("GET"), QLatin1String(section), QLatin1String(key));
}

void writeSetting(const char *section, const char *key, const QString &value)
{
    ProfileAccess(QStringLiteral("WRITE"), QLatin1String(section), QLatin1String(key),
                  QVariant(value));
}

void WriteDefaults(const QString &strSelector)
{
    using namespace ini;
    auto put = [](const char *section, const char *key, const char *value) {
        writeSetting(section, key, QLatin1String(value));
    };
    if (strSelector == kDefaultsEntire) {
        put(kSectionApplication, kKeyName, kDefaultName);
        put(kSectionStartup, kKeyShowSplash, kDefaultShowSplash);
        put(kSectionColors, kKeyFont, kDefaultFont);
        put(kSectionColors, kKeyBackground, kDefaultBackground);
    } else if (strSelector == kDefaultsColors) {
        put(kSectionColors, kKeyFont, kDefaultFont);
        put(kSectionColors, kKeyBackground, kDefaultBackground);
    } else if (strSelector == kDefaultsSplash) {
        put(kSectionStartup, kKeyShowSplash, kDefaultShowSplash);
    } else if (strSelector == kDefaultsAppKey) {
        put(kSectionApplication, kKeyName, kDefaultName);
    }
}

bool FileExists(const QString &strPath)
{
    if (strPath.isEmpty())
        return false;
    const QByteArray path = QFile::encodeName(strPath);
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace nv
