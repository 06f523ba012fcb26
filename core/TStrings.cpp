#include "TStrings.h"

#include "core/TFileStream.h"
#include "core/TReader.h"
#include "core/TWriter.h"
#include "runtime/Text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace velbrin {

VELBRIN_DEFINE_CLASS(TStrings, TPersistent, "Classes")

void TStrings::Assign(TPersistent* source) {
    if (source == nullptr || !source->Is<TStrings>()) {
        TPersistent::Assign(source);
        return;
    }
    // Assigning a list to itself would clear it before copying it.
    if (source == this) {
        return;
    }
    InBatch([&] {
        Clear();
        AddStrings(static_cast<const TStrings&>(*source));
    });
}

void TStrings::DeclareStoredData(TFiler* filer) {
    filer->DeclareStoredValue(
        "Strings",
        [this](TReader& reader) {
            InBatch([&] {
                Clear();
                reader.ReadListBegin();
                while (!reader.EndOfList()) {
                    Add(reader.ReadString());
                }
                reader.ReadListEnd();
            });
        },
        [this](TWriter& writer) {
            writer.WriteListBegin();
            for (std::int32_t i = 0; i < GetCount(); ++i) {
                writer.WriteString(Get(i));
            }
            writer.WriteListEnd();
        },
        HasStoredLines(filer->Ancestor()));
}

TObject* TStrings::GetObject(std::int32_t) const {
    return nullptr;
}

std::string TStrings::JoinLines() const {
    std::int32_t count = GetCount();
    std::string text;
    for (std::int32_t i = 0; i < count; ++i) {
        text += Get(i);
        text += "\r\n";
    }
    return text;
}

void TStrings::Put(std::int32_t index, const std::string& s) {
    TObject* object = GetObject(index);
    Delete(index);
    InsertObject(index, s, object);
}

void TStrings::PutObject(std::int32_t, TObject*) {}

void TStrings::SplitLines(std::string_view value) {
    InBatch([&] {
        Clear();
        // A 0 byte ends the text.
        value = value.substr(0, value.find('\0'));
        std::size_t start = 0;
        while (start < value.size()) {
            std::size_t end = value.find_first_of("\r\n", start);
            if (end == std::string_view::npos) {
                end = value.size();
            }
            Add(std::string(value.substr(start, end - start)));
            start = end;
            if (start < value.size() && value[start] == '\r') {
                ++start;
            }
            if (start < value.size() && value[start] == '\n') {
                ++start;
            }
        }
    });
}

void TStrings::BatchStateChanged(bool) {}

std::int32_t TStrings::Add(const std::string& s) {
    std::int32_t index = GetCount();
    Insert(index, s);
    return index;
}

std::int32_t TStrings::AddObject(const std::string& s, TObject* object) {
    std::int32_t index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::AddStrings(const TStrings& source) {
    InBatch([&] {
        // The count is taken once, so that a list adding itself ends.
        std::int32_t count = source.GetCount();
        for (std::int32_t i = 0; i < count; ++i) {
            AddObject(source.Get(i), source.GetObject(i));
        }
    });
}

void TStrings::Exchange(std::int32_t index1, std::int32_t index2) {
    std::string s = Get(index1);
    TObject* object = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, s);
    PutObject(index2, object);
}

std::unique_ptr<char[]> TStrings::GetText() const {
    std::string text = JoinLines();
    auto buffer = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(buffer.get(), text.c_str(), text.size() + 1);
    return buffer;
}

std::int32_t TStrings::IndexOf(std::string_view s) const {
    std::int32_t count = GetCount();
    for (std::int32_t i = 0; i < count; ++i) {
        if (LocaleCompareNoCase(Get(i), s) == 0) {
            return i;
        }
    }
    return -1;
}

void TStrings::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead);
    LoadFromStream(stream);
}

void TStrings::LoadFromStream(TStream& stream) {
    InBatch([&] {
        std::int64_t rest = std::int64_t{stream.Size()} - stream.Position();
        std::int64_t size = std::clamp<std::int64_t>(rest, 0, INT32_MAX);
        std::string text(static_cast<std::size_t>(size), '\0');
        // A short read is no error: the lines are what arrived.
        std::int32_t got = stream.Read(text.data(), static_cast<std::int32_t>(text.size()));
        text.resize(static_cast<std::size_t>(std::max(got, 0)));
        SplitLines(text);
    });
}

void TStrings::Move(std::int32_t curIndex, std::int32_t newIndex) {
    if (curIndex == newIndex) {
        return;
    }
    std::string s = Get(curIndex);
    TObject* object = GetObject(curIndex);
    // The line is inserted at its new place before it leaves the old one, so
    // that a refused insert loses nothing. The positions are those the line
    // would have after its deletion.
    if (newIndex > curIndex) {
        InsertObject(newIndex + 1, s, object);
        Delete(curIndex);
    } else {
        InsertObject(newIndex, s, object);
        Delete(curIndex + 1);
    }
}

void TStrings::SaveToFile(const std::string& fileName) const {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

void TStrings::SaveToStream(TStream& stream) const {
    std::string text = JoinLines();
    stream.WriteBuffer(text.data(), static_cast<std::int32_t>(text.size()));
}

void TStrings::SetText(const char* text) {
    SplitLines(text ? std::string_view(text) : std::string_view());
}

void TStrings::BeginUpdate() {
    if (updateCount_ == 0) {
        BatchStateChanged(true);
    }
    ++updateCount_;
}

void TStrings::EndUpdate() {
    // An EndUpdate without its BeginUpdate would silence the list for good.
    if (updateCount_ == 0) {
        return;
    }
    --updateCount_;
    if (updateCount_ == 0) {
        BatchStateChanged(false);
    }
}

bool TStrings::Equals(const TStrings& other) const {
    std::int32_t count = GetCount();
    if (count != other.GetCount()) {
        return false;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        if (Get(i) != other.Get(i)) {
            return false;
        }
    }
    return true;
}

void TStrings::InsertObject(std::int32_t index, const std::string& s, TObject* object) {
    Insert(index, s);
    PutObject(index, object);
}

bool TStrings::HasStoredLines(const TPersistent* ancestor) const {
    if (ancestor == nullptr) {
        return GetCount() > 0;
    }
    if (!ancestor->Is<TStrings>()) {
        return true;
    }
    return !Equals(static_cast<const TStrings&>(*ancestor));
}

} // namespace velbrin
