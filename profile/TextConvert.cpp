#include "profile/TextConvert.h"

#include <cstdint>
#include <type_traits>

namespace q9 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isScalar(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

// One code point from s[i...]; advances i past it, or by one byte when the sequence is invalid
// (overlong, surrogate, above U+10FFFF, cut short).
char32_t decodeOne(std::string_view s, size_t& i)
{
    const auto b0 = uint8_t(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    size_t len;
    char32_t c;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) { len = 2; c = b0 & 0x1F; min = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { len = 3; c = b0 & 0x0F; min = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { len = 4; c = b0 & 0x07; min = 0x10000; }
    else { ++i; return kReplacement; }
    if (i + len > s.size()) {
        ++i;
        return kReplacement;
    }
    for (size_t k = 1; k < len; ++k) {
        const auto b = uint8_t(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < min || !isScalar(c)) {
        ++i;
        return kReplacement;
    }
    i += len;
    return c;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

std::wstring Utf8ToWide(std::string_view bytes)
{
    std::wstring out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const char32_t c = decodeOne(bytes, i);
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0x10000) {
                out += wchar_t(0xD800 + ((c - 0x10000) >> 10));
                out += wchar_t(0xDC00 + ((c - 0x10000) & 0x3FF));
                continue;
            }
        }
        out += wchar_t(c);
    }
    return out;
}

std::string WideToUtf8(std::wstring_view wide)
{
    std::string out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        auto c = char32_t(std::make_unsigned_t<wchar_t>(wide[i]));
        if constexpr (sizeof(wchar_t) == 2) {
            // A surrogate pair on UTF-16 platforms; a lone half is invalid.
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
                const auto low = char32_t(std::make_unsigned_t<wchar_t>(wide[i + 1]));
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
        }
        appendUtf8(out, isScalar(c) ? c : kReplacement);
    }
    return out;
}

std::filesystem::path ToFsPath(const std::wstring& path)
{
#ifdef _WIN32
    return std::filesystem::path(path);
#else
    return std::filesystem::path(WideToUtf8(path));
#endif
}

std::wstring FromFsPath(const std::filesystem::path& path)
{
#ifdef _WIN32
    return path.wstring();
#else
    return Utf8ToWide(path.string());
#endif
}

} // namespace q9
