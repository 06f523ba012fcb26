#pragma once
// Building form resources byte by byte for the reader tests, and reading them.

#include "core/TMemoryStream.h"
#include "core/TReader.h"
#include "core/TWriter.h"
#include "runtime/Text.h"

#include <functional>
#include <string>
#include <vector>

namespace velbrin::testing {

using WriteSteps = std::function<void(TWriter&)>;

// Signature, then whatever `steps` write.
std::string MakeResource(const WriteSteps& steps);
// One component record: header, the properties `properties` writes, then the
// children `children` writes.
void WriteRecord(TWriter& writer, const char* className, const char* name,
                 const WriteSteps& properties = {}, const WriteSteps& children = {});

// Accepts every error a reader offers it, keeping the messages in UTF-8.
class ErrorSink : public TObject {
public:
    void Accept(TReader*, const std::string& message, bool& handled) {
        messages.push_back(AnsiToUtf8(message));
        handled = true;
    }
    std::vector<std::string> messages;
};

// Reads `bytes` into `root` (created when null); `sink`, when given, accepts
// the errors. Returns the root read.
TComponent* ReadResource(const std::string& bytes, TComponent* root, ErrorSink* sink = nullptr);

} // namespace velbrin::testing
