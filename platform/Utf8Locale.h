#pragma once

// Character conversion for the whole process: the locale comes from the
// environment, but the multibyte encoding is always UTF-8, so German texts and
// non-ASCII paths survive even under the C or POSIX locale.
class Utf8Locale {
public:
    static void Setup();
    // Whether the C library's current multibyte encoding is UTF-8.
    static bool IsUtf8();
};
