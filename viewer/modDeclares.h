// The platform functions the viewer's modules call, gathered in one place.
#pragma once

// Profile files: GetPrivateProfileStringA, WritePrivateProfileStringA.
#include "platform/profile/profile.h"

// Registry reading: RegOpenKeyExA, RegQueryValueExA, RegCloseKey.
#include "platform/registry/winreg.h"

// Sleep(milliseconds): a blocking wait of the user-interface thread.
#include "platform/runtime/sleep.h"
