// Self-registration of a module's class in the registry store:
//
//   HKCR\CLSID\{clsid}                 @ = class name
//   HKCR\CLSID\{clsid}\InprocServer32  @ = absolute module path, ThreadingModel = Apartment
//   HKCR\CLSID\{clsid}\ProgID          @ = programmatic name
//   HKCR\CLSID\{clsid}\TypeLib         @ = {libid}
//   HKCR\<programmatic name>\CLSID     @ = {clsid}
//   HKCR\Interface\{iid}               @ = interface name, for each interface
//   HKCR\TypeLib\{libid}\<ver>         @ = library name, FLAGS @ = 0,
//                                      409\linux64 @ = module path (the library
//                                      lives in the module's TYPELIB 1 resource),
//                                      for the library's version and each lower
//                                      minor one of its major version
//
// Registration is one all-or-nothing write of the store, so a failure leaves
// no half registration behind. Unregistration removes only values that still hold what this module
// wrote and then the keys left empty, so a registration made by another copy of the module (or
// anything else in the store) stays.
#pragma once

#include "platform/com/server/classinfo.h"

#include <string>

namespace nv::com::server {

HRESULT registerServer(const ClassInfo &cls) noexcept;
HRESULT unregisterServer(const ClassInfo &cls) noexcept;

// The absolute path of the module this code is linked into; empty when it
// cannot be found.
std::string modulePath();

} // namespace nv::com::server
