#include "Text.h"

#include "../kernel/CodePage.h"
#include "raster/Raster.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

namespace platform::gdi {

// FreeType, and the installed font files it has open. Every size of a file
// shares one face: each open face maps the file and reads its tables (a
// Japanese face's character map alone is 230 KB), so a face per size would
// cost that memory again for every size the windows use.
class FreeTypeLibrary {
public:
    FreeTypeLibrary() {
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
        }
    }
    ~FreeTypeLibrary() {
        if (library_) {
            FT_Done_FreeType(library_);
        }
    }
    FreeTypeLibrary(const FreeTypeLibrary&) = delete;
    FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;
    FT_Library Get() const { return library_; }

    // The open face of a file, opened now if no size of it is alive; null
    // when the file is no face FreeType reads.
    std::shared_ptr<FT_FaceRec> Face(const std::string& file, int index) {
        std::weak_ptr<FT_FaceRec>& known = faces_[file + '\x01' + std::to_string(index)];
        if (std::shared_ptr<FT_FaceRec> open = known.lock()) {
            return open;
        }
        FT_Face face = nullptr;
        if (FT_New_Face(library_, file.c_str(), index, &face) != 0) {
            return nullptr;
        }
        std::shared_ptr<FT_FaceRec> shared(face, [](FT_Face done) { FT_Done_Face(done); });
        known = shared;
        return shared;
    }

private:
    FT_Library library_ = nullptr;
    std::map<std::string, std::weak_ptr<FT_FaceRec>> faces_;
};

// One size of a shared face. FreeType draws at the face's active size, so a
// size is activated before each glyph is loaded.
struct FontFace::Sized {
    std::shared_ptr<FT_FaceRec> face;
    FT_Size size = nullptr;
    bool emboldened = false;
    bool slanted = false;
    ~Sized() {
        if (size) {
            FT_Done_Size(size);
        }
    }
};

namespace {

constexpr char32_t kReplacement = 0x30FB; // the middle dot Windows shows for a broken byte

// Empty when the name has no code page 932 form.
std::string FromUtf8(const std::string& utf8) {
    int length = static_cast<int>(utf8.size());
    std::vector<WCHAR> wide(utf8.size());
    int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), length);
    std::string text(static_cast<std::size_t>(units) * 2, '\0');
    BOOL lossy = FALSE;
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, text.data(),
                                    static_cast<int>(text.size()), nullptr, &lossy);
    if (bytes <= 0 || lossy) {
        return {};
    }
    text.resize(static_cast<std::size_t>(bytes));
    return text;
}

bool SameAsciiName(const std::string& a, const char* b) {
    return a.size() == std::strlen(b) && std::equal(a.begin(), a.end(), b, [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

struct FaceAlias {
    const char* windowsName; // UTF-8
    const char* family;
    // The Windows face's cell in 1/256 em, where the face standing in for it
    // has another: forms measure their text height in it. 0 keeps the
    // installed face's own.
    int cellAscent;
    int cellDescent;
};

// The Japanese faces of Windows fill exactly their em square; the Liberation
// faces already share the metrics of the faces they stand for.
constexpr int kJapaneseAscent = 220;
constexpr int kJapaneseDescent = 36;

constexpr FaceAlias kFaceAliases[] = {
    {"ＭＳ Ｐゴシック", "IPAPGothic", kJapaneseAscent, kJapaneseDescent},
    {"ＭＳ ゴシック", "IPAGothic", kJapaneseAscent, kJapaneseDescent},
    {"MS PGothic", "IPAPGothic", kJapaneseAscent, kJapaneseDescent},
    {"MS Gothic", "IPAGothic", kJapaneseAscent, kJapaneseDescent},
    {"ＭＳ Ｐ明朝", "IPAPMincho", kJapaneseAscent, kJapaneseDescent},
    {"ＭＳ 明朝", "IPAMincho", kJapaneseAscent, kJapaneseDescent},
    {"System", "IPAPGothic", 0, 0},
    {"Terminal", "IPAGothic", 0, 0},
    {"Arial", "Liberation Sans", 0, 0},
    {"MS Sans Serif", "Liberation Sans", 0, 0},
    {"Times New Roman", "Liberation Serif", 0, 0},
    {"Courier New", "Liberation Mono", 0, 0},
    {"Courier", "Liberation Mono", 0, 0},
};

struct MappedFace {
    std::string family;
    int cellAscent = 0;
    int cellDescent = 0;
};

// The installed family that stands in for a Windows face name, and the cell
// it is to have.
MappedFace MapFace(const std::string& face, BYTE charset) {
    for (const FaceAlias& alias : kFaceAliases) {
        if (SameAsciiName(face, alias.windowsName)) {
            return {alias.family, alias.cellAscent, alias.cellDescent};
        }
    }
    if (!face.empty()) {
        return {face};
    }
    return {charset == SHIFTJIS_CHARSET ? "IPAPGothic" : "sans-serif"};
}

FcPattern* Match(const std::string& family, bool bold, bool italic) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    return match;
}

LONG Scaled(long units, double em, long unitsPerEm, bool roundUp) {
    double value = static_cast<double>(units) * em / static_cast<double>(unitsPerEm);
    return static_cast<LONG>(roundUp ? std::ceil(value - 1e-6) : std::lround(value));
}

std::string HexOf(const char* text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char* c = text; *c != '\0'; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex.empty() ? "-" : hex;
}

std::string FaceKey(const LOGFONTA& font, int pixelsPerInch) {
    return std::string(font.lfFaceName) + '\x01' + std::to_string(font.lfHeight) + '\x01' +
           std::to_string(font.lfWeight >= 600) + std::to_string(font.lfItalic != 0) +
           std::to_string(font.lfUnderline != 0) + std::to_string(font.lfStrikeOut != 0) + '\x01' +
           std::to_string(font.lfCharSet) + '\x01' + std::to_string(pixelsPerInch) + '\x01' +
           std::to_string(font.lfWeight);
}

bool OpenSized(FreeTypeLibrary& library, const FontFace::Source& source, double emPixels,
               FontFace::Sized& sized);

} // namespace

std::unique_ptr<FontFace> FontFace::Open(std::shared_ptr<FreeTypeLibrary> library,
                                         const Source& source, const Source& fallback,
                                         const LOGFONTA& logFont, int pixelsPerInch) {
    if (!library || !library->Get()) {
        return nullptr;
    }
    std::unique_ptr<FontFace> font(new FontFace());
    font->library_ = std::move(library);
    font->fallbackSource_ = fallback;
    font->primary_ = std::make_unique<Sized>();
    std::shared_ptr<FT_FaceRec> shared = font->library_->Face(source.file, source.index);
    if (!shared) {
        return nullptr;
    }
    FT_Face probe = shared.get();
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(probe, FT_SFNT_OS2));
    long unitsPerEm = std::max<long>(1, probe->units_per_EM);
    long ascender = os2 && os2->usWinAscent ? os2->usWinAscent : probe->ascender;
    long descender = os2 && os2->usWinDescent ? os2->usWinDescent : -probe->descender;
    if (source.cellAscent > 0) {
        ascender = source.cellAscent * unitsPerEm / 256;
        descender = source.cellDescent * unitsPerEm / 256;
    }
    long cell = std::max<long>(1, ascender + descender);
    // A negative height is the em height, a positive one the whole cell; 0
    // asks for the default size.
    LONG height = logFont.lfHeight == 0 ? -MulDiv(10, pixelsPerInch, 72) : logFont.lfHeight;
    double em =
        height < 0 ? -static_cast<double>(height) : static_cast<double>(height) * unitsPerEm / cell;
    em = std::clamp(em, 1.0, 2048.0);
    font->emPixels_ = em;
    if (!OpenSized(*font->library_, source, em, *font->primary_)) {
        return nullptr;
    }
    FT_Face face = probe;

    TEXTMETRICA& tm = font->metrics_;
    tm.tmAscent = Scaled(ascender, em, unitsPerEm, true);
    tm.tmDescent = Scaled(descender, em, unitsPerEm, true);
    if (source.cellAscent > 0) {
        // A face that fills its em square keeps its cell the em height exactly.
        tm.tmDescent = Scaled(descender, em, unitsPerEm, false);
        tm.tmAscent = static_cast<LONG>(std::lround(em)) - tm.tmDescent;
    }
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - std::lround(em));
    // The face's line spacing beyond the cell is the leading Windows puts
    // between lines.
    tm.tmExternalLeading = std::max<LONG>(0, Scaled(face->height - cell, em, unitsPerEm, false));
    tm.tmAveCharWidth =
        os2 ? Scaled(os2->xAvgCharWidth, em, unitsPerEm, false) : std::lround(em / 2);
    tm.tmMaxCharWidth = Scaled(face->bbox.xMax - face->bbox.xMin, em, unitsPerEm, false);
    tm.tmWeight = logFont.lfWeight == FW_DONTCARE ? FW_NORMAL : logFont.lfWeight;
    tm.tmDigitizedAspectX = pixelsPerInch;
    tm.tmDigitizedAspectY = pixelsPerInch;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFC;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = logFont.lfItalic ? 1 : 0;
    tm.tmUnderlined = logFont.lfUnderline ? 1 : 0;
    tm.tmStruckOut = logFont.lfStrikeOut ? 1 : 0;
    // TMPF_FIXED_PITCH set means a variable pitch, as Windows has it.
    tm.tmPitchAndFamily = static_cast<BYTE>(
        TMPF_TRUETYPE | TMPF_VECTOR | (FT_IS_FIXED_WIDTH(face) ? 0 : TMPF_FIXED_PITCH) | FF_SWISS);
    bool japanese = FT_Get_Char_Index(face, 0x3042) != 0;
    tm.tmCharSet = logFont.lfCharSet == DEFAULT_CHARSET
                       ? static_cast<BYTE>(japanese ? SHIFTJIS_CHARSET : ANSI_CHARSET)
                       : logFont.lfCharSet;
    if (source.emboldened) {
        tm.tmWeight = std::max<LONG>(tm.tmWeight, FW_BOLD);
    }

    double scale = em / static_cast<double>(unitsPerEm);
    font->underlineThickness_ =
        std::max(1, static_cast<int>(std::lround(face->underline_thickness * scale)));
    font->underlineOffset_ =
        std::max(1, static_cast<int>(std::lround(-face->underline_position * scale)));
    font->underlineOffset_ =
        std::min<int>(font->underlineOffset_, std::max<LONG>(1, tm.tmDescent - 1));
    font->strikeOutOffset_ = os2 && os2->yStrikeoutPosition > 0
                                 ? static_cast<int>(std::lround(os2->yStrikeoutPosition * scale))
                                 : static_cast<int>(tm.tmAscent / 3);
    return font;
}

FontFace::~FontFace() = default;

const GlyphImage& FontFace::Glyph(char32_t code) {
    const bool ascii = code < asciiGlyphs_.size();
    if (ascii && asciiGlyphs_[code] != nullptr) {
        return *asciiGlyphs_[code];
    }
    auto found = glyphs_.find(code);
    if (found != glyphs_.end()) {
        return found->second;
    }
    GlyphImage glyph;
    if (!Render(*primary_, code, glyph)) {
        if (!fallbackTried_) {
            fallbackTried_ = true;
            auto sized = std::make_unique<Sized>();
            if (!fallbackSource_.file.empty() &&
                OpenSized(*library_, fallbackSource_, emPixels_, *sized)) {
                sized->emboldened = primary_->emboldened;
                sized->slanted = primary_->slanted;
                fallback_ = std::move(sized);
            }
        }
        if (!fallback_ || !Render(*fallback_, code, glyph)) {
            // Nothing has it: the primary face's missing-glyph box.
            Render(*primary_, 0, glyph);
        }
    }
    // The map's elements stay where they are as it grows.
    const GlyphImage& kept = glyphs_.emplace(code, std::move(glyph)).first->second;
    if (ascii) {
        asciiGlyphs_[code] = &kept;
    }
    return kept;
}

const std::vector<std::uint32_t>& FontFace::Composed(char32_t code, std::uint32_t color,
                                                     std::uint32_t background) {
    const ComposedKey key{code, color, background};
    auto found = composed_.find(key);
    if (found != composed_.end()) {
        return found->second;
    }
    // Text in ever new colours would grow the cache without end; a window
    // draws in a handful, so starting afresh past this is rare.
    constexpr std::size_t kMostComposed = 2048;
    if (composed_.size() >= kMostComposed) {
        composed_.clear();
    }
    const GlyphImage& glyph = Glyph(code);
    std::vector<std::uint32_t> pixels(glyph.coverage.size());
    raster::ComposeMask(glyph.coverage.data(), glyph.coverage.size(), color, background,
                        pixels.data());
    return composed_.emplace(key, std::move(pixels)).first->second;
}

bool FontFace::Render(Sized& sized, char32_t code, GlyphImage& glyph) {
    FT_Face face = sized.face.get();
    if (FT_Activate_Size(sized.size) != 0) {
        return false;
    }
    FT_UInt index = code == 0 ? 0 : FT_Get_Char_Index(face, code);
    if (index == 0 && code != 0) {
        return false;
    }
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) {
        return false;
    }
    FT_GlyphSlot slot = face->glyph;
    int extra = 0;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (sized.emboldened) {
            FT_Outline_EmboldenXY(&slot->outline, 64, 0);
            extra = 1;
        }
        if (sized.slanted) {
            FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
            FT_Outline_Transform(&slot->outline, &shear);
        }
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
        return false;
    }
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6) + extra;
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
    for (int row = 0; row < glyph.rows; ++row) {
        const unsigned char* source =
            bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
        std::copy_n(source, glyph.width,
                    glyph.coverage.data() + static_cast<std::size_t>(row) * glyph.width);
    }
    return true;
}

namespace {

bool OpenSized(FreeTypeLibrary& library, const FontFace::Source& source, double emPixels,
               FontFace::Sized& sized) {
    sized.face = library.Face(source.file, source.index);
    if (!sized.face || !FT_IS_SCALABLE(sized.face) ||
        FT_New_Size(sized.face.get(), &sized.size) != 0 || FT_Activate_Size(sized.size) != 0 ||
        FT_Set_Char_Size(sized.face.get(), 0, static_cast<FT_F26Dot6>(std::lround(emPixels * 64)),
                         72, 72) != 0) {
        return false;
    }
    sized.emboldened = source.emboldened;
    sized.slanted = source.slanted;
    return true;
}

} // namespace

TextEngine::TextEngine() : library_(std::make_shared<FreeTypeLibrary>()) {
    // fontconfig keeps its configuration for the whole process; hand it back
    // at exit so that a leak checker sees nothing left.
    [[maybe_unused]] static const bool finalizerRegistered = std::atexit(FcFini) == 0;
    for (int byte = 0; byte < 256; ++byte) {
        leadBytes_[byte] = IsDBCSLeadByte(static_cast<BYTE>(byte)) != 0;
        if (byte < 0x80) {
            singleBytes_[byte] = static_cast<char32_t>(byte);
        } else if (byte >= 0xA1 && byte <= 0xDF) {
            singleBytes_[byte] = 0xFF61 + static_cast<char32_t>(byte - 0xA1);
        } else {
            singleBytes_[byte] = kReplacement;
        }
    }
}

TextEngine::~TextEngine() = default;

char32_t TextEngine::DoubleByte(unsigned char lead, unsigned char trail) {
    std::unique_ptr<std::array<char32_t, 256>>& row = doubleBytes_[lead];
    if (!row) {
        row = std::make_unique<std::array<char32_t, 256>>();
    }
    char32_t& code = (*row)[trail];
    if (code == 0) {
        char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        WCHAR wide[2] = {};
        int units = MultiByteToWideChar(CP_ACP, 0, bytes, 2, wide, 2);
        code = units == 1 ? wide[0] : kReplacement;
    }
    return code;
}

void TextEngine::Decode(const char* text, int count, std::vector<Character>& characters) {
    characters.clear();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (int i = 0; i < count;) {
        unsigned char byte = bytes[i];
        if (leadBytes_[byte] && i + 1 < count && bytes[i + 1] >= 0x40) {
            characters.push_back({i, 2, DoubleByte(byte, bytes[i + 1])});
            i += 2;
        } else {
            characters.push_back({i, 1, singleBytes_[byte]});
            ++i;
        }
    }
}

FontFace::Source TextEngine::Resolve(const std::string& family, bool bold, bool italic) {
    std::string key = family +
                      (bold ? "\x01"
                              "b"
                            : "\x01") +
                      (italic ? "i" : "");
    auto found = sources_.find(key);
    if (found != sources_.end()) {
        return found->second;
    }
    FontFace::Source source;
    if (FcPattern* match = Match(family, bold, italic)) {
        FcChar8* file = nullptr;
        int index = 0;
        int weight = FC_WEIGHT_REGULAR;
        int slant = FC_SLANT_ROMAN;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            source.file = reinterpret_cast<const char*>(file);
        }
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(match, FC_SLANT, 0, &slant);
        source.index = index;
        source.emboldened = bold && weight < FC_WEIGHT_DEMIBOLD;
        source.slanted = italic && slant == FC_SLANT_ROMAN;
        FcPatternDestroy(match);
    }
    sources_.emplace(key, source);
    return source;
}

template <class Resolver>
FontFace::Source TextEngine::CachedSource(const std::string& request, Resolver resolve) {
    if (std::optional<CachedFace> cached = faceCache_.Find(request)) {
        return {cached->file,    cached->index,      cached->emboldened,
                cached->slanted, cached->cellAscent, cached->cellDescent};
    }
    FontFace::Source source = resolve();
    if (!source.file.empty()) {
        faceCache_.Store(request, {source.file, source.index, source.emboldened, source.slanted,
                                   source.cellAscent, source.cellDescent});
    }
    return source;
}

std::shared_ptr<FontFace> TextEngine::FaceFor(const LOGFONTA& logFont, int pixelsPerInch) {
    std::string key = FaceKey(logFont, pixelsPerInch);
    auto found = faces_.find(key);
    if (found != faces_.end()) {
        return found->second;
    }
    LOGFONTA font = logFont;
    font.lfFaceName[LF_FACESIZE - 1] = '\0';
    bool bold = font.lfWeight >= 600;
    bool italic = font.lfItalic != 0;
    const std::string style = std::string(bold ? "b" : "") + (italic ? "i" : "");
    // The face name's own bytes name the request: a cached face needs no
    // conversion of the name either.
    const std::string request =
        "face " + HexOf(font.lfFaceName) + " " + std::to_string(font.lfCharSet) + " " + style;
    FontFace::Source source = CachedSource(request, [&] {
        MappedFace mapped = MapFace(platform::Utf8FromAnsi(font.lfFaceName), font.lfCharSet);
        FontFace::Source resolved = Resolve(mapped.family, bold, italic);
        resolved.cellAscent = mapped.cellAscent;
        resolved.cellDescent = mapped.cellDescent;
        return resolved;
    });
    FontFace::Source fallback =
        CachedSource("fallback " + style, [&] { return Resolve("IPAPGothic", bold, italic); });
    std::shared_ptr<FontFace> face;
    if (!source.file.empty()) {
        face = FontFace::Open(library_, source, fallback, font, pixelsPerInch);
    }
    faces_.emplace(key, face);
    return face;
}

const std::vector<FontFamily>& TextEngine::Families() {
    if (familiesListed_) {
        return families_;
    }
    familiesListed_ = true;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_LANG, FC_SPACING, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    std::map<std::string, FontFamily> byName;
    FcLangSet* japanese = FcLangSetCreate();
    FcLangSetAdd(japanese, reinterpret_cast<const FcChar8*>("ja"));
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcChar8* name = nullptr;
        if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &name) != FcResultMatch) {
            continue;
        }
        std::string converted = FromUtf8(reinterpret_cast<const char*>(name));
        if (converted.empty() || converted.size() >= LF_FACESIZE) {
            continue;
        }
        FontFamily& family = byName[converted];
        family.name = converted;
        FcLangSet* languages = nullptr;
        if (FcPatternGetLangSet(fonts->fonts[i], FC_LANG, 0, &languages) == FcResultMatch &&
            FcLangSetContains(languages, japanese)) {
            family.japanese = true;
        }
        int spacing = FC_PROPORTIONAL;
        if (FcPatternGetInteger(fonts->fonts[i], FC_SPACING, 0, &spacing) == FcResultMatch &&
            spacing == FC_MONO) {
            family.fixedPitch = true;
        }
    }
    FcLangSetDestroy(japanese);
    if (fonts) {
        FcFontSetDestroy(fonts);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    // The Windows names of the faces that stand in for them are listed too.
    std::map<std::string, FontFamily> aliases;
    for (const FaceAlias& alias : kFaceAliases) {
        auto target = byName.find(FromUtf8(alias.family));
        std::string name = FromUtf8(alias.windowsName);
        if (target != byName.end() && !name.empty()) {
            FontFamily family = target->second;
            family.name = name;
            aliases.emplace(name, family);
        }
    }
    byName.merge(aliases);
    for (auto& [name, family] : byName) {
        families_.push_back(family);
    }
    return families_;
}

} // namespace platform::gdi
