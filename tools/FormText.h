#pragma once
// The project's text notation for form resources, and its translation to and
// from the binary form resource format.
//
//     # A comment runs to the end of its line.
//     Form1 : TForm1 {
//         Left = 200                       integers, decimal or 0x hex
//         Ratio = 1.5                      floats have a point or an exponent
//         Caption = "Velbrin Notes View"   UTF-8 text, \" \\ \n \r \t \xHH escapes
//         Font.Charset = SHIFTJIS_CHARSET  identifiers (False, True and nil too)
//         Font.Style = [fsBold, fsItalic]  sets
//         Items.Strings = ("G", "A-")      lists of values
//         Glyph.Data = bytes(0A 1B FF)     binary data
//         Columns = collection({ Width = 4 } 3: { Width = 5 })
//         Label1 : TLabel { ... }          child components follow the properties
//         inherited Panel1 : TPanel at 2 { }   prefix flags and child position
//     }
//
// Texts are stored in code page 932. Decoding writes what compiling reads, so
// a resource this system writes comes back byte for byte.

#include <stdexcept>
#include <string>
#include <string_view>

namespace velbrin::formtext {

// A fault in the notation, with its place (1-based).
class SyntaxError : public std::runtime_error {
public:
    SyntaxError(int line, int column, const std::string& message);
    int Line() const { return line_; }
    int Column() const { return column_; }

private:
    int line_;
    int column_;
};

// Compiles the notation to a form resource; SyntaxError on a fault.
std::string Compile(std::string_view source);

// Decodes a form resource to the notation; the reader's exception (a
// velbrin::Exception) when the resource is malformed.
std::string Decode(std::string_view resource);

} // namespace velbrin::formtext
