#pragma once
// The contract of every list of text lines: each line a code page 932 string
// with an attached object, with update batching. A descendant that keeps its
// lines elsewhere supplies Get, GetCount, Clear, Delete and Insert and
// inherits the rest.

#include "core/TPersistent.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace velbrin {

class TStream;

class TStrings : public TPersistent {
    VELBRIN_CLASS(TStrings, TPersistent)

public:
    // Takes the lines and objects of another TStrings; anything else raises
    // the assignment error.
    void Assign(TPersistent* source) override;
    // Stores the lines as the pseudo-property "Strings", a list of strings.
    void DeclareStoredData(TFiler* filer) override;

    virtual std::string Get(std::int32_t index) const = 0;
    virtual std::int32_t GetCount() const = 0;
    // The object attached to line `index`; this base keeps none.
    virtual TObject* GetObject(std::int32_t index) const;
    // Every line followed by CR LF.
    virtual std::string JoinLines() const;
    virtual void Put(std::int32_t index, const std::string& s);
    // Attaches `object` to line `index`; this base keeps none.
    virtual void PutObject(std::int32_t index, TObject* object);
    // Replaces all lines by those of `value`: CR, LF and CR LF each end a
    // line, a trailing line break adds no empty line, and a 0 byte ends the
    // text.
    virtual void SplitLines(std::string_view value);

protected:
    // Told when the outermost batch starts (true) and ends (false).
    virtual void BatchStateChanged(bool updating);

public:
    // Appends `s`; returns its index.
    virtual std::int32_t Add(const std::string& s);
    virtual std::int32_t AddObject(const std::string& s, TObject* object);
    virtual void AddStrings(const TStrings& source);
    virtual void Clear() = 0;
    virtual void Delete(std::int32_t index) = 0;
    virtual void Exchange(std::int32_t index1, std::int32_t index2);
    // JoinLines as a new zero-terminated buffer.
    virtual std::unique_ptr<char[]> GetText() const;
    // The first line equal to `s` ignoring case, under the user's locale; -1
    // when there is none.
    virtual std::int32_t IndexOf(std::string_view s) const;
    virtual void Insert(std::int32_t index, const std::string& s) = 0;
    virtual void LoadFromFile(const std::string& fileName);
    // Replaces the lines by the text from the stream's position to its end.
    virtual void LoadFromStream(TStream& stream);
    // Moves line `curIndex` with its object so that it ends at `newIndex`.
    virtual void Move(std::int32_t curIndex, std::int32_t newIndex);
    virtual void SaveToFile(const std::string& fileName) const;
    virtual void SaveToStream(TStream& stream) const;
    // SplitLines of a zero-terminated text.
    virtual void SetText(const char* text);

    // Batches nest: only the outermost pair reaches BatchStateChanged.
    void BeginUpdate();
    void EndUpdate();
    // True when both lists hold the same lines, byte for byte.
    bool Equals(const TStrings& other) const;
    void InsertObject(std::int32_t index, const std::string& s, TObject* object);

    // Whether a filer must store the lines: against an ancestor that is a
    // TStrings, when they differ from its lines; against another ancestor,
    // always; without one, when there are any.
    bool HasStoredLines(const TPersistent* ancestor) const;

    std::int32_t Count() const { return GetCount(); }
    std::string Strings(std::int32_t index) const { return Get(index); }
    TObject* Objects(std::int32_t index) const { return GetObject(index); }
    std::string Text() const { return JoinLines(); }

protected:
    std::int32_t UpdateCount() const { return updateCount_; }

    // Runs `work` inside a batch that ends even when `work` raises.
    template <class Work> void InBatch(Work&& work) {
        BeginUpdate();
        try {
            work();
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }

private:
    std::int32_t updateCount_ = 0;
};

} // namespace velbrin
