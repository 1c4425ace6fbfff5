#include "config/XmlConfig.h"

#include "config/XmlDocumentReader.h"
#include "platform/PlatformInfo.h"

#include <climits>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/wfstream.h>

XmlConfig::XmlConfig() : m_fileName(wxS("app.config.xml")), m_os(PlatformInfo::Name()) {}

XmlConfig::~XmlConfig() = default;

bool XmlConfig::Load() {
    if (!m_workDir.empty()) {
        wxLogNull quiet;
        wxSetWorkingDirectory(m_workDir);
    }
    wxFileName absolute(m_fileName);
    absolute.MakeAbsolute();
    m_loadError.clear();
    if (!wxFileName::FileExists(m_fileName)) {
        m_loadError = absolute.GetFullPath() + wxS(": no such file");
        return false;
    }
    // White-space nodes are kept so that Save writes the file back as it was.
    wxString error;
    if (!XmlDocumentReader::ReadFile(m_fileName, m_document, &error)) {
        wxLogError(wxS("XmlConfig::Load %s: %s"), m_fileName, error);
        m_loadError = absolute.GetFullPath() + wxS(": ") + error;
        return false;
    }
    return true;
}

bool XmlConfig::Save() {
    if (!m_document.IsOk())
        return false;
    // Written beside the file and renamed over it, so that a failed or
    // interrupted write never leaves a truncated configuration behind.
    const wxString temporary = m_fileName + wxS(".tmp");
    bool written = false;
    {
        wxLogNull quiet;
        wxFileOutputStream out(temporary);
        written = out.IsOk() && m_document.Save(out, -1) && out.Close();
    }
    if (!written || !wxRenameFile(temporary, m_fileName, true)) {
        wxLogNull quiet;
        wxRemoveFile(temporary);
        return false;
    }
    return true;
}

wxXmlNode* XmlConfig::FindNode(wxXmlNode* start, const wxString& key, const wxString& cls,
                               bool recurse) const {
    if (!start)
        return nullptr;
    wxString os;
    if (start->GetName() == wxS("configuration") && start->GetAttribute(wxS("os"), &os) &&
        os != m_os)
        return nullptr;
    for (wxXmlNode* child = start->GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() != wxXML_ELEMENT_NODE)
            continue;
        if (child->GetName() != wxS("object") && child->GetName() != wxS("object_ref"))
            continue;
        wxString name, childClass;
        if (!child->GetAttribute(wxS("name"), &name) || name != key)
            continue;
        if (!child->GetAttribute(wxS("class"), &childClass))
            continue;
        if (cls.empty() || childClass == cls)
            return child;
    }
    if (recurse) {
        for (wxXmlNode* child = start->GetChildren(); child; child = child->GetNext()) {
            if (child->GetType() != wxXML_ELEMENT_NODE)
                continue;
            if (wxXmlNode* found = FindNode(child, key, cls, true))
                return found;
        }
    }
    return nullptr;
}

wxXmlNode* XmlConfig::FindKey(const wxString& key, const wxString& cls) const {
    return m_document.IsOk() ? FindNode(m_document.GetRoot(), key, cls, true) : nullptr;
}

void XmlConfig::ReadValue(const wxString& key, const wxString& cls, wxString& value) const {
    wxXmlNode* node = FindKey(key, cls);
    if (!node)
        return;
    value.clear();
    for (wxXmlNode* child = node->GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() == wxXML_TEXT_NODE || child->GetType() == wxXML_CDATA_SECTION_NODE) {
            value = child->GetContent();
            break;
        }
    }
}

void XmlConfig::ReadRect(const wxString& key, const wxString& cls, wxRect& rect) const {
    wxXmlNode* node = FindKey(key, cls);
    if (!node)
        return;
    auto coordinate = [node](const char* name) {
        return static_cast<int>(ParseSigned(node->GetAttribute(name)));
    };
    rect = wxRect(coordinate("x"), coordinate("y"), coordinate("dx"), coordinate("dy"));
}

void XmlConfig::WriteAttribute(const wxString& key, const wxString& cls, const wxString& attribute,
                               const wxString& value) {
    wxXmlNode* node = FindKey(key, cls);
    if (!node)
        return;
    node->DeleteAttribute(attribute);
    node->AddAttribute(attribute, value);
}

void XmlConfig::WriteRect(const wxString& key, const wxString& cls, const wxRect& rect) {
    WriteAttribute(key, cls, wxS("x"), wxString::Format(wxS("%d"), rect.x));
    WriteAttribute(key, cls, wxS("y"), wxString::Format(wxS("%d"), rect.y));
    WriteAttribute(key, cls, wxS("dx"), wxString::Format(wxS("%d"), rect.width));
    WriteAttribute(key, cls, wxS("dy"), wxString::Format(wxS("%d"), rect.height));
}

namespace {
size_t SkipSpace(const wxString& text) {
    size_t i = 0;
    while (i < text.size() && wxIsspace(text[i]))
        ++i;
    return i;
}
} // namespace

unsigned long XmlConfig::ParseUnsigned(const wxString& text) {
    unsigned long long value = 0;
    for (size_t i = SkipSpace(text); i < text.size() && wxIsdigit(text[i]); ++i) {
        value = value * 10 + (text[i] - wxS('0'));
        if (value > UINT_MAX)
            return UINT_MAX;
    }
    return static_cast<unsigned long>(value);
}

long XmlConfig::ParseSigned(const wxString& text) {
    size_t i = SkipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == wxS('-') || text[i] == wxS('+')))
        negative = text[i++] == wxS('-');
    long long value = 0;
    for (; i < text.size() && wxIsdigit(text[i]); ++i) {
        value = value * 10 + (text[i] - wxS('0'));
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<long>(value);
}
