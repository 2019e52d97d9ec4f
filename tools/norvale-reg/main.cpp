// norvale-reg: registers component modules and reads and edits the registry
// store from the command line.

#include "tools/norvale-reg/commands.h"

#include "platform/runtime/stdstreams.h"

#include <cstdio>
#include <cstring>
#include <getopt.h>

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
    "      N and TYPE are decimal, or hexadecimal after 0x; a leading - makes N negative.\n"
    "  norvale-reg delete [--machine] 'ROOT\\key' [NAME]\n"
    "      Remove a value, or without NAME the key with everything below it.\n"
    "  norvale-reg list ['ROOT\\key']\n"
    "      Print the key (or every root) and all keys below it in export form.\n"
    "  norvale-reg resources MODULE\n"
    "      Print the resources recorded in a module file.\n"
    "\n"
    "Options may stand anywhere after the command; \"--\" ends them, so that a key\n"
    "or value name beginning with \"-\" can follow it:\n"
    "  norvale-reg delete -- 'HKCU\\key' --name\n"
    "ROOT is HKEY_CLASSES_ROOT (HKCR), HKEY_LOCAL_MACHINE (HKLM) or HKEY_CURRENT_USER (HKCU).\n"
    "Exit status: 0 success, 1 the operation failed, 2 wrong usage.\n";

enum OptionId { OptMachine = 256, OptInstall, OptString, OptDword, OptHex };

const option kMachine = {"machine", no_argument, nullptr, OptMachine};
const option kInstall = {"install", no_argument, nullptr, OptInstall};
const option kString = {"string", required_argument, nullptr, OptString};
const option kDword = {"dword", required_argument, nullptr, OptDword};
const option kHex = {"hex", required_argument, nullptr, OptHex};
const option kEnd = {nullptr, 0, nullptr, 0};

std::string optionName(const std::vector<option> &options, int id)
{
    for (const auto &o : options)
        if (o.name && o.val == id)
            return std::string("--") + o.name;
    return "?";
}

// The command's options and operands, read by getopt_long. Operands are
// taken in place ("-" leading the option letters), so a POSIXLY_CORRECT in
// the environment does not make options after the key into names. Returns
// false after a usage error.
bool readArguments(const std::string &command, int argc, char **argv, std::vector<option> options,
                   Invocation &out, int &status)
{
    options.push_back(kEnd);
    opterr = 0;
    optind = 0; // a fresh scan
    int id;
    while ((id = getopt_long(argc, argv, "-:", options.data(), nullptr)) != -1) {
        switch (id) {
        case 1:
            out.operands.emplace_back(optarg);
            break;
        case OptMachine:
            out.machine = true;
            break;
        case OptInstall:
            out.install = true;
            break;
        case OptString:
        case OptDword:
        case OptHex:
            if (!out.kind.empty()) {
                status = usageError(command + " takes one of --string, --dword and --hex");
                return false;
            }
            out.kind = optionName(options, id);
            out.data = optarg;
            break;
        case ':':
            status = usageError("option '" + optionName(options, optopt) + "' needs a value");
            return false;
        default: // an option the command does not know, or a value for one that takes none
            if (optopt >= OptMachine)
                status = usageError("option '" + optionName(options, optopt) + "' takes no value");
            else if (optopt)
                status = usageError("unknown option '-" + std::string(1, char(optopt)) + "' for " +
                                    command);
            else
                status = usageError("unknown option '" + std::string(argv[optind - 1]) + "' for " +
                                    command);
            return false;
        }
    }
    for (int i = optind; i < argc; ++i) // after "--"
        out.operands.emplace_back(argv[i]);
    return true;
}

} // namespace

int usageError(const std::string &message)
{
    std::fprintf(stderr, "norvale-reg: %s\n\n%s", message.c_str(), kUsage);
    return ExitUsage;
}

} // namespace nv::regtool

namespace {

int run(int argc, char **argv)
{
    using namespace nv::regtool;
    if (argc < 2)
        return usageError("no command given");
    std::string command = argv[1];
    if (command == "-h" || command == "--help" || command == "help") {
        std::fputs(kUsage, stdout);
        return ExitOk;
    }
    struct Command
    {
        const char *name;
        std::vector<option> options;
        int (*run)(const Invocation &);
    };
    const Command commands[] = {
        {"register",
         {kMachine, kInstall},
         [](const Invocation &i) { return registerModule(i, false); }},
        {"unregister",
         {kMachine, kInstall},
         [](const Invocation &i) { return registerModule(i, true); }},
        {"get", {}, getValue},
        {"set", {kMachine, kString, kDword, kHex}, setValue},
        {"delete", {kMachine}, deleteEntry},
        {"list", {}, listKeys},
        {"resources", {}, showResources},
    };
    for (const auto &c : commands) {
        if (command != c.name)
            continue;
        Invocation invocation;
        int status = ExitUsage;
        // The command name stands where getopt expects the program's.
        if (!readArguments(command, argc - 1, argv + 1, c.options, invocation, status))
            return status;
        return c.run(invocation);
    }
    return usageError("unknown command '" + command + "'");
}

} // namespace

// A report that did not reach standard output fails the run, even where
// the store was changed: the change stands, the status says it went unsaid.
int main(int argc, char **argv)
{
    nv::keepStandardDescriptors();
    return nv::closeStandardOutput("norvale-reg", run(argc, argv));
}
