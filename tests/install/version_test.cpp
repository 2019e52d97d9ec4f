#include "platform/appinfo/appinfo.h"
#include "platform/com/resources/resourcereader.h"

#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

TEST(ProgramVersionBlock, CarriesTheProgramsInformation)
{
    const nv::com::ResourceReadResult r = nv::com::readResources(NV_PROGRAM);
    ASSERT_TRUE(r.ok()) << r.error;
    const nv::com::Resource *v = nv::com::findResource(r.resources, "VERSION", 1);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->lang, 0x0409);
    EXPECT_EQ(v->codepage, 1200);
    std::map<std::string, std::string> entries;
    for (const auto &[key, value] : nv::com::versionEntries(v->bytes))
        entries[key] = value;
    const std::map<std::string, std::string> expected = {
        {"FileVersion", "3.00.0004"},
        {"ProductVersion", "3.00.0004"},
        {"FixedFileVersion", "3.0.0.4"},
        {"FixedProductVersion", "3.0.0.4"},
        {"ProductName", "Norvale"},
        {"InternalName", "norvale3"},
        {"OriginalFilename", "norvale3"},
        {"FileDescription", nv::app::fileDescription().toStdString()},
        {"CompanyName", nv::app::companyName().toStdString()},
        {"LegalCopyright", nv::app::legalCopyright().toStdString()},
        {"Comments", ""},
    };
    EXPECT_EQ(entries, expected);
}

TEST(ProgramVersionBlock, ApplicationInformationAgrees)
{
    EXPECT_EQ(nv::app::major(), 3);
    EXPECT_EQ(nv::app::minor(), 0);
    EXPECT_EQ(nv::app::revision(), 4);
    EXPECT_EQ(nv::app::title(), QStringLiteral("Norvale"));
    EXPECT_EQ(nv::app::versionText(), QStringLiteral("3.00.0004"));
    EXPECT_TRUE(nv::app::comments().isEmpty());
    EXPECT_EQ(nv::app::fileDescription(),
              QStringLiteral(
                  "This program is a simple and easy to use hex/ASCII viewer.  Files are read at "
                  "the binary level then displayed in hexadecimal with ASCII representation."));
}

TEST(InstalledIcon, Is32By32InSixteenColours)
{
    const QImage icon(QStringLiteral(NV_ICON_FILE));
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            colours.insert(icon.pixel(x, y));
    EXPECT_LE(colours.size(), 16);
    EXPECT_GE(colours.size(), 4);
}

} // namespace
