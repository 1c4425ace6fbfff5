#pragma once

#include "browserlib/runtime/xpcom/nsCore.h"

#include <string>

// Allocation of strings handed across interfaces: whoever receives one owns it
// and frees it with nsMemory::Free.
class nsMemory {
public:
    static void* Alloc(size_t size);
    static void Free(void* p);
    static char* CloneString(const std::string& text);
    static PRUnichar* CloneUnicode(const std::u16string& text);

    // UTF-8 and UTF-16 conversions; invalid input is replaced, never dropped silently.
    static std::u16string ToUTF16(const std::string& utf8);
    static std::string ToUTF8(const std::u16string& utf16);
    static std::u16string FromUnicode(const PRUnichar* text); // null gives empty
};
