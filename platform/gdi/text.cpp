// Font objects and text output: CreateFont, text metrics, DrawText and TextOut.
//
// Text runs left to right on a horizontal baseline: escapement and orientation are kept on the
// font object but don't rotate anything, and word wrapping knows no line-start or line-end
// rules for Japanese punctuation.
#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/gdi/gdi_internal.h"

namespace platform::gdi {

namespace {

fonts::FontInstance* InstanceOf(HGDIOBJ font) {
    FontObject* object = LookupFont(font);
    return object && object->instance ? object->instance.get() : nullptr;
}

// A context whose font couldn't be created draws with the system font, as a fresh context does.
fonts::FontInstance* SelectedFont(const DeviceContext& dc) {
    if (fonts::FontInstance* font = InstanceOf(dc.font)) return font;
    return InstanceOf(StockSystemFont());
}

LONG ClampToLong(std::int64_t v) { return static_cast<LONG>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); }
int SaturateToInt(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX)); }

HFONT MakeStockFont(LONG height, const std::string& faceCp932) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    std::memcpy(lf.lfFaceName, faceCp932.data(), std::min<std::size_t>(faceCp932.size(), LF_FACESIZE - 1));
    // The handle exists even without a face, so that selecting it always works.
    return AddFontObject(FontObject{lf, fonts::OpenFont(lf)});
}

Region SurfaceClip(const DeviceContext& dc) {
    Region clip = dc.clip;
    clip.IntersectWith(RECT{0, 0, dc.surface->Width(), dc.surface->Height()});
    return clip;
}

// One line of DrawText output: its characters after prefix processing and the positions of the
// characters an "&" marked.
struct TextLine {
    std::u32string text;
    std::vector<std::size_t> marked;
};

// Splits at CR LF, and at a CR or LF on its own. A break at the very end starts no further line.
std::vector<std::u32string_view> SplitAtLineBreaks(std::u32string_view text) {
    std::vector<std::u32string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != U'\r' && text[i] != U'\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// "&x" marks x, "&&" stands for "&", and an "&" at the end of the line is dropped.
TextLine ProcessPrefixes(std::u32string_view line, bool prefixes) {
    TextLine out;
    if (!prefixes) {
        out.text.assign(line);
        return out;
    }
    out.text.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != U'&') {
            out.text.push_back(line[i]);
            continue;
        }
        if (++i == line.size()) break;
        if (line[i] != U'&') out.marked.push_back(out.text.size());
        out.text.push_back(line[i]);
    }
    return out;
}

// Pen positions along a line, with tab stops when the format expands tabs.
class LineLayout {
public:
    LineLayout(fonts::FontInstance& font, bool expandTabs)
        : font_(font), expandTabs_(expandTabs), tabStop_(std::max(1, 8 * font.Metrics().aveCharWidth)) {}

    std::int64_t Step(std::int64_t pen, char32_t c) {
        if (c == U'\t' && expandTabs_) return (pen / tabStop_ + 1) * tabStop_;
        return pen + font_.Advance(c);
    }

    std::int64_t OffsetOf(std::u32string_view line, std::size_t index) {
        std::int64_t pen = 0;
        for (std::size_t i = 0; i < index && i < line.size(); ++i) pen = Step(pen, line[i]);
        return pen;
    }

    std::int64_t Width(std::u32string_view line) { return OffsetOf(line, line.size()); }

    void Draw(Surface& surface, const Region& clip, std::u32string_view line, std::int64_t x, std::int64_t baseline,
              Pixel color) {
        if (!expandTabs_) {
            font_.DrawRun(surface, clip, x, baseline, line, color);
            return;
        }
        std::int64_t pen = 0;
        std::size_t segment = 0;
        for (std::size_t i = 0; i <= line.size(); ++i) {
            if (i < line.size() && line[i] != U'\t') continue;
            pen += font_.DrawRun(surface, clip, x + pen, baseline, line.substr(segment, i - segment), color);
            if (i < line.size()) pen = Step(pen, U'\t');
            segment = i + 1;
        }
    }

private:
    fonts::FontInstance& font_;
    bool expandTabs_;
    std::int64_t tabStop_;
};

bool IsSpace(char32_t c) { return c == U' ' || c == U'\t' || c == U'\u3000'; }

// Japanese text has no spaces between words: a line may break next to any CJK character.
bool IsCjk(char32_t c) { return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF); }

bool CanBreakBefore(std::u32string_view s, std::size_t i) {
    if (i == 0 || i >= s.size()) return false;
    if (IsSpace(s[i - 1]) && !IsSpace(s[i])) return true;
    return !IsSpace(s[i]) && (IsCjk(s[i - 1]) || IsCjk(s[i]));
}

TextLine SubLine(const TextLine& line, std::size_t begin, std::size_t end) {
    TextLine out;
    out.text = line.text.substr(begin, end - begin);
    for (std::size_t m : line.marked) {
        if (m >= begin && m < end) out.marked.push_back(m - begin);
    }
    return out;
}

// Word wrapping: greedy, breaking after spaces and around CJK characters. A word wider than the
// rectangle runs past its edge rather than being split.
void WrapInto(const TextLine& line, std::int64_t maxWidth, LineLayout& layout, std::vector<TextLine>& out) {
    const std::u32string_view s = line.text;
    std::size_t start = 0;
    do {
        std::int64_t pen = 0;
        std::int64_t inkedWidth = 0;  // width up to the last non-space character
        std::size_t lastFit = 0;
        std::size_t end = s.size();
        for (std::size_t i = start; i < s.size(); ++i) {
            if (i > start && CanBreakBefore(s, i)) {
                if (inkedWidth > maxWidth) {
                    end = lastFit ? lastFit : i;
                    break;
                }
                lastFit = i;
            }
            pen = layout.Step(pen, s[i]);
            if (!IsSpace(s[i])) inkedWidth = pen;
        }
        if (end == s.size() && inkedWidth > maxWidth && lastFit) end = lastFit;
        std::size_t trimmed = end;
        while (trimmed > start && IsSpace(s[trimmed - 1])) --trimmed;
        out.push_back(SubLine(line, start, trimmed));
        start = end;
        while (start < s.size() && IsSpace(s[start])) ++start;
    } while (start < s.size());
}

std::vector<TextLine> LayOutLines(std::u32string_view text, UINT format, const RECT& rect, LineLayout& layout) {
    const bool prefixes = (format & DT_NOPREFIX) == 0;
    std::vector<TextLine> lines;
    if (format & DT_SINGLELINE) {
        if (!text.empty()) lines.push_back(ProcessPrefixes(text, prefixes));
        return lines;
    }
    const std::int64_t maxWidth = static_cast<std::int64_t>(rect.right) - rect.left;
    for (std::u32string_view piece : SplitAtLineBreaks(text)) {
        TextLine line = ProcessPrefixes(piece, prefixes);
        if (format & DT_WORDBREAK) {
            WrapInto(line, maxWidth, layout, lines);
        } else {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

}  // namespace

HFONT StockSystemFont() {
    // The Japanese system font: the gothic substitute at a 16-pixel cell.
    static const HFONT font = MakeStockFont(16, "System");
    return font;
}

HFONT StockDialogFont() {
    // 9 points at 96 DPI.
    static const HFONT font = MakeStockFont(-12, EncodeCp932(U"ＭＳ Ｐゴシック"));
    return font;
}

int DrawTextU32(HDC hdc, std::u32string_view text, RECT* rect, UINT format) {
    DeviceContext* dc = LookupDC(hdc);
    if (!dc || !rect) return 0;
    fonts::FontInstance* font = SelectedFont(*dc);
    if (!font) return 0;
    const fonts::FontMetrics& metrics = font->Metrics();
    LineLayout layout(*font, (format & DT_EXPANDTABS) != 0);
    const std::vector<TextLine> lines = LayOutLines(text, format, *rect, layout);

    const std::int64_t lineHeight = metrics.height;
    const std::int64_t textHeight = lineHeight * static_cast<std::int64_t>(lines.size());
    if (format & DT_CALCRECT) {
        std::int64_t widest = 0;
        for (const TextLine& line : lines) widest = std::max(widest, layout.Width(line.text));
        rect->right = ClampToLong(static_cast<std::int64_t>(rect->left) + widest);
        rect->bottom = ClampToLong(static_cast<std::int64_t>(rect->top) + textHeight);
        return SaturateToInt(textHeight);
    }

    std::int64_t top = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) {
            top = rect->top + (static_cast<std::int64_t>(rect->bottom) - rect->top - lineHeight) / 2;
        } else if (format & DT_BOTTOM) {
            top = static_cast<std::int64_t>(rect->bottom) - lineHeight;
        }
    }
    const int result = SaturateToInt(top - rect->top + textHeight);
    if (!dc->surface || lines.empty()) return result;

    Region clip = SurfaceClip(*dc);
    if (!(format & DT_NOCLIP)) {
        clip.IntersectWith(RECT{ClampToLong(static_cast<std::int64_t>(rect->left) + dc->originX),
                                ClampToLong(static_cast<std::int64_t>(rect->top) + dc->originY),
                                ClampToLong(static_cast<std::int64_t>(rect->right) + dc->originX),
                                ClampToLong(static_cast<std::int64_t>(rect->bottom) + dc->originY)});
    }
    if (clip.IsEmpty()) return result;
    const Pixel color = PixelFromColorRef(dc->textColor);
    const Pixel background = PixelFromColorRef(dc->bkColor);
    const std::int64_t width = static_cast<std::int64_t>(rect->right) - rect->left;

    for (std::size_t i = 0; i < lines.size(); ++i) {
        // Lines outside the clip cost only their measuring: DrawRun skips them by the face's ink
        // bounds, which glyphs taller than the cell may exceed.
        const std::int64_t lineTop = top + dc->originY + static_cast<std::int64_t>(i) * lineHeight;
        const TextLine& line = lines[i];
        const std::int64_t lineWidth = layout.Width(line.text);
        std::int64_t x = static_cast<std::int64_t>(rect->left) + dc->originX;
        if (format & DT_CENTER) {
            x += (width - lineWidth) / 2;
        } else if (format & DT_RIGHT) {
            x += width - lineWidth;
        }
        if (dc->bkMode == OPAQUE) {
            fonts::FillClipped(*dc->surface, clip, x, lineTop, x + lineWidth, lineTop + lineHeight, background);
        }
        const std::int64_t baseline = lineTop + metrics.ascent;
        layout.Draw(*dc->surface, clip, line.text, x, baseline, color);
        if (format & DT_HIDEPREFIX) continue;
        for (std::size_t marked : line.marked) {
            const std::int64_t left = x + layout.OffsetOf(line.text, marked);
            const std::int64_t right = left + font->Advance(line.text[marked]);
            const std::int64_t markTop = baseline + metrics.underlineOffset;
            fonts::FillClipped(*dc->surface, clip, left, markTop, right, markTop + metrics.underlineThickness, color);
        }
    }
    return result;
}

SIZE MeasureTextU32(HDC hdc, std::u32string_view text) {
    DeviceContext* dc = LookupDC(hdc);
    fonts::FontInstance* font = dc ? SelectedFont(*dc) : nullptr;
    if (!font) return SIZE{};
    return SIZE{font->MeasureRun(text), font->Metrics().height};
}

SIZE MeasureDialogBaseUnits(HFONT hfont) {
    fonts::FontInstance* font = InstanceOf(hfont);
    if (!font) font = InstanceOf(StockSystemFont());
    if (!font) return SIZE{};
    const int letters = font->MeasureRun(U"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return SIZE{(letters / 26 + 1) / 2, font->Metrics().height};
}

}  // namespace platform::gdi

using namespace platform;
using namespace platform::gdi;

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCSTR faceName) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = static_cast<BYTE>(italic);
    lf.lfUnderline = static_cast<BYTE>(underline);
    lf.lfStrikeOut = static_cast<BYTE>(strikeOut);
    lf.lfCharSet = static_cast<BYTE>(charSet);
    lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName) std::memcpy(lf.lfFaceName, faceName, strnlen(faceName, LF_FACESIZE - 1));
    return CreateFontIndirectA(&lf);
}

HFONT CreateFontIndirectA(const LOGFONTA* logfont) {
    if (!logfont) return nullptr;
    std::shared_ptr<fonts::FontInstance> instance = fonts::OpenFont(*logfont);
    if (!instance) return nullptr;
    return AddFontObject(FontObject{*logfont, std::move(instance)});
}

int GetObjectA(HGDIOBJ obj, int size, LPVOID out) {
    FontObject* font = LookupFont(obj);
    if (!font) return 0;
    if (!out) return static_cast<int>(sizeof(LOGFONTA));
    if (size <= 0) return 0;
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), sizeof(LOGFONTA));
    std::memcpy(out, &font->logfont, n);
    return static_cast<int>(n);
}

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* out) {
    DeviceContext* dc = LookupDC(hdc);
    if (!dc || !out) return FALSE;
    fonts::FontInstance* font = SelectedFont(*dc);
    if (!font) return FALSE;
    const fonts::FontMetrics& m = font->Metrics();
    const LOGFONTA& request = font->Request();
    constexpr BYTE kVariablePitch = 0x01;  // TMPF_FIXED_PITCH, whose set bit means "not fixed"
    constexpr BYTE kVector = 0x02;
    constexpr BYTE kTrueType = 0x04;
    *out = TEXTMETRICA{};
    out->tmHeight = m.height;
    out->tmAscent = m.ascent;
    out->tmDescent = m.descent;
    out->tmInternalLeading = m.internalLeading;
    out->tmExternalLeading = m.externalLeading;
    out->tmAveCharWidth = m.aveCharWidth;
    out->tmMaxCharWidth = m.maxCharWidth;
    out->tmWeight = m.weight;
    out->tmDigitizedAspectX = 96;
    out->tmDigitizedAspectY = 96;
    out->tmFirstChar = 0x20;
    out->tmLastChar = 0xFF;
    out->tmDefaultChar = 0x1F;
    out->tmBreakChar = 0x20;
    out->tmItalic = request.lfItalic ? 1 : 0;
    out->tmUnderlined = request.lfUnderline ? 1 : 0;
    out->tmStruckOut = request.lfStrikeOut ? 1 : 0;
    out->tmPitchAndFamily = static_cast<BYTE>(kVariablePitch | kVector | kTrueType | (request.lfPitchAndFamily & 0xF0));
    out->tmCharSet = request.lfCharSet == DEFAULT_CHARSET ? SHIFTJIS_CHARSET : request.lfCharSet;
    return TRUE;
}

int DrawTextA(HDC hdc, LPCSTR text, int length, RECT* rect, UINT format) {
    if (!text) return 0;
    const std::size_t n = length < 0 ? std::strlen(text) : static_cast<std::size_t>(length);
    return DrawTextU32(hdc, DecodeCp932(std::string_view(text, n)), rect, format);
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int length) {
    DeviceContext* dc = LookupDC(hdc);
    if (!dc || length < 0 || (!text && length > 0)) return FALSE;
    fonts::FontInstance* font = SelectedFont(*dc);
    if (!font) return FALSE;
    if (!dc->surface || length == 0) return TRUE;
    const std::u32string decoded = DecodeCp932(std::string_view(text, static_cast<std::size_t>(length)));
    const Region clip = SurfaceClip(*dc);
    const std::int64_t left = static_cast<std::int64_t>(x) + dc->originX;
    const std::int64_t top = static_cast<std::int64_t>(y) + dc->originY;
    if (dc->bkMode == OPAQUE) {
        fonts::FillClipped(*dc->surface, clip, left, top, left + font->MeasureRun(decoded),
                           top + font->Metrics().height, PixelFromColorRef(dc->bkColor));
    }
    font->DrawRun(*dc->surface, clip, left, top + font->Metrics().ascent, decoded, PixelFromColorRef(dc->textColor));
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int length, SIZE* size) {
    if (!size || length < 0 || (!text && length > 0)) return FALSE;
    DeviceContext* dc = LookupDC(hdc);
    if (!dc || !SelectedFont(*dc)) return FALSE;
    *size = MeasureTextU32(hdc, DecodeCp932(std::string_view(text ? text : "", static_cast<std::size_t>(length))));
    return TRUE;
}
