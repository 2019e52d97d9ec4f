#include "platform/appinfo/appinfo.h"

#include "platform/appinfo/appinfo_config.h"
#include "platform/runtime/appdir.h"

namespace nv::app {

QString path()
{
    return QString::fromStdString(programDirectory());
}
int major()
{
    return NV_APP_MAJOR;
}
int minor()
{
    return NV_APP_MINOR;
}
int revision()
{
    return NV_APP_REVISION;
}
QString title()
{
    return QStringLiteral(NV_APP_TITLE);
}
QString productName()
{
    return QStringLiteral(NV_APP_PRODUCT_NAME);
}
QString fileDescription()
{
    return QStringLiteral(NV_APP_FILE_DESCRIPTION);
}
QString comments()
{
    return QStringLiteral(NV_APP_COMMENTS);
}
QString legalCopyright()
{
    return QStringLiteral(NV_APP_COPYRIGHT);
}
QString companyName()
{
    return QStringLiteral(NV_APP_COMPANY);
}
QString internalName()
{
    return QStringLiteral(NV_APP_INTERNAL_NAME);
}
QString versionText()
{
    return QStringLiteral(NV_APP_VERSION_TEXT);
}

} // namespace nv::app
