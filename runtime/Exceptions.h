#pragma once
// The library's exception classes. Every failure the library reports is one of
// these; each carries its message as code page 932 text.

#include "Format.h"

#include <exception>
#include <string>

namespace velbrin {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}

    const std::string& Message() const { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

#define VELBRIN_EXCEPTION(Name, Base)                                                              \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        using Base::Base;                                                                          \
    }

VELBRIN_EXCEPTION(EAbort, Exception);
VELBRIN_EXCEPTION(EConvertError, Exception);
VELBRIN_EXCEPTION(EOutOfMemory, Exception);
VELBRIN_EXCEPTION(EOutOfResources, EOutOfMemory);
VELBRIN_EXCEPTION(EListError, Exception);
VELBRIN_EXCEPTION(EStreamError, Exception);
VELBRIN_EXCEPTION(EFCreateError, EStreamError);
VELBRIN_EXCEPTION(EFOpenError, EStreamError);
VELBRIN_EXCEPTION(EFilerError, EStreamError);
VELBRIN_EXCEPTION(EReadError, EFilerError);
VELBRIN_EXCEPTION(EWriteError, EFilerError);
VELBRIN_EXCEPTION(EClassNotFound, EFilerError);
VELBRIN_EXCEPTION(EResNotFound, Exception);
VELBRIN_EXCEPTION(EComponentError, Exception);
VELBRIN_EXCEPTION(EInvalidOperation, Exception);
VELBRIN_EXCEPTION(EInvalidGraphic, Exception);
VELBRIN_EXCEPTION(EInvalidGraphicOperation, Exception);
VELBRIN_EXCEPTION(EInvalidGridOperation, Exception);
VELBRIN_EXCEPTION(EStringSparseListError, Exception);

#undef VELBRIN_EXCEPTION

// Loads message `id` from the string table (at most 1023 bytes, as the
// runtime's 1024-byte buffer holds) and formats it with `args`.
std::string ResourceMessage(unsigned id, FormatArgs args = {});

// The exception of class E carrying message `id` formatted with `args`:
// `throw ResourceError<EListError>(SListIndexError);`
template <class E> E ResourceError(unsigned id, FormatArgs args = {}) {
    return E(ResourceMessage(id, args));
}

} // namespace velbrin
