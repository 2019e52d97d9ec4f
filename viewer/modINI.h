// config.ini: the settings file, read and written one key at a time. It lies
// in the program's directory where the user may write that, otherwise in the
// user's own settings directory (see nv::settingsDirectory).
#pragma once

#include "platform/runtime/appdir.h"

#include <QString>
#include <QVariant>

namespace nv {

// The file's sections, keys and default values.
namespace ini {
inline constexpr char kSectionApplication[] = "Application";
inline constexpr char kKeyName[] = "Name";
inline constexpr char kDefaultName[] = "Norvale";
inline constexpr char kSectionStartup[] = "Startup";
inline constexpr char kKeyShowSplash[] = "ShowSplash";
inline constexpr char kShowSplashOn[] = "TRUE";
inline constexpr char kShowSplashOff[] = "FALSE";
inline constexpr const char *kDefaultShowSplash = kShowSplashOn;
inline constexpr char kSectionColors[] = "Colors";
inline constexpr char kKeyFont[] = "Font";
inline constexpr char kDefaultFont[] = "0";
inline constexpr char kKeyBackground[] = "Background";
inline constexpr char kDefaultBackground[] = "16777215";
} // namespace ini

// Where config.ini is looked for. The program's is the running executable's
// directory and the user's configuration home; code that runs the viewer's
// modules from elsewhere (a test) gives its own.
class ConfigLocation
{
public:
    virtual ~ConfigLocation() = default;
    virtual SettingsRoots roots() const = 0;
};

// Makes the functions below use `location` (not owned; null: the running
// program's). Returns the one used before.
const ConfigLocation *setConfigLocation(const ConfigLocation *location);

// The settings directory followed by "/config.ini", formed anew on each call.
QString ConfigFilePath();

// Reads (mode "GET") or writes (mode "WRITE", any letter case) one key.
// Returns the value read ("" when missing, or when it begins with "Failed"),
// "OK", or a status text: "ERROR MODE", "ERROR Secname", "ERROR Keyname",
// "ERROR KeyValue". A refused write still answers "OK". A null varValue means
// no value. An unexpected failure shows its text in a message box and ends
// the program.
QString ProfileAccess(const QString &strMode, const QString &strSection, const QString &strKey,
                      const QVariant &varValue = QVariant());

// ProfileAccess for one of the ini:: keys: the value read, or the value
// written; a refused or empty value leaves the stored one, unreported.
QString readSetting(const char *section, const char *key);
void writeSetting(const char *section, const char *key, const QString &value);

// The groups of keys WriteDefaults writes.
inline constexpr QLatin1String kDefaultsEntire("Entire");
inline constexpr QLatin1String kDefaultsColors("Colors");
inline constexpr QLatin1String kDefaultsSplash("Splash");
inline constexpr QLatin1String kDefaultsAppKey("AppKey");

// Writes the defaults of a group of keys: one of the four above (exact
// case); any other selector writes nothing.
void WriteDefaults(const QString &strSelector);

// True when an ordinary (regular) file is at strPath; directories, FIFOs and
// dangling links do not count.
bool FileExists(const QString &strPath);

} // namespace nv
