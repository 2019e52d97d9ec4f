// The program's own information, as its version block carries it. All of it
// comes from one place in the build (the project's CMake variables).
#pragma once

#include <QString>

namespace nv::app {

QString path(); // the program's directory, without a trailing separator
int major();
int minor();
int revision();
QString title();
QString productName();
QString fileDescription();
QString comments();
QString legalCopyright();
QString companyName();
QString internalName();
// The text form of the version, "3.00.0004".
QString versionText();

} // namespace nv::app
