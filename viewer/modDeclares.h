// The platform functions the viewer's modules call, gathered in one place.
#pragma once

// Profile files: GetPrivateProfileStringA, WritePrivateProfileStringA.
#include "profile/profile.h"

// Registry reading: RegOpenKeyExA, RegQueryValueExA, RegCloseKey.
#include "registry/winreg.h"

// Sleep(milliseconds): a blocking wait of the user-interface thread.
#include "runtime/sleep.h"
