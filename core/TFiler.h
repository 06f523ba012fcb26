#pragma once
// The common base of the component reader and writer: the stream, the buffer
// between it and the reads or writes, the root and the ancestor.

#include "TObject.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace velbrin {

class TComponent;
class TPersistent;
class TReader;
class TStream;
class TWriter;

class TFiler : public TObject {
    VELBRIN_CLASS(TFiler, TObject)

public:
    using ValueReader = std::function<void(TReader&)>;
    using ValueWriter = std::function<void(TWriter&)>;
    using BytesProc = std::function<void(TStream&)>;

    // The stream is not owned; it must outlive the filer.
    TFiler(TStream& stream, std::int32_t bufferSize);

    // Declares a pseudo-property stored beside the published ones: the reader
    // calls `read` when the entry being read has this name; the writer writes
    // the entry through `write` when `hasData`.
    virtual void DeclareStoredValue(std::string_view name, const ValueReader& read,
                                    const ValueWriter& write, bool hasData) = 0;
    // The same for a pseudo-property held as binary data.
    virtual void DeclareStoredBytes(std::string_view name, const BytesProc& read,
                                    const BytesProc& write, bool hasData) = 0;
    virtual void FlushBuffer() = 0;

    TComponent* Root() const { return root_; }
    void SetRoot(TComponent* root) { root_ = root; }
    TPersistent* Ancestor() const { return ancestor_; }
    void SetAncestor(TPersistent* ancestor) { ancestor_ = ancestor; }
    bool IgnoreChildren() const { return ignoreChildren_; }
    void SetIgnoreChildren(bool ignore) { ignoreChildren_ = ignore; }

protected:
    TStream& stream_;
    std::vector<char> buffer_;
    std::int32_t bufferSize_;
    std::int32_t bufferPosition_ = 0;
    std::int32_t bufferEnd_ = 0;

private:
    TComponent* root_ = nullptr;
    TPersistent* ancestor_ = nullptr;
    bool ignoreChildren_ = false;
};

} // namespace velbrin
