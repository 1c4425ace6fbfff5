#include "platform/Utf8Locale.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>

bool Utf8Locale::IsUtf8() {
    const char* codeset = nl_langinfo(CODESET);
    return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

void Utf8Locale::Setup() {
    std::setlocale(LC_ALL, "");
    if (IsUtf8())
        return;
    // Keep the user's messages and formats, but convert characters as UTF-8.
    if (!std::setlocale(LC_CTYPE, "C.UTF-8"))
        std::setlocale(LC_CTYPE, "C.utf8");
}
