// Text output and measurement: TextOutA, ExtTextOutA, DrawTextA, extents,
// metrics and the font families.

#include "GdiState.h"
#include "Text.h"
#include "raster/Raster.h"

#include "../core/Context.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace platform::gdi {

namespace {

// The longest text one call draws or measures; with advances kept within
// kMaxAdvance, a line's width stays far inside 32 bits.
constexpr int kMaxTextBytes = 1 << 16;
constexpr int kMaxAdvance = 1 << 12;

FontFace* FaceOf(DeviceContext& dc) {
    GdiObject* object = SelectedObject(dc.attributes.font);
    FontData* font = object ? std::get_if<FontData>(&object->data) : nullptr;
    if (!font) {
        return nullptr;
    }
    if (!font->face) {
        GdiState& state = Ctx().Gdi();
        font->face = state.text->FaceFor(font->logFont, state.pixelsPerInch);
    }
    return font->face.get();
}

// A character placed on its line, x relative to the line's start.
struct PlacedGlyph {
    char32_t code;
    LONG x;
    int advance;
    bool drawn;
};

struct Run {
    std::vector<PlacedGlyph> glyphs;
    LONG width = 0;
};

// Places text on one line; `dx`, when given, holds each byte's advance (a
// double-byte character advances by the sum of its two). The line lives
// until the next call: a call draws or measures one line and is done with it,
// and a grid draws one a cell.
const Run& Place(FontFace& face, const char* text, int count, const INT* dx) {
    static thread_local std::vector<Character> characters;
    static thread_local Run run;
    Ctx().Gdi().text->Decode(text, count, characters);
    run.glyphs.clear();
    run.width = 0;
    for (const Character& character : characters) {
        int advance = dx ? std::clamp(dx[character.offset], -kMaxAdvance, kMaxAdvance) +
                               (character.length == 2 ? std::clamp(dx[character.offset + 1],
                                                                   -kMaxAdvance, kMaxAdvance)
                                                      : 0)
                         : face.Advance(character.code);
        run.glyphs.push_back({character.code, run.width, advance, true});
        run.width += advance;
    }
    return run;
}

// Draws the glyphs of a line whose cell has its top-left at `origin`
// (surface coordinates), with the font's underline and strike-out. With a
// `background`, every pixel the clip lets through was just filled with it:
// a glyph clear of the ink before it is then copied, composed once per
// colour pair, instead of blended pixel by pixel (the same pixels).
void DrawGlyphs(const raster::Target& target, FontFace& face, POINT origin,
                const std::vector<PlacedGlyph>& glyphs, LONG width, Pixel color,
                const Pixel* background = nullptr) {
    LONG baseline = origin.y + face.Metrics().tmAscent;
    LONG inkRight = std::numeric_limits<LONG>::min();
    for (const PlacedGlyph& placed : glyphs) {
        if (!placed.drawn) {
            continue;
        }
        const GlyphImage& glyph = face.Glyph(placed.code);
        const LONG left = origin.x + placed.x + glyph.left;
        const LONG top = baseline - glyph.top;
        if (background && left >= inkRight) {
            raster::CopyImage(target, left, top,
                              face.Composed(placed.code, color, *background).data(), glyph.width,
                              glyph.rows);
        } else {
            raster::BlendMask(target, left, top, glyph.coverage.data(), glyph.width, glyph.rows,
                              glyph.width, color);
        }
        if (glyph.width > 0) {
            inkRight = std::max(inkRight, left + glyph.width);
        }
    }
    LONG thickness = face.UnderlineThickness();
    if (face.Underlined()) {
        LONG top = baseline + face.UnderlineOffset();
        raster::FillRect(target, {origin.x, top, origin.x + width, top + thickness}, color);
    }
    if (face.StruckOut()) {
        LONG top = baseline - face.StrikeOutOffset();
        raster::FillRect(target, {origin.x, top, origin.x + width, top + thickness}, color);
    }
}

RECT Normalized(const RECT& rect) {
    return {std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
            std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
}

LONG AlignedLeft(UINT align, LONG x, LONG width) {
    if ((align & TA_CENTER) == TA_CENTER) {
        return Saturate(static_cast<long long>(x) - width / 2);
    }
    return align & TA_RIGHT ? Saturate(static_cast<long long>(x) - width) : x;
}

LONG AlignedTop(UINT align, LONG y, const TEXTMETRICA& metrics) {
    if ((align & TA_BASELINE) == TA_BASELINE) {
        return Saturate(static_cast<long long>(y) - metrics.tmAscent);
    }
    return align & TA_BOTTOM ? Saturate(static_cast<long long>(y) - metrics.tmHeight) : y;
}

// ---- DrawTextA ---------------------------------------------------------

// A paragraph with its accelerator prefixes taken out: the characters that
// followed a lone "&" are underlined.
struct Paragraph {
    std::string text;
    std::vector<int> underlinedOffsets;
};

std::vector<Paragraph> SplitParagraphs(const char* text, int count, UINT format) {
    std::vector<Paragraph> paragraphs(1);
    bool singleLine = format & DT_SINGLELINE;
    bool prefixes = !(format & DT_NOPREFIX);
    for (int i = 0; i < count; ++i) {
        char byte = text[i];
        Paragraph& current = paragraphs.back();
        if (byte == '\r' || byte == '\n') {
            if (byte == '\r' && i + 1 < count && text[i + 1] == '\n') {
                ++i;
            }
            if (!singleLine) {
                paragraphs.emplace_back();
            }
            continue;
        }
        if (prefixes && byte == '&') {
            if (i + 1 < count && text[i + 1] == '&') {
                current.text += '&';
                ++i;
            } else if (i + 1 < count) {
                current.underlinedOffsets.push_back(static_cast<int>(current.text.size()));
            }
            continue;
        }
        bool lead = IsDBCSLeadByte(static_cast<BYTE>(byte)) && i + 1 < count;
        current.text += byte;
        if (lead) {
            current.text += text[++i];
        }
    }
    return paragraphs;
}

struct LaidOutLine {
    const Paragraph* paragraph;
    Run run;
    std::vector<int> offsets; // byte offset of each glyph in the paragraph
};

// Places a paragraph, tabs expanded to the next stop when asked.
LaidOutLine PlaceParagraph(FontFace& face, const Paragraph& paragraph, UINT format) {
    LaidOutLine line{&paragraph, {}, {}};
    std::vector<Character> characters;
    Ctx().Gdi().text->Decode(paragraph.text.data(), static_cast<int>(paragraph.text.size()),
                             characters);
    LONG tabStop = std::max<LONG>(1, 8 * face.Metrics().tmAveCharWidth);
    for (const Character& character : characters) {
        LONG x = line.run.width;
        int advance;
        bool drawn = true;
        if (character.code == '\t') {
            advance =
                format & DT_EXPANDTABS ? static_cast<int>((x / tabStop + 1) * tabStop - x) : 0;
            drawn = false;
        } else {
            advance = face.Advance(character.code);
        }
        line.run.glyphs.push_back({character.code, x, advance, drawn});
        line.offsets.push_back(character.offset);
        line.run.width += advance;
    }
    return line;
}

LaidOutLine Slice(const LaidOutLine& whole, std::size_t begin, std::size_t end) {
    LaidOutLine part{whole.paragraph, {}, {}};
    while (end > begin && whole.run.glyphs[end - 1].code == ' ') {
        --end; // spaces at a break hang outside the line
    }
    LONG start = begin < whole.run.glyphs.size() ? whole.run.glyphs[begin].x : 0;
    for (std::size_t i = begin; i < end; ++i) {
        PlacedGlyph glyph = whole.run.glyphs[i];
        glyph.x -= start;
        part.run.glyphs.push_back(glyph);
        part.offsets.push_back(whole.offsets[i]);
        part.run.width = glyph.x + glyph.advance;
    }
    return part;
}

// Breaks after spaces and between double-byte characters, so that each line
// fits `width` unless a single word is wider.
void WrapInto(const LaidOutLine& whole, LONG width, std::vector<LaidOutLine>& lines) {
    const auto& glyphs = whole.run.glyphs;
    std::size_t n = glyphs.size();
    auto breakable = [&](std::size_t k) {
        if (k == n) {
            return true;
        }
        auto wide = [&](std::size_t i) {
            std::size_t next = i + 1 < n ? static_cast<std::size_t>(whole.offsets[i + 1])
                                         : whole.paragraph->text.size();
            return next - static_cast<std::size_t>(whole.offsets[i]) == 2;
        };
        return glyphs[k - 1].code == ' ' || wide(k - 1) || wide(k);
    };
    std::size_t begin = 0;
    do {
        std::size_t end = begin;
        std::size_t best = 0;
        for (std::size_t k = begin + 1; k <= n; ++k) {
            LONG right = glyphs[k - 1].x + glyphs[k - 1].advance - glyphs[begin].x;
            bool fits = right <= width || glyphs[k - 1].code == ' ';
            if (!fits && best != 0) {
                break;
            }
            if (breakable(k)) {
                best = k;
                if (!fits) {
                    break;
                }
            }
            end = k;
        }
        end = best != 0 ? best : std::max(end, begin + 1);
        lines.push_back(Slice(whole, begin, std::min(end, n)));
        begin = std::min(end, n);
        while (begin < n && glyphs[begin].code == ' ') {
            ++begin;
        }
    } while (begin < n);
}

void DrawPrefixUnderlines(Surface& surface, const Region& clip, FontFace& face, POINT origin,
                          const LaidOutLine& line, Pixel color) {
    raster::Target target{surface, clip, R2_COPYPEN};
    LONG top = origin.y + face.Metrics().tmAscent + face.UnderlineOffset();
    for (int offset : line.paragraph->underlinedOffsets) {
        auto at = std::find(line.offsets.begin(), line.offsets.end(), offset);
        if (at != line.offsets.end()) {
            const PlacedGlyph& glyph = line.run.glyphs[at - line.offsets.begin()];
            raster::FillRect(target,
                             {origin.x + glyph.x, top, origin.x + glyph.x + glyph.advance,
                              top + face.UnderlineThickness()},
                             color);
        }
    }
}

} // namespace

} // namespace platform::gdi

using namespace platform::gdi;

BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                 const INT* dx) {
    DeviceContext* context = FindDC(dc);
    if (!context || (count > 0 && !text) || count > static_cast<UINT>(kMaxTextBytes)) {
        return FALSE;
    }
    FontFace* face = FaceOf(*context);
    if (!face) {
        return FALSE;
    }
    const Run& run = Place(*face, text, static_cast<int>(count), dx);
    DcAttributes& attributes = context->attributes;
    bool updatePosition = attributes.textAlign & TA_UPDATECP;
    POINT reference = updatePosition ? attributes.position : POINT{x, y};
    LONG left = AlignedLeft(attributes.textAlign, reference.x, run.width);
    LONG top = AlignedTop(attributes.textAlign, reference.y, face->Metrics());

    const Region& drawable = Drawable(*context);
    const Region* clip = &drawable;
    Region clipped;
    const RECT* within = nullptr;
    RECT box = rect ? ToSurface(*context, Normalized(*rect)) : RECT{};
    if ((options & ETO_CLIPPED) && rect) {
        // A box the DC may draw all of, as a cell inside the area being
        // painted, is the whole clip: no region is made for it.
        if (box.left < box.right && box.top < box.bottom && drawable.Covers(box)) {
            within = &box;
        } else {
            clipped = drawable.ClippedTo(box);
            clip = &clipped;
        }
    }
    const raster::Target target{*context->surface, *clip, R2_COPYPEN, within};
    Pixel background = ToPixel(attributes.backgroundColor);
    // Clipped or not, the box is filled where the DC may draw: the clip
    // made for the text, when there is one, is that and no more.
    if ((options & ETO_OPAQUE) && rect) {
        raster::FillRect(target, box, background);
    }
    POINT origin = ToSurface(*context, left, top);
    // Text clipped to a rectangle just filled with the background needs no
    // background of its own: it would paint the same pixels the same colour.
    const bool backgroundFilled = (options & ETO_OPAQUE) && (options & ETO_CLIPPED) && rect;
    if (attributes.backgroundMode == OPAQUE && !backgroundFilled) {
        RECT cell{origin.x, origin.y, origin.x + run.width, origin.y + face->Metrics().tmHeight};
        raster::FillRect(target, cell, background);
    }
    DrawGlyphs(target, *face, origin, run.glyphs, run.width, ToPixel(attributes.textColor),
               backgroundFilled ? &background : nullptr);
    if (updatePosition) {
        attributes.position.x = (attributes.textAlign & TA_CENTER) == TA_CENTER ? reference.x
                                : attributes.textAlign & TA_RIGHT               ? left
                                                                                : left + run.width;
    }
    return TRUE;
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int count) {
    if (count < 0) {
        return FALSE;
    }
    return ExtTextOutA(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

BOOL GetTextExtentPointA(HDC dc, LPCSTR text, int count, LPSIZE size) {
    DeviceContext* context = FindDC(dc);
    if (!context || !size || count < 0 || count > kMaxTextBytes || (count > 0 && !text)) {
        return FALSE;
    }
    FontFace* face = FaceOf(*context);
    if (!face) {
        return FALSE;
    }
    *size = {Place(*face, text, count, nullptr).width, face->Metrics().tmHeight};
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, LPSIZE size) {
    return GetTextExtentPointA(dc, text, count, size);
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics) {
    DeviceContext* context = FindDC(dc);
    FontFace* face = context ? FaceOf(*context) : nullptr;
    if (!face || !metrics) {
        return FALSE;
    }
    *metrics = face->Metrics();
    return TRUE;
}

int GetTextFaceA(HDC dc, int count, LPSTR faceName) {
    DeviceContext* context = FindDC(dc);
    const FontData* font = context ? SelectedAs<FontData>(context->attributes.font) : nullptr;
    if (!font) {
        return 0;
    }
    int length = static_cast<int>(std::strlen(font->logFont.lfFaceName));
    if (!faceName) {
        return length + 1;
    }
    if (count <= 0) {
        return 0;
    }
    int copied = std::min(length, count - 1);
    std::memcpy(faceName, font->logFont.lfFaceName, static_cast<std::size_t>(copied));
    faceName[copied] = '\0';
    return copied;
}

int DrawTextA(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format) {
    DeviceContext* context = FindDC(dc);
    if (!context || !rect || (!text && count != 0)) {
        return 0;
    }
    FontFace* face = FaceOf(*context);
    if (!face) {
        return 0;
    }
    if (count < 0) {
        count = static_cast<int>(strnlen(text, kMaxTextBytes + 1));
    }
    if (count > kMaxTextBytes) {
        return 0;
    }
    const TEXTMETRICA& metrics = face->Metrics();
    LONG lineHeight =
        metrics.tmHeight + (format & DT_EXTERNALLEADING ? metrics.tmExternalLeading : 0);
    std::vector<Paragraph> paragraphs = SplitParagraphs(text, count, format);
    std::vector<LaidOutLine> lines;
    bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    for (const Paragraph& paragraph : paragraphs) {
        LaidOutLine whole = PlaceParagraph(*face, paragraph, format);
        if (wrap && !whole.run.glyphs.empty()) {
            WrapInto(whole, Saturate(static_cast<long long>(rect->right) - rect->left), lines);
        } else {
            lines.push_back(std::move(whole));
        }
    }
    LONG height = lineHeight * static_cast<LONG>(lines.size());
    if (format & DT_CALCRECT) {
        LONG widest = 0;
        for (const LaidOutLine& line : lines) {
            widest = std::max(widest, line.run.width);
        }
        rect->right = Saturate(static_cast<long long>(rect->left) + widest);
        rect->bottom = Saturate(static_cast<long long>(rect->top) + height);
        return height;
    }

    // Far-out rectangles are worked out in 64 bits and cut to what the
    // surface coordinates can hold.
    long long top = rect->top;
    long long rectWidth = static_cast<long long>(rect->right) - rect->left;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) {
            top += (static_cast<long long>(rect->bottom) - rect->top - lineHeight) / 2;
        } else if (format & DT_BOTTOM) {
            top = static_cast<long long>(rect->bottom) - lineHeight;
        }
    }
    const Region& drawable = Drawable(*context);
    Region clipped;
    const Region* clip = &drawable;
    if (!(format & DT_NOCLIP)) {
        clipped = drawable.ClippedTo(ToSurface(*context, Normalized(*rect)));
        clip = &clipped;
    }
    DcAttributes& attributes = context->attributes;
    Pixel color = ToPixel(attributes.textColor);
    Pixel background = ToPixel(attributes.backgroundColor);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LaidOutLine& line = lines[i];
        long long left = rect->left;
        if (format & DT_CENTER) {
            left += (rectWidth - line.run.width) / 2;
        } else if (format & DT_RIGHT) {
            left = static_cast<long long>(rect->right) - line.run.width;
        }
        POINT origin = ToSurface(*context, Saturate(left),
                                 Saturate(top + static_cast<long long>(lineHeight) * i));
        if (attributes.backgroundMode == OPAQUE) {
            raster::FillRect(
                {*context->surface, *clip, R2_COPYPEN},
                {origin.x, origin.y, origin.x + line.run.width, origin.y + metrics.tmHeight},
                background);
        }
        DrawGlyphs({*context->surface, *clip, R2_COPYPEN}, *face, origin, line.run.glyphs,
                   line.run.width, color);
        if (!(format & DT_HIDEPREFIX)) {
            DrawPrefixUnderlines(*context->surface, *clip, *face, origin, line, color);
        }
    }
    return (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))
               ? Saturate(top - rect->top + height)
               : height;
}

int EnumFontFamiliesExA(HDC dc, LOGFONTA* font, FONTENUMPROCA proc, LPARAM data, DWORD) {
    if (!FindDC(dc) || !font || !proc) {
        return 0;
    }
    std::string wanted(font->lfFaceName, strnlen(font->lfFaceName, LF_FACESIZE));
    int result = 1;
    for (const FontFamily& family : platform::Ctx().Gdi().text->Families()) {
        if (!wanted.empty() && family.name != wanted) {
            continue;
        }
        for (BYTE charset :
             {static_cast<BYTE>(SHIFTJIS_CHARSET), static_cast<BYTE>(ANSI_CHARSET)}) {
            if (charset == SHIFTJIS_CHARSET && !family.japanese) {
                continue;
            }
            if (font->lfCharSet != DEFAULT_CHARSET && font->lfCharSet != charset) {
                continue;
            }
            ENUMLOGFONTEXA logFont{};
            logFont.elfLogFont.lfHeight = 16;
            logFont.elfLogFont.lfWeight = FW_NORMAL;
            logFont.elfLogFont.lfCharSet = charset;
            logFont.elfLogFont.lfPitchAndFamily =
                static_cast<BYTE>((family.fixedPitch ? FIXED_PITCH : VARIABLE_PITCH) | FF_SWISS);
            std::memcpy(logFont.elfLogFont.lfFaceName, family.name.data(), family.name.size());
            std::memcpy(logFont.elfFullName, family.name.data(), family.name.size());
            NEWTEXTMETRICEXA metrics{};
            metrics.ntmTm.tmHeight = 16;
            metrics.ntmTm.tmCharSet = charset;
            metrics.ntmTm.tmPitchAndFamily = static_cast<BYTE>(
                TMPF_TRUETYPE | TMPF_VECTOR | (family.fixedPitch ? 0 : TMPF_FIXED_PITCH));
            result = proc(&logFont.elfLogFont, &metrics.ntmTm, TRUETYPE_FONTTYPE, data);
            if (result == 0) {
                return 0;
            }
        }
    }
    return result;
}
