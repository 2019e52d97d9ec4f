// Build-time tool: writes the build tree program's class list, which names
// the two classes the viewer creates and the module of each.
#include "hexops/HexFunctions_i.h"
#include "platform/com/client/classlist.h"
#include "stringops/Strings_i.h"

#include <cstdio>
#include <fstream>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s OUTPUT HEXFUNCTIONS-MODULE STRINGS-MODULE\n", argv[0]);
        return 2;
    }
    // The modules register themselves with the same threading model.
    const std::vector<nv::com::ClassListEntry> entries = {
        {CLSID_HexFunctions, nv::com::kThreadingModel, argv[2]},
        {CLSID_Strings, nv::com::kThreadingModel, argv[3]},
    };
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << nv::com::formatClassList("norvale3", entries);
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
