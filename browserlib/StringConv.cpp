#include "browserlib/StringConv.h"

#include "browserlib/runtime/xpcom/nsMemory.h"

wxString StringConv::FromUnicode(const PRUnichar* text) {
    return text ? wxString::FromUTF8(nsMemory::ToUTF8(text)) : wxString();
}

std::u16string StringConv::ToUnicode(const wxString& text) {
    return nsMemory::ToUTF16(text.utf8_string());
}

PRUnichar* StringConv::NewUnicode(const wxString& text) {
    return nsMemory::CloneUnicode(ToUnicode(text));
}

wxString StringConv::FromNarrow(const char* text) {
    return text ? wxString::FromUTF8(text) : wxString();
}

std::string StringConv::ToNarrow(const wxString& text) {
    return text.utf8_string();
}
