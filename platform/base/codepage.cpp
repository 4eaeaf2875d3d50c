#include "platform/base/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace platform {

namespace {

constexpr char32_t kCp932DefaultChar = 0x30FB;
constexpr char32_t kReplacement = 0xFFFD;

// One conversion descriptor per direction, opened on first use and kept: opening costs far more
// than converting a box's text.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; returns the number of input bytes consumed before an error
    // (or all of them), appending the output to `out`.
    size_t Run(const char* in, size_t inLen, std::vector<char>& out, bool& invalid) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in);
        size_t inLeft = inLen;
        invalid = false;
        while (inLeft > 0) {
            char buffer[1024];
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.insert(out.end(), buffer, outPtr);
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG) continue;
                invalid = true;
                break;
            }
        }
        return inLen - inLeft;
    }

private:
    iconv_t cd_;
};

Converter& Cp932Decoder() {
    static Converter c("UTF-32LE", "CP932");
    return c;
}

Converter& Cp932Encoder() {
    static Converter c("CP932", "UTF-32LE");
    return c;
}

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

void AppendUtf32Le(const std::vector<char>& bytes, std::u32string& out) {
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        char32_t c = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                     (static_cast<unsigned char>(bytes[i + 2]) << 16) |
                     (static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 3])) << 24);
        out.push_back(c);
    }
}

}  // namespace

std::u32string DecodeCp932(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    Converter& conv = Cp932Decoder();
    size_t pos = 0;
    std::vector<char> buffer;
    while (pos < bytes.size()) {
        // ASCII needs no conversion and is most of what the boxes hold.
        unsigned char b = static_cast<unsigned char>(bytes[pos]);
        if (b < 0x80) {
            out.push_back(b);
            ++pos;
            continue;
        }
        size_t end = pos;
        while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) >= 0x80) {
            end += IsLeadByte(static_cast<unsigned char>(bytes[end])) ? 2 : 1;
        }
        if (end > bytes.size()) end = bytes.size();
        bool invalid = false;
        buffer.clear();
        size_t used = conv.Ok() ? conv.Run(bytes.data() + pos, end - pos, buffer, invalid) : 0;
        AppendUtf32Le(buffer, out);
        pos += used;
        if (pos < end) {
            // An undefined byte or pair: skip it as the code page would (a lead byte with a trail).
            bool pair = IsLeadByte(static_cast<unsigned char>(bytes[pos])) && pos + 1 < bytes.size() &&
                        static_cast<unsigned char>(bytes[pos + 1]) >= 0x40;
            out.push_back(kCp932DefaultChar);
            pos += pair ? 2 : 1;
        }
    }
    return out;
}

std::string EncodeCp932(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    Converter& conv = Cp932Encoder();
    std::vector<char> buffer;
    char unit[4];
    for (char32_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        unit[0] = static_cast<char>(c & 0xFF);
        unit[1] = static_cast<char>((c >> 8) & 0xFF);
        unit[2] = static_cast<char>((c >> 16) & 0xFF);
        unit[3] = static_cast<char>((c >> 24) & 0xFF);
        bool invalid = false;
        buffer.clear();
        size_t used = conv.Ok() ? conv.Run(unit, 4, buffer, invalid) : 0;
        if (used == 4 && !buffer.empty()) {
            out.append(buffer.begin(), buffer.end());
        } else {
            out.push_back('?');
        }
    }
    return out;
}

int Cp932Length(char32_t c) {
    if (c < 0x80) return 1;
    std::string s = EncodeCp932(std::u32string_view(&c, 1));
    return static_cast<int>(s.size());
}

std::u32string DecodeUtf8(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        unsigned char b0 = static_cast<unsigned char>(s[i]);
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        int len = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if ((b0 & 0xE0) == 0xC0) {
            len = 2;
            cp = b0 & 0x1F;
            min = 0x80;
        } else if ((b0 & 0xF0) == 0xE0) {
            len = 3;
            cp = b0 & 0x0F;
            min = 0x800;
        } else if ((b0 & 0xF8) == 0xF0) {
            len = 4;
            cp = b0 & 0x07;
            min = 0x10000;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        int k = 1;
        for (; k < len; ++k) {
            if (i + static_cast<size_t>(k) >= n) break;
            unsigned char b = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
            if ((b & 0xC0) != 0x80) break;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (k < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(kReplacement);
            i += static_cast<size_t>(k < len ? k : len);
            continue;
        }
        out.push_back(cp);
        i += static_cast<size_t>(len);
    }
    return out;
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

}  // namespace platform
