#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>
#include <wx/xml/xml.h>

// A keyed reader and writer over a parsed XML document. A key is an element
// named "object" or "object_ref" with attributes name=<key> and class=<class>;
// "configuration" elements whose "os" names another platform hide their content.
class XmlConfig {
public:
    XmlConfig();
    virtual ~XmlConfig();

    void SetWorkingDirectory(const wxString& directory) { m_workDir = directory; }
    const wxString& GetWorkingDirectory() const { return m_workDir; }
    void SetFileName(const wxString& fileName) { m_fileName = fileName; }
    const wxString& GetFileName() const { return m_fileName; }

    virtual bool Load();
    virtual bool Save();
    // Why the last Load failed: the missing file, or the parser's words with the line.
    const wxString& GetLoadError() const { return m_loadError; }

    wxXmlNode* FindNode(wxXmlNode* start, const wxString& key, const wxString& cls,
                        bool recurse) const;
    // Looks `key` up from the root element, recursively.
    wxXmlNode* FindKey(const wxString& key, const wxString& cls) const;

    void ReadValue(const wxString& key, const wxString& cls, wxString& value) const;
    void ReadRect(const wxString& key, const wxString& cls, wxRect& rect) const;
    void WriteAttribute(const wxString& key, const wxString& cls, const wxString& attribute,
                        const wxString& value);
    void WriteRect(const wxString& key, const wxString& cls, const wxRect& rect);

    // Number rules of the file: an unsigned value stops at the first non-digit
    // after leading white space (no digits give 0, too large saturates); a signed
    // value may carry one sign.
    static unsigned long ParseUnsigned(const wxString& text);
    static long ParseSigned(const wxString& text);

protected:
    wxXmlDocument m_document;
    wxString m_fileName;
    wxString m_os;
    wxString m_workDir;
    wxString m_loadError;
};
