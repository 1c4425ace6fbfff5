#pragma once

#include <wx/string.h>

// The interface-language rule of user messages: German for "de" in any letter
// case, English for everything else.
class UserMessages {
public:
    static bool IsGerman(const wxString& uiLanguage);
    static wxString Pick(const wxString& uiLanguage, const wxString& german,
                         const wxString& english);
    // Caption of every fatal box: "Fehler" or "Fatal error".
    static wxString FatalCaption(const wxString& uiLanguage);
};
