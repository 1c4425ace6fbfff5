#include "server/ServerToken.h"

#include <cerrno>
#include <sys/random.h>

std::string ServerToken::Encode(const unsigned char* bytes, size_t count) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string text;
    text.reserve((count * 4 + 2) / 3);
    for (size_t i = 0; i < count; i += 3) {
        const unsigned long group =
            (static_cast<unsigned long>(bytes[i]) << 16) |
            (i + 1 < count ? static_cast<unsigned long>(bytes[i + 1]) << 8 : 0) |
            (i + 2 < count ? bytes[i + 2] : 0);
        text += kAlphabet[(group >> 18) & 63];
        text += kAlphabet[(group >> 12) & 63];
        if (i + 1 < count)
            text += kAlphabet[(group >> 6) & 63];
        if (i + 2 < count)
            text += kAlphabet[group & 63];
    }
    return text;
}

std::string ServerToken::Generate() {
    unsigned char bytes[32];
    size_t have = 0;
    while (have < sizeof(bytes)) {
        const ssize_t n = getrandom(bytes + have, sizeof(bytes) - have, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return std::string();
        have += static_cast<size_t>(n);
    }
    return Encode(bytes, sizeof(bytes));
}
