// Fuzzes the store's text form: any bytes are read or refused without a
// crash, and a store that was read, then edited, is written in a form that
// reads back equal and that the reader's own limits accept (or the write is
// refused because it would break one of them).
#include "platform/registry/regformat.h"
#include "tests/fuzz/invariant.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace nv::reg;
using namespace nv::reg::detail;

namespace {

using nvfuzz::check;

// What a write does: only a text within the limits reaches the file.
void writeAndReadBack(const Document &doc)
{
    const std::string text = doc.serialize();
    if (auto limit = checkLimits(text)) {
        check(limit->kind != ParseProblem::Kind::Malformed,
              "a limit check called a text malformed");
        return; // refused: nothing would be written
    }
    ParseProblem problem;
    auto back = Document::parse(text, &problem);
    check(back.has_value(), "a written store does not read back");
    check(*back == doc, "a written store reads back different");
    check(back->serialize() == text, "a store does not write the same twice");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    checkLimits(text);
    ParseProblem problem;
    auto doc = Document::parse(text, &problem);
    if (!doc) {
        check(!problem.reason.empty(), "a refusal without a reason");
        return 0;
    }
    writeAndReadBack(*doc);

    // Edits of the kind registration makes, on keys the file itself names.
    if (doc->keys().empty())
        return 0;
    const std::string first = doc->keys().front().path;
    const std::string last = doc->keys().back().path;
    if (keyDepth(first) < kMaxKeyDepth) {
        doc->setValue(first + "\\Fuzz\\Sub", {"v", Value::text(std::string(text.substr(0, 64)))});
        check(doc->findKey(first + "\\fuzz\\sub") != nullptr, "a set key is not found");
        check(doc->keyExists(first + "\\Fuzz"), "a created parent does not exist");
    }
    doc->removeValue(last, "");
    if (doc->keys().size() > 1 && doc->removeKey(last))
        check(!doc->keyExists(last), "a removed key still exists");
    writeAndReadBack(*doc);
    return 0;
}
