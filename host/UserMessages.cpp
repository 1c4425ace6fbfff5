#include "host/UserMessages.h"

bool UserMessages::IsGerman(const wxString& uiLanguage) {
    return uiLanguage.Lower() == wxS("de");
}

wxString UserMessages::Pick(const wxString& uiLanguage, const wxString& german,
                            const wxString& english) {
    return IsGerman(uiLanguage) ? german : english;
}

wxString UserMessages::FatalCaption(const wxString& uiLanguage) {
    return Pick(uiLanguage, wxS("Fehler"), wxS("Fatal error"));
}
