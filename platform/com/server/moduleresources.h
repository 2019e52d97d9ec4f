// The three resource records of a component module: its version block
// (US English, Unicode code page), the identifier of its interface under
// `iidType`, and its type library written from its contract. Use once per
// module, at namespace scope.
#pragma once

#include "platform/com/server/typelibtext.h"

#define NV_MODULE_RESOURCES(contract, iidType, versionText)                                        \
    namespace {                                                                                    \
    NV_RESOURCE_SECTION constexpr auto kVersionRecord = ::nv::com::makeResource(                   \
        "VERSION", 1, ::nv::com::server::kLangUsEnglish, ::nv::com::server::kCodePageUnicode,      \
        ::nv::com::server::textBlock(versionText).data);                                           \
    NV_RESOURCE_SECTION constexpr auto kIidRecord =                                                \
        ::nv::com::makeResource(iidType, 1, ::nv::com::server::kLangNeutral, 0,                    \
                                ::nv::com::server::iidBlock((contract).dual.id).data);             \
    NV_RESOURCE_SECTION constexpr auto kTypeLibRecord =                                            \
        ::nv::com::makeResource("TYPELIB", 1, ::nv::com::server::kLangNeutral, 0,                  \
                                ::nv::com::server::typeLibBlock<contract>().data);                 \
    }
