#include "base/codepage.h"

#include "base/error.h"

#include <cerrno>
#include <iconv.h>

namespace kavio::cp932 {
namespace {

bool IsAscii(std::string_view text)
{
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

// One converter per direction and thread; iconv_open is far too slow to call per string.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw EKavioError(std::string("文字コード変換を準備できません: ") + from + " → " + to);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; returns false at an invalid or unconvertible sequence,
    // leaving `in`/`left` at it.
    bool Run(const char*& in, size_t& left, std::string& out)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[4096];
        while (left > 0) {
            char* dst = buffer;
            size_t room = sizeof buffer;
            size_t rc = iconv(m_cd, const_cast<char**>(&in), &left, &dst, &room);
            out.append(buffer, dst - buffer);
            if (rc != static_cast<size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            return false;  // EILSEQ or EINVAL (truncated sequence at the end)
        }
        return true;
    }

private:
    iconv_t m_cd;
};

Converter& Decoder()
{
    thread_local Converter decoder("UTF-8", "CP932");
    return decoder;
}

Converter& Encoder()
{
    thread_local Converter encoder("CP932", "UTF-8");
    return encoder;
}

// Length of the UTF-8 sequence at in[0] and its code point; an invalid byte counts as one
// byte of U+FFFD.
size_t DecodeUtf8(const char* in, size_t left, char32_t& cp)
{
    auto c = static_cast<unsigned char>(in[0]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || len > left) {
        cp = 0xFFFD;
        return 1;
    }
    cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (size_t i = 1; i < len; ++i) {
        auto t = static_cast<unsigned char>(in[i]);
        if ((t & 0xC0) != 0x80) {
            cp = 0xFFFD;
            return 1;
        }
        cp = (cp << 6) | (t & 0x3F);
    }
    return len;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string ToUtf8(std::string_view bytes)
{
    if (IsAscii(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    const char* in = bytes.data();
    size_t left = bytes.size();
    while (!Decoder().Run(in, left, out)) {
        AppendUtf8(out, 0xFFFD);  // one undefined byte; what follows is decoded on its own
        ++in;
        --left;
    }
    return out;
}

EncodeResult FromUtf8(std::string_view utf8)
{
    EncodeResult result;
    if (IsAscii(utf8)) {
        result.bytes = std::string(utf8);
        return result;
    }
    result.bytes.reserve(utf8.size());
    const char* in = utf8.data();
    size_t left = utf8.size();
    while (!Encoder().Run(in, left, result.bytes)) {
        char32_t cp = 0;
        size_t len = DecodeUtf8(in, left, cp);
        result.unencodable.push_back(cp);
        result.bytes += '?';
        in += len;
        left -= len;
    }
    return result;
}

std::string FromUtf8Strict(std::string_view utf8)
{
    EncodeResult result = FromUtf8(utf8);
    if (!result.ok()) {
        std::string ch;
        AppendUtf8(ch, result.unencodable.front());
        throw EKavioError("文字「" + ch + "」はシフトJISで保存できません。");
    }
    return std::move(result.bytes);
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (size_t i = 0; i < a.size();) {
        const size_t len = CharLength(a, i);
        if (len == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
        } else if (upper(a[i]) != upper(b[i])) {
            return false;
        }
        i += len;
    }
    return true;
}

bool IsValid(std::string_view bytes)
{
    if (IsAscii(bytes))
        return true;
    std::string out;
    const char* in = bytes.data();
    size_t left = bytes.size();
    return Decoder().Run(in, left, out);
}

}  // namespace kavio::cp932

namespace kavio {

std::string operator""_sj(const char* text, size_t length)
{
    return cp932::FromUtf8Strict(std::string_view(text, length));
}

}  // namespace kavio
