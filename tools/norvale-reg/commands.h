// The commands of norvale-reg. Each takes the arguments after the command
// name and returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace nv::regtool {

using Args = std::vector<std::string>;

enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

int usageError(const std::string &message);

// False, after saying so, when the store file is damaged or not a store
// file: it names the file and where reading stopped.
bool storeIsWritable(const std::string &file);

int registerModule(const Args &args, bool unregister);
int showResources(const Args &args);

int getValue(const Args &args);
int setValue(const Args &args);
int deleteEntry(const Args &args);
int listKeys(const Args &args);

} // namespace nv::regtool
