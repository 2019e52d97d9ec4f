#include "platform/com/status/statustext.h"

#include "platform/com/status/modulestatus.h"
#include "platform/runtime/error.h"

#include <cstdio>

namespace nv::com {

namespace {

struct Known
{
    HRESULT code;
    const char *text;
};

constexpr Known kKnown[] = {
    {S_OK, "Success"},
    {S_FALSE, "Success (false)"},
    {E_NOTIMPL, "Not implemented"},
    {E_NOINTERFACE, "No such interface supported"},
    {E_POINTER, "Invalid pointer"},
    {E_FAIL, "Unspecified error"},
    {E_ACCESSDENIED, "Access denied"},
    {E_OUTOFMEMORY, "Out of memory"},
    {E_INVALIDARG, "Invalid argument"},
    {CLASS_E_NOAGGREGATION, "Class does not support aggregation"},
    {CLASS_E_CLASSNOTAVAILABLE, "Class not available from this module"},
    {REGDB_E_CLASSNOTREG, "Class not registered"},
    {HRESULT_MOD_NOT_FOUND, "The specified module could not be found"},
    {HRESULT_PROC_NOT_FOUND, "The specified procedure could not be found"},
    {HRESULT_DISK_FULL, "No space left on device"},
    {DISP_E_MEMBERNOTFOUND, "Member not found"},
    {DISP_E_TYPEMISMATCH, "Type mismatch"},
    {DISP_E_UNKNOWNNAME, "Unknown name"},
    {DISP_E_EXCEPTION, "Exception occurred"},
    {DISP_E_BADPARAMCOUNT, "Invalid number of parameters"},
    {TYPE_E_REGISTRYACCESS, "Error accessing the registry store"},
    {STATUS_MODULE_NOT_REGULAR_FILE, kModuleNotRegularText},
    {STATUS_MODULE_BAD_FORMAT, kModuleBadFormatText},
};

} // namespace

std::string statusCode(HRESULT status)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", uint32_t(status));
    return buf;
}

std::string statusText(HRESULT status)
{
    if (isErrorNumberStatus(status))
        return nv::errorDescription(errorNumberOf(status));
    for (const Known &k : kKnown)
        if (k.code == status)
            return k.text;
    return "Error " + statusCode(status);
}

} // namespace nv::com
