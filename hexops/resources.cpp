// Resources of nvdigits10, kept in the module file's ".nvres" section.
#include "hexops/contract.h"

#include "platform/com/server/moduleresources.h"

NV_MODULE_RESOURCES(nv::com::server::kHexFunctions, "_IID_HEXFUNCTIONS",
                    "FileVersion=1.00.0001\0"
                    "ProductVersion=1.00.0001\0"
                    "Comments=Provides essential hexadecimal operations for the Norvale program\0"
                    "CompanyName=Quenby!\0"
                    "ProductName=nvdigits10\0"
                    "InternalName=nvdigits10\0"
                    "OriginalFilename=nvdigits10.dll\0"
                    "OLESelfRegister=\0"
                    "FixedFileVersion=1.0.0.1\0"
                    "FixedProductVersion=1.0.0.1\0")
