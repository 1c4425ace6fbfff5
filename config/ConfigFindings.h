#pragma once

#include <vector>
#include <wx/arrstr.h>
#include <wx/string.h>
#include <wx/xml/xml.h>

// What a configuration says that the host cannot use: keys, attributes and
// classes it does not know, and values it reads as something else. Sections
// of other systems are not read. Nothing for a correct file.
class ConfigFindings {
public:
    struct Finding {
        int line = 0;
        wxString text; // "StartURL: unknown key; did you mean StartUrl?"
    };

    // `os` names this system, as "configuration" sections name theirs.
    static std::vector<Finding> Of(const wxXmlDocument& document, const wxString& os);
    // The known name `word` was most likely meant to be (case ignored, at most
    // a third of its letters off), or empty.
    static wxString Nearest(const wxString& word, const wxArrayString& known);
    // "app.config.xml:3: StartURL: unknown key; did you mean StartUrl?"
    static wxString Format(const wxString& file, const Finding& finding);
};
