#include "ReaderTestSupport.h"

#include "core/Events.h"

namespace velbrin::testing {

std::string MakeResource(const WriteSteps& steps) {
    TMemoryStream stream;
    {
        TWriter writer(stream);
        writer.WriteSignature();
        steps(writer);
        writer.FlushBuffer();
    }
    return std::string(static_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(stream.Size()));
}

void WriteRecord(TWriter& writer, const char* className, const char* name,
                 const WriteSteps& properties, const WriteSteps& children) {
    writer.WriteStr(className);
    writer.WriteStr(name);
    if (properties) {
        properties(writer);
    }
    writer.WriteListEnd();
    if (children) {
        children(writer);
    }
    writer.WriteListEnd();
}

TComponent* ReadResource(const std::string& bytes, TComponent* root, ErrorSink* sink) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    stream.SetPosition(0);
    TReader reader(stream);
    if (sink != nullptr) {
        reader.OnError = decltype(reader.OnError)::Of<&ErrorSink::Accept>(sink);
    }
    return reader.ReadRootObject(root);
}

} // namespace velbrin::testing
