#include "FormText.h"

#include "core/FormFormat.h"
#include "core/TMemoryStream.h"
#include "core/TReader.h"
#include "core/TWriter.h"
#include "runtime/Exceptions.h"
#include "runtime/Messages.h"
#include "runtime/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace velbrin::formtext {

SyntaxError::SyntaxError(int line, int column, const std::string& message)
    : std::runtime_error(std::to_string(line) + ":" + std::to_string(column) + ": " + message),
      line_(line), column_(column) {}

namespace {

// ---------------------------------------------------------------- compiling

enum class Token { End, Word, Integer, Float, Text, Punct };

struct Lexeme {
    Token kind = Token::End;
    std::string text;
    int line = 1;
    int column = 1;
};

bool IsWordStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsWordPart(char c) {
    return IsWordStart(c) || (c >= '0' && c <= '9');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

class Lexer {
public:
    explicit Lexer(std::string_view source) : source_(source) {}

    Lexeme Next() {
        SkipBlanks();
        Lexeme lexeme;
        lexeme.line = line_;
        lexeme.column = column_;
        if (AtEnd()) {
            return lexeme;
        }
        const char c = Peek();
        if (IsWordStart(c)) {
            lexeme.kind = Token::Word;
            while (!AtEnd() && (IsWordPart(Peek()) || Peek() == '.')) {
                lexeme.text += Take();
            }
        } else if (IsDigit(c) || c == '-' || c == '+') {
            ReadNumber(lexeme);
        } else if (c == '"') {
            lexeme.kind = Token::Text;
            lexeme.text = ReadText(lexeme);
        } else {
            lexeme.kind = Token::Punct;
            lexeme.text = std::string(1, Take());
        }
        return lexeme;
    }

    // Two hex digits of a bytes(...) value, blanks before them skipped.
    bool NextHexByte(std::uint8_t& byte, Lexeme& where) {
        SkipBlanks();
        where.line = line_;
        where.column = column_;
        if (AtEnd() || HexDigit(Peek()) < 0) {
            return false;
        }
        const int high = HexDigit(Take());
        if (AtEnd() || HexDigit(Peek()) < 0) {
            throw SyntaxError(line_, column_, "a byte takes two hex digits");
        }
        byte = static_cast<std::uint8_t>(high * 16 + HexDigit(Take()));
        return true;
    }

private:
    bool AtEnd() const { return position_ >= source_.size(); }
    char Peek() const { return source_[position_]; }
    char Take() {
        const char c = source_[position_++];
        if (c == '\n') {
            ++line_;
            column_ = 1;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++column_;
        }
        return c;
    }

    void SkipBlanks() {
        while (!AtEnd()) {
            const char c = Peek();
            if (c == '#') {
                while (!AtEnd() && Peek() != '\n') {
                    Take();
                }
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                Take();
            } else {
                break;
            }
        }
    }

    void ReadNumber(Lexeme& lexeme) {
        lexeme.kind = Token::Integer;
        if (Peek() == '-' || Peek() == '+') {
            lexeme.text += Take();
        }
        if (!AtEnd() && Peek() == '0' && position_ + 1 < source_.size() &&
            (source_[position_ + 1] == 'x' || source_[position_ + 1] == 'X')) {
            lexeme.text += Take();
            lexeme.text += Take();
            while (!AtEnd() && HexDigit(Peek()) >= 0) {
                lexeme.text += Take();
            }
            return;
        }
        while (!AtEnd() && (IsWordPart(Peek()) || Peek() == '.' ||
                            ((Peek() == '-' || Peek() == '+') &&
                             (lexeme.text.back() == 'e' || lexeme.text.back() == 'E')))) {
            if (Peek() == '.' || Peek() == 'e' || Peek() == 'E') {
                lexeme.kind = Token::Float;
            }
            lexeme.text += Take();
        }
    }

    // Text runs are UTF-8 in the source and code page 932 in the resource;
    // \xHH puts a byte in as it is.
    std::string ReadText(const Lexeme& start) {
        Take();
        std::string bytes;
        std::string run;
        auto flush = [&] {
            std::string converted = Utf8ToAnsi(run);
            if (AnsiToUtf8(converted) != run) {
                throw SyntaxError(start.line, start.column,
                                  "the text has a character outside code page 932");
            }
            bytes += converted;
            run.clear();
        };
        for (;;) {
            if (AtEnd() || Peek() == '\n') {
                throw SyntaxError(start.line, start.column, "the text is not closed");
            }
            const char c = Take();
            if (c == '"') {
                break;
            }
            if (c != '\\') {
                run += c;
                continue;
            }
            if (AtEnd()) {
                throw SyntaxError(line_, column_, "the text is not closed");
            }
            const char escape = Take();
            switch (escape) {
            case '"':
            case '\\':
                run += escape;
                break;
            case 'n':
                run += '\n';
                break;
            case 'r':
                run += '\r';
                break;
            case 't':
                run += '\t';
                break;
            case 'x': {
                const int high = AtEnd() ? -1 : HexDigit(Take());
                const int low = AtEnd() ? -1 : HexDigit(Take());
                if (high < 0 || low < 0) {
                    throw SyntaxError(line_, column_, "\\x takes two hex digits");
                }
                flush();
                bytes += static_cast<char>(high * 16 + low);
                break;
            }
            default:
                throw SyntaxError(line_, column_ - 2, std::string("unknown escape \\") + escape);
            }
        }
        flush();
        return bytes;
    }

    std::string_view source_;
    std::size_t position_ = 0;
    int line_ = 1;
    int column_ = 1;
};

// As deep as the reader follows: deeper nesting could only make a resource it
// refuses, and would overrun the machine stack on the way.
constexpr int MaxCompileNesting = 200;

class Compiler {
public:
    Compiler(std::string_view source, TWriter& writer) : lexer_(source), writer_(writer) {
        Advance();
    }

    void CompileFile() {
        writer_.WriteSignature();
        CompileObject();
        if (current_.kind != Token::End) {
            Fail("only one root object may stand in a file");
        }
    }

private:
    [[noreturn]] void Fail(const std::string& message) const {
        throw SyntaxError(current_.line, current_.column, message);
    }

    // Counts one level of objects or values for as long as it is compiled.
    class NestingScope {
    public:
        explicit NestingScope(Compiler& compiler) : compiler_(compiler) {
            if (compiler_.nesting_ == MaxCompileNesting) {
                compiler_.Fail("nested too deeply");
            }
            ++compiler_.nesting_;
        }
        ~NestingScope() { --compiler_.nesting_; }
        NestingScope(const NestingScope&) = delete;
        NestingScope& operator=(const NestingScope&) = delete;

    private:
        Compiler& compiler_;
    };

    void Advance() { current_ = lexer_.Next(); }

    bool IsPunct(char c) const { return current_.kind == Token::Punct && current_.text[0] == c; }

    void Expect(char c) {
        if (!IsPunct(c)) {
            Fail(std::string("'") + c + "' expected");
        }
        Advance();
    }

    bool IsWord(std::string_view word) const {
        return current_.kind == Token::Word && current_.text == word;
    }

    std::string TakeIdentifier(const char* what) {
        if (current_.kind != Token::Word || current_.text.find('.') != std::string::npos) {
            Fail(std::string(what) + " expected");
        }
        std::string word = current_.text;
        Advance();
        return word;
    }

    std::int32_t TakeInteger() {
        if (current_.kind != Token::Integer) {
            Fail("an integer expected");
        }
        const std::int32_t value = ParseInteger(current_);
        Advance();
        return value;
    }

    std::int32_t ParseInteger(const Lexeme& lexeme) const {
        const std::string& text = lexeme.text;
        const bool negative = text[0] == '-';
        const std::size_t sign = (text[0] == '-' || text[0] == '+') ? 1 : 0;
        const bool hex = text.size() > sign + 1 && (text[sign + 1] == 'x' || text[sign + 1] == 'X');
        const char* digits = text.c_str() + sign + (hex ? 2 : 0);
        // Only digits may follow the sign: strtoll would take blanks and signs.
        const bool plain = *digits != '\0' && (hex ? HexDigit(*digits) >= 0 : IsDigit(*digits));
        errno = 0;
        char* end = nullptr;
        const long long magnitude = plain ? std::strtoll(digits, &end, hex ? 16 : 10) : 0;
        const long long value = negative ? -magnitude : magnitude;
        const bool whole = plain && end != nullptr && *end == '\0';
        const long long low = INT32_MIN;
        const long long high = hex ? 0xFFFFFFFFLL : INT32_MAX;
        if (!whole || errno != 0 || value < low || value > high) {
            throw SyntaxError(lexeme.line, lexeme.column, "not a 32-bit integer: " + text);
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }

    // [inherited] [Name] : Class [at N] { properties children }
    void CompileObject() {
        const NestingScope scope(*this);
        std::uint8_t flags = 0;
        if (IsWord("inherited")) {
            flags |= ffInherited;
            Advance();
        }
        std::string name;
        if (current_.kind == Token::Word) {
            name = TakeIdentifier("a component name");
        }
        Expect(':');
        const std::string className = TakeIdentifier("a class name");
        std::int32_t position = 0;
        if (IsWord("at")) {
            Advance();
            flags |= ffChildPos;
            position = TakeInteger();
        }
        Expect('{');
        writer_.WritePrefix(flags, position);
        writer_.WriteStr(className);
        writer_.WriteStr(name);
        CompileMembers();
        Expect('}');
    }

    bool AtChild() {
        return IsPunct(':') || IsWord("inherited") ||
               (current_.kind == Token::Word && LooksLikeChild());
    }

    // A word followed by ':' names a child; one followed by '=' a property.
    bool LooksLikeChild() {
        Lexer probe = lexer_;
        return IsPunct(':') || probe.Next().text == ":";
    }

    void CompileMembers() {
        while (current_.kind == Token::Word && !AtChild()) {
            CompileProperty();
        }
        writer_.WriteListEnd();
        while (!IsPunct('}') && current_.kind != Token::End) {
            if (current_.kind == Token::Word && !AtChild()) {
                Fail("properties come before the child components");
            }
            CompileObject();
        }
        writer_.WriteListEnd();
    }

    void CompileProperty() {
        const Lexeme path = current_;
        if (path.text.back() == '.' || path.text.find("..") != std::string::npos) {
            Fail("not a property path: " + path.text);
        }
        Advance();
        Expect('=');
        writer_.WriteStr(path.text);
        CompileValue();
    }

    void CompileValue() {
        const NestingScope scope(*this);
        switch (current_.kind) {
        case Token::Integer:
            writer_.WriteInteger(TakeInteger());
            return;
        case Token::Float:
            writer_.WriteFloat(ParseFloat());
            Advance();
            return;
        case Token::Text:
            writer_.WriteString(current_.text);
            Advance();
            return;
        case Token::Word:
            return CompileWordValue();
        case Token::Punct:
            if (IsPunct('[')) {
                return CompileSet();
            }
            if (IsPunct('(')) {
                return CompileList();
            }
            break;
        case Token::End:
            break;
        }
        Fail("a value expected");
    }

    long double ParseFloat() const {
        errno = 0;
        char* end = nullptr;
        const long double value = std::strtold(current_.text.c_str(), &end);
        if (end == nullptr || *end != '\0' || errno == EINVAL) {
            Fail("not a number: " + current_.text);
        }
        return value;
    }

    void CompileWordValue() {
        if (IsWord("bytes")) {
            return CompileBytes();
        }
        if (IsWord("collection")) {
            return CompileCollection();
        }
        writer_.WriteIdent(current_.text);
        Advance();
    }

    void CompileSet() {
        Advance();
        std::vector<std::string> names;
        while (!IsPunct(']')) {
            if (!names.empty()) {
                Expect(',');
            }
            names.push_back(TakeIdentifier("a set element"));
        }
        Advance();
        writer_.WriteSet(names);
    }

    void CompileList() {
        Advance();
        writer_.WriteListBegin();
        for (bool first = true; !IsPunct(')'); first = false) {
            if (!first) {
                Expect(',');
            }
            CompileValue();
        }
        Advance();
        writer_.WriteListEnd();
    }

    // bytes(...) is read byte by byte: its digits are not tokens.
    void CompileBytes() {
        Lexeme open = lexer_.Next();
        if (open.text != "(") {
            throw SyntaxError(open.line, open.column, "'(' expected");
        }
        std::string data;
        std::uint8_t byte = 0;
        Lexeme where;
        while (lexer_.NextHexByte(byte, where)) {
            data += static_cast<char>(byte);
        }
        Advance();
        Expect(')');
        writer_.WriteBinary(data.data(), static_cast<std::uint32_t>(data.size()));
    }

    void CompileCollection() {
        Advance();
        Expect('(');
        writer_.WriteValue(ValCollection);
        while (!IsPunct(')')) {
            if (current_.kind == Token::Integer) {
                writer_.WriteInteger(TakeInteger());
                Expect(':');
            }
            Expect('{');
            writer_.WriteListBegin();
            while (current_.kind == Token::Word) {
                CompileProperty();
            }
            Expect('}');
            writer_.WriteListEnd();
        }
        Advance();
        writer_.WriteListEnd();
    }

    Lexer lexer_;
    TWriter& writer_;
    Lexeme current_;
    int nesting_ = 0;
};

// ---------------------------------------------------------------- decoding

constexpr int MaxDecodeNesting = 200;

class Decoder {
public:
    explicit Decoder(TReader& reader) : reader_(reader) {}

    std::string DecodeFile() {
        reader_.ReadSignature();
        DecodeObject(0);
        return out_;
    }

private:
    void Indent(int depth) { out_.append(static_cast<std::size_t>(depth) * 4, ' '); }

    void Nest(int depth) {
        if (depth > MaxDecodeNesting) {
            throw ResourceError<EReadError>(SInvalidImage);
        }
    }

    void DecodeObject(int depth) {
        Nest(depth);
        std::uint8_t flags = 0;
        std::int32_t position = 0;
        reader_.ReadPrefix(flags, position);
        const std::string className = reader_.ReadStr();
        const std::string name = reader_.ReadStr();
        Indent(depth);
        if ((flags & ffInherited) != 0) {
            out_ += "inherited ";
        }
        out_ += name.empty() ? ": " : Word(name) + " : ";
        out_ += Word(className);
        if ((flags & ffChildPos) != 0) {
            out_ += " at " + std::to_string(position);
        }
        out_ += " {\n";
        while (!reader_.EndOfList()) {
            DecodeProperty(depth + 1);
        }
        reader_.ReadListEnd();
        while (!reader_.EndOfList()) {
            DecodeObject(depth + 1);
        }
        reader_.ReadListEnd();
        Indent(depth);
        out_ += "}\n";
    }

    void DecodeProperty(int depth) {
        Indent(depth);
        out_ += Word(reader_.ReadStr()) + " = ";
        DecodeValue(depth);
        out_ += '\n';
    }

    // A name the notation can hold as a word; anything else makes the
    // resource unprintable in it.
    static std::string Word(const std::string& text) {
        const bool plain =
            !text.empty() && IsWordStart(text[0]) &&
            std::all_of(text.begin(), text.end(), [](char c) { return IsWordPart(c) || c == '.'; });
        if (!plain) {
            throw ResourceError<EReadError>(SInvalidImage);
        }
        return text;
    }

    void DecodeValue(int depth) {
        Nest(depth);
        switch (reader_.NextValue()) {
        case ValList:
            return DecodeList(depth);
        case ValInt8:
        case ValInt16:
        case ValInt32:
            out_ += std::to_string(reader_.ReadInteger());
            return;
        case ValExtended:
            out_ += FloatText(reader_.ReadFloat());
            return;
        case ValString:
        case ValLString:
            out_ += QuotedText(reader_.ReadString());
            return;
        case ValIdent:
        case ValFalse:
        case ValTrue:
        case ValNil:
            out_ += Word(reader_.ReadIdent());
            return;
        case ValBinary:
            return DecodeBytes();
        case ValSet:
            return DecodeSet();
        case ValCollection:
            return DecodeCollection(depth);
        default:
            reader_.ReadValue();
            throw ResourceError<EReadError>(SInvalidPropertyValue);
        }
    }

    void DecodeList(int depth) {
        reader_.ReadListBegin();
        out_ += '(';
        for (bool first = true; !reader_.EndOfList(); first = false) {
            out_ += first ? "" : ", ";
            DecodeValue(depth + 1);
        }
        reader_.ReadListEnd();
        out_ += ')';
    }

    void DecodeSet() {
        reader_.ReadValue();
        out_ += '[';
        for (std::string name = reader_.ReadStr(), separator; !name.empty();
             name = reader_.ReadStr(), separator = ", ") {
            out_ += separator + Word(name);
        }
        out_ += ']';
    }

    void DecodeBytes() {
        reader_.ReadValue();
        std::uint8_t countBytes[4];
        reader_.Read(countBytes, 4);
        std::uint32_t count = countBytes[0] | (countBytes[1] << 8) | (countBytes[2] << 16) |
                              (static_cast<std::uint32_t>(countBytes[3]) << 24);
        out_ += "bytes(";
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint8_t byte = 0;
            reader_.Read(&byte, 1);
            char hex[4];
            std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", byte);
            out_ += hex;
        }
        out_ += ')';
    }

    void DecodeCollection(int depth) {
        reader_.ReadValue();
        out_ += "collection(\n";
        while (!reader_.EndOfList()) {
            Indent(depth + 1);
            const TValueType next = reader_.NextValue();
            if (next == ValInt8 || next == ValInt16 || next == ValInt32) {
                out_ += std::to_string(reader_.ReadInteger()) + ": ";
            }
            reader_.ReadListBegin();
            out_ += "{\n";
            while (!reader_.EndOfList()) {
                DecodeProperty(depth + 2);
            }
            reader_.ReadListEnd();
            Indent(depth + 1);
            out_ += "}\n";
        }
        reader_.ReadListEnd();
        Indent(depth);
        out_ += ')';
    }

    static std::string FloatText(long double value) {
        char text[64];
        std::snprintf(text, sizeof text, "%.21Lg", value);
        std::string result = text;
        if (result == "inf" || result == "-inf") {
            return result[0] == '-' ? "-1e99999" : "1e99999";
        }
        if (result.find_first_of(".e") == std::string::npos) {
            result += ".0";
        }
        return result;
    }

    // UTF-8 where the text converts both ways, \xHH for the bytes where not.
    static std::string QuotedText(const std::string& bytes) {
        const std::string utf8 = AnsiToUtf8(bytes);
        const bool convertible = Utf8ToAnsi(utf8) == bytes;
        const std::string& shown = convertible ? utf8 : bytes;
        std::string out = "\"";
        for (char c : shown) {
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                out += '\\';
                out += c;
            } else if (c == '\n') {
                out += "\\n";
            } else if (c == '\r') {
                out += "\\r";
            } else if (c == '\t') {
                out += "\\t";
            } else if (byte < 0x20 || byte == 0x7F || (!convertible && byte >= 0x80)) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02X", byte);
                out += hex;
            } else {
                out += c;
            }
        }
        return out + "\"";
    }

    TReader& reader_;
    std::string out_;
};

} // namespace

std::string Compile(std::string_view source) {
    TMemoryStream stream;
    {
        TWriter writer(stream);
        Compiler(source, writer).CompileFile();
        writer.FlushBuffer();
    }
    return std::string(static_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(stream.Size()));
}

std::string Decode(std::string_view resource) {
    TMemoryStream stream;
    stream.WriteBuffer(resource.data(), static_cast<std::int32_t>(resource.size()));
    stream.SetPosition(0);
    TReader reader(stream);
    return Decoder(reader).DecodeFile();
}

} // namespace velbrin::formtext
