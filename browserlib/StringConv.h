#pragma once

#include "browserlib/runtime/xpcom/nsCore.h"

#include <string>
#include <wx/string.h>

// Strings across the library's boundary: the toolkit's wide strings, the
// engine's UTF-16 and UTF-8 strings.
class StringConv {
public:
    static wxString FromUnicode(const PRUnichar* text); // null gives empty
    static std::u16string ToUnicode(const wxString& text);
    static PRUnichar* NewUnicode(const wxString& text); // freed with nsMemory::Free
    static wxString FromNarrow(const char* text);       // UTF-8; null gives empty
    static std::string ToNarrow(const wxString& text);  // UTF-8
};
