#pragma once
// Fonts found with fontconfig and drawn with FreeType: the installed face a
// logical font maps to, its metrics, and its glyphs, cached per sized face.

#include <windows.h>

#include <memory>

namespace platform::gdi {

class FontFace;

class TextEngine {
public:
    TextEngine();
    ~TextEngine();
    TextEngine(const TextEngine&) = delete;
    TextEngine& operator=(const TextEngine&) = delete;
};

} // namespace platform::gdi
