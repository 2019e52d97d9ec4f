// The commands of norvale-reg. Each takes the options and operands given
// after the command name and returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace nv::regtool {

using Args = std::vector<std::string>;

// A command line after the command name, as getopt_long read it.
struct Invocation
{
    Args operands;        // what is no option, in order (all after "--")
    bool machine = false; // --machine
    bool install = false; // --install
    std::string kind;     // the value option of set: "--string", "--dword" or "--hex"
    std::string data;     // its argument
};

enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

int usageError(const std::string &message);

// False, after saying so, when the store file cannot be read, is damaged or
// is not a store file: it names the file and why (where reading stopped).
bool storeIsWritable(const std::string &file);

int registerModule(const Invocation &call, bool unregister);
int showResources(const Invocation &call);

int getValue(const Invocation &call);
int setValue(const Invocation &call);
int deleteEntry(const Invocation &call);
int listKeys(const Invocation &call);

} // namespace nv::regtool
