#include "server/ServerOutputText.h"

namespace {
// The length of the valid UTF-8 sequence at `s` (at most `left` bytes), or 0.
size_t SequenceLength(const unsigned char* s, size_t left, wxUint32* codePoint) {
    const unsigned char c = s[0];
    size_t length;
    wxUint32 value;
    wxUint32 least;
    if (c < 0x80) {
        *codePoint = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        length = 2, value = c & 0x1F, least = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3, value = c & 0x0F, least = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4, value = c & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (length > left)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (s[i] & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are no characters.
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *codePoint = value;
    return length;
}
} // namespace

wxString ServerOutputText::Decode(const char* text, size_t length) {
    wxString line;
    if (!text || length == 0)
        return line;
    line.reserve(length);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    for (size_t i = 0; i < length;) {
        wxUint32 codePoint = 0;
        const size_t n = SequenceLength(bytes + i, length - i, &codePoint);
        if (n == 0 || codePoint == 0) {
            line += wxUniChar(0xFFFD);
            i += n == 0 ? 1 : n;
            continue;
        }
        line += wxUniChar(codePoint);
        i += n;
    }
    return line;
}
