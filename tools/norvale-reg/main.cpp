// norvale-reg: registers component modules and reads and edits the registry
// store from the command line.

#include "tools/norvale-reg/commands.h"

#include <cstdio>
#include <cstring>

namespace nv::regtool {

namespace {

const char kUsage[] =
    "Usage:\n"
    "  norvale-reg register [--machine|--install] MODULE\n"
    "  norvale-reg unregister [--machine|--install] MODULE\n"
    "      Load MODULE and call its DllRegisterServer or DllUnregisterServer.\n"
    "      --machine writes the machine part of the store; --install writes the\n"
    "      machine part when run as root and the user part otherwise.\n"
    "  norvale-reg get 'ROOT\\key' [NAME]\n"
    "      Print a value; without NAME (or with @) the key's default value.\n"
    "  norvale-reg set [--machine] 'ROOT\\key' NAME --string TEXT | --dword N | --hex "
    "TYPE:aa,bb,...\n"
    "      Store a value, creating the key as needed (NAME @ is the default value).\n"
    "  norvale-reg delete [--machine] 'ROOT\\key' [NAME]\n"
    "      Remove a value, or without NAME the key with everything below it.\n"
    "  norvale-reg list ['ROOT\\key']\n"
    "      Print the key (or every root) and all keys below it in export form.\n"
    "  norvale-reg resources MODULE\n"
    "      Print the resources recorded in a module file.\n"
    "\n"
    "ROOT is HKEY_CLASSES_ROOT (HKCR), HKEY_LOCAL_MACHINE (HKLM) or HKEY_CURRENT_USER (HKCU).\n"
    "Exit status: 0 success, 1 the operation failed, 2 wrong usage.\n";

} // namespace

int usageError(const std::string &message)
{
    std::fprintf(stderr, "norvale-reg: %s\n\n%s", message.c_str(), kUsage);
    return ExitUsage;
}

} // namespace nv::regtool

int main(int argc, char **argv)
{
    using namespace nv::regtool;
    if (argc < 2)
        return usageError("no command given");
    std::string command = argv[1];
    if (command == "-h" || command == "--help" || command == "help") {
        std::fputs(kUsage, stdout);
        return ExitOk;
    }
    Args args(argv + 2, argv + argc);
    if (command == "register")
        return registerModule(args, false);
    if (command == "unregister")
        return registerModule(args, true);
    if (command == "get")
        return getValue(args);
    if (command == "set")
        return setValue(args);
    if (command == "delete")
        return deleteEntry(args);
    if (command == "list")
        return listKeys(args);
    if (command == "resources")
        return showResources(args);
    return usageError("unknown command '" + command + "'");
}
