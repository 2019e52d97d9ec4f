// The program's version block, kept in its ".nvres" section as the component
// modules keep theirs, so tools can read it from the file.
#include "platform/appinfo/appinfo_config.h"

#include "platform/com/resources/resourcedata.h"

namespace {

using namespace nv::com;
using namespace nv::com::server;

constexpr auto kVersion = textBlock("FileVersion=" NV_APP_VERSION_TEXT "\0"
                                    "ProductVersion=" NV_APP_VERSION_TEXT "\0"
                                    "FileDescription=" NV_APP_FILE_DESCRIPTION "\0"
                                    "Comments=" NV_APP_COMMENTS "\0"
                                    "CompanyName=" NV_APP_COMPANY "\0"
                                    "LegalCopyright=" NV_APP_COPYRIGHT "\0"
                                    "ProductName=" NV_APP_PRODUCT_NAME "\0"
                                    "InternalName=" NV_APP_INTERNAL_NAME "\0"
                                    "OriginalFilename=" NV_APP_ORIGINAL_FILENAME "\0"
                                    "FixedFileVersion=" NV_APP_FIXED_VERSION "\0"
                                    "FixedProductVersion=" NV_APP_FIXED_VERSION "\0");

NV_RESOURCE_SECTION constexpr auto kVersionRecord =
    makeResource("VERSION", 1, kLangUsEnglish, kCodePageUnicode, kVersion.data);

} // namespace
