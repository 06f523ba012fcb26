#pragma once
// Fonts found with fontconfig and drawn with FreeType: the installed face a
// logical font maps to, its metrics, and its glyphs, cached per sized face.

#include <windows.h>

#include "FaceCache.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::gdi {

class FreeTypeLibrary;

// A glyph as an 8-bit coverage mask, placed relative to the pen position on
// the baseline: its top-left is (left, -top).
struct GlyphImage {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    int advance = 0;
    std::vector<std::uint8_t> coverage;
};

// One character of code page 932 text: its bytes and its Unicode value.
struct Character {
    int offset;
    int length;
    char32_t code;
};

// An installed face at one size, with the style the logical font asks for
// (bold and italic are synthesized when the family has no such face).
class FontFace {
public:
    struct Source {
        std::string file;
        int index = 0;
        bool emboldened = false;
        bool slanted = false;
        // The cell of the Windows face this one stands for, in 1/256 em; 0
        // keeps the face's own.
        int cellAscent = 0;
        int cellDescent = 0;
    };

    // Null when the file cannot be opened as a scalable face.
    static std::unique_ptr<FontFace> Open(std::shared_ptr<FreeTypeLibrary> library,
                                          const Source& source, const Source& fallback,
                                          const LOGFONTA& logFont, int pixelsPerInch);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const TEXTMETRICA& Metrics() const { return metrics_; }
    const GlyphImage& Glyph(char32_t code);
    // The glyph's pixels in `color` over a background of `background`
    // (0x00RRGGBB each), a row of the glyph's width after another: text on
    // a background just filled is then drawn by copying them.
    const std::vector<std::uint32_t>& Composed(char32_t code, std::uint32_t color,
                                               std::uint32_t background);
    int Advance(char32_t code) { return Glyph(code).advance; }
    // Below the baseline, in pixels, and at least one pixel thick.
    int UnderlineOffset() const { return underlineOffset_; }
    int UnderlineThickness() const { return underlineThickness_; }
    // Above the baseline.
    int StrikeOutOffset() const { return strikeOutOffset_; }
    bool Underlined() const { return metrics_.tmUnderlined != 0; }
    bool StruckOut() const { return metrics_.tmStruckOut != 0; }

    // A FreeType face set to the size; defined with the engine.
    struct Sized;

private:
    FontFace() = default;
    bool Render(Sized& face, char32_t code, GlyphImage& glyph);

    std::shared_ptr<FreeTypeLibrary> library_;
    std::unique_ptr<Sized> primary_;
    // Opened on the first character the primary face lacks.
    std::unique_ptr<Sized> fallback_;
    Source fallbackSource_;
    double emPixels_ = 0;
    bool fallbackTried_ = false;
    TEXTMETRICA metrics_{};
    int underlineOffset_ = 1;
    int underlineThickness_ = 1;
    int strikeOutOffset_ = 1;
    // Rendered glyphs are kept for the face's life; the ASCII ones, most of
    // any text the program draws, are also found by code without hashing.
    std::unordered_map<char32_t, GlyphImage> glyphs_;
    std::array<const GlyphImage*, 128> asciiGlyphs_{};
    struct ComposedKey {
        char32_t code;
        std::uint32_t color;
        std::uint32_t background;
        bool operator==(const ComposedKey&) const = default;
    };
    struct ComposedKeyHash {
        std::size_t operator()(const ComposedKey& key) const {
            return (static_cast<std::size_t>(key.code) * 0x9E3779B97F4A7C15ull) ^
                   (static_cast<std::size_t>(key.color) << 24) ^ key.background;
        }
    };
    std::unordered_map<ComposedKey, std::vector<std::uint32_t>, ComposedKeyHash> composed_;
};

struct FontFamily {
    std::string name; // in code page 932
    bool japanese = false;
    bool fixedPitch = false;
};

class TextEngine {
public:
    TextEngine();
    ~TextEngine();
    TextEngine(const TextEngine&) = delete;
    TextEngine& operator=(const TextEngine&) = delete;

    // The sized face for a logical font; equal logical fonts share one. Null
    // when no installed font can be opened.
    std::shared_ptr<FontFace> FaceFor(const LOGFONTA& logFont, int pixelsPerInch);

    // Splits code page 932 bytes into characters; a lead byte at the end
    // stands alone.
    void Decode(const char* text, int count, std::vector<Character>& characters);

    // The installed families, sorted by name, without duplicates.
    const std::vector<FontFamily>& Families();

private:
    // The face for `request` from the cache, else as `resolve` finds it
    // through fontconfig (and then kept in the cache).
    template <class Resolver>
    FontFace::Source CachedSource(const std::string& request, Resolver resolve);
    FontFace::Source Resolve(const std::string& family, bool bold, bool italic);
    char32_t DoubleByte(unsigned char lead, unsigned char trail);

    std::shared_ptr<FreeTypeLibrary> library_;
    std::map<std::string, std::shared_ptr<FontFace>> faces_;
    std::map<std::string, FontFace::Source> sources_;
    FaceCache faceCache_{FaceCache::DefaultPath()};
    std::array<bool, 256> leadBytes_{};
    std::array<char32_t, 256> singleBytes_{};
    // Characters of two bytes, a row per lead byte made when first met: a
    // window's text uses a few rows of the sixty a full table would fill.
    std::array<std::unique_ptr<std::array<char32_t, 256>>, 256> doubleBytes_;
    std::vector<FontFamily> families_;
    bool familiesListed_ = false;
};

} // namespace platform::gdi
