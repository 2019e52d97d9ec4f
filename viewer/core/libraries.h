// The viewer's one instance of each library class, created by class
// identifier through the component runtime the first time it is needed and
// kept for the life of the process. The methods call the classes' default
// interfaces by slot and turn a failure status into a run-time error. A
// string result is handed on as the library made it, owned by the caller
// and freed when it goes; read it through its view().
#pragma once

#include "viewer/core/pagetables.h"

#include <cstdint>

namespace nv {

class StringsObject
{
public:
    virtual ~StringsObject() = default;
    virtual nv::com::BStr CombineChars(StringTable &strChrArray, int16_t intLine) = 0;
    virtual bool Convert_To_HexStr(ByteTable &bytArrayIn, StringTable &strHexArrayOut) = 0;
    virtual bool Convert_To_ChrStr(ByteTable &bytArrayIn, StringTable &strChrArrayOut) = 0;
};

class HexFunctionsObject
{
public:
    virtual ~HexFunctionsObject() = default;
    virtual nv::com::BStr GenerateOffset(int32_t lngFirstByte, int16_t intLine) = 0;
    // Through the class's second interface, _HexFunctions2, which a module
    // older than this viewer lacks: then false, and the call raises.
    virtual bool hasLongOffsets() = 0;
    virtual nv::com::BStr GenerateLongOffset(int64_t llFirstByte, int16_t intLine,
                                             int16_t intDigits) = 0;
};

// What is said when the installed HexFunctions lacks _HexFunctions2.
extern const char kOlderHexModule[];

// Raise run-time error 429 with the runtime's reason when the class cannot
// be created; a later call tries again.
StringsObject &theStrings();
HexFunctionsObject &theHexFunctions();

} // namespace nv
