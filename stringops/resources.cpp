// Resources of nvtext12, kept in the module file's ".nvres" section.
#include "stringops/contract.h"

#include "platform/com/server/moduleresources.h"

NV_MODULE_RESOURCES(nv::com::server::kStrings, "_IID_STRINGS",
                    "FileVersion=1.00.0006\0"
                    "ProductVersion=1.00.0006\0"
                    "Comments=Provides essential string operations for the Norvale application\0"
                    "CompanyName=Quenby!\0"
                    "ProductName=nvtext10\0"
                    "InternalName=nvtext12\0"
                    "OriginalFilename=nvtext12.dll\0"
                    "OLESelfRegister=\0"
                    "FixedFileVersion=1.0.0.6\0"
                    "FixedProductVersion=1.0.0.6\0")
