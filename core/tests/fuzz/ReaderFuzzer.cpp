// Feeds arbitrary bytes to the component reader, and to the decoder behind
// `resinfo form`. Any crash, leak or sanitizer report is a fault; a reader
// error is the expected answer to bad input.

#include "core/ClassRegistry.h"
#include "core/TMemoryStream.h"
#include "core/TReader.h"
#include "core/tests/TestClasses.h"
#include "runtime/Exceptions.h"
#include "tools/FormText.h"

#include <cstddef>
#include <cstdint>

namespace {

using namespace velbrin;
using namespace velbrin::testing;

// Roots are named as read; no other root exists.
TComponent* NoOtherRoots(std::string_view) {
    return nullptr;
}

void Prepare() {
    RegisterTestIdentMaps();
    RegisterStreamClasses({&TForm1::StaticClass(), &TProbeRoot::StaticClass()});
    SetRootLookupHook(&NoOtherRoots);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool prepared = (Prepare(), true);
    (void)prepared;
    TMemoryStream stream;
    stream.WriteBuffer(data, static_cast<std::int32_t>(size));
    stream.SetPosition(0);
    try {
        // Into a root the stream's class names, and into an existing one.
        delete LoadRootFromStream(stream, nullptr);
        stream.SetPosition(0);
        TForm1 form(nullptr);
        LoadRootFromStream(stream, &form);
    } catch (const Exception&) {
    }
    try {
        formtext::Decode(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const Exception&) {
    }
    AfterLoadLog().clear();
    return 0;
}
