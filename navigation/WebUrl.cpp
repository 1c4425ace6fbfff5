#include "navigation/WebUrl.h"

namespace {
int HexValue(wxUniChar c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

wxString WebUrl::PercentDecoded(const wxString& text) {
    if (text.find('%') == wxString::npos)
        return text;
    std::string bytes;
    const wxScopedCharBuffer utf8 = text.utf8_str();
    const char* p = utf8.data();
    const size_t n = utf8.length();
    for (size_t i = 0; i < n; ++i) {
        if (p[i] == '%' && i + 2 < n) {
            const int high = HexValue(p[i + 1]), low = HexValue(p[i + 2]);
            if (high >= 0 && low >= 0) {
                bytes.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        bytes.push_back(p[i]);
    }
    const wxString decoded = wxString::FromUTF8(bytes.data(), bytes.size());
    // Bytes that are no UTF-8 still name some other host than any readable one.
    return decoded.empty() && !bytes.empty() ? text : decoded;
}

wxString WebUrl::SchemeOf(const wxString& url) {
    const wxString text = url.Strip(wxString::both);
    for (size_t i = 0; i < text.length(); ++i) {
        const wxUniChar c = text[i];
        if (c == ':')
            return i == 0 ? wxString() : text.substr(0, i).Lower();
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!letter && !(i > 0 && other))
            return wxString();
    }
    return wxString();
}

int WebUrl::DefaultPort(const wxString& scheme) {
    if (scheme == wxS("http"))
        return 80;
    if (scheme == wxS("https"))
        return 443;
    return -1;
}

WebUrl::WebUrl(const wxString& url) {
    const wxString text = url.Strip(wxString::both);
    m_scheme = SchemeOf(text);
    if (m_scheme != wxS("http") && m_scheme != wxS("https"))
        return;
    // Browsers read a backslash as a slash in web URLs, and skip any number of them.
    size_t start = m_scheme.length() + 1;
    while (start < text.length() && (text[start] == '/' || text[start] == '\\'))
        ++start;
    size_t end = start;
    while (end < text.length() && wxString(wxS("/\\?#")).find(text[end]) == wxString::npos)
        ++end;
    wxString authority = text.substr(start, end - start);
    const size_t at = authority.rfind('@');
    if (at != wxString::npos)
        authority = authority.substr(at + 1);
    wxString port;
    if (authority.StartsWith(wxS("["))) {
        const size_t close = authority.find(']');
        if (close == wxString::npos)
            return;
        m_host = authority.substr(0, close + 1);
        const wxString rest = authority.substr(close + 1);
        if (!rest.empty() && !rest.StartsWith(wxS(":")))
            return;
        port = rest.Mid(1);
    } else {
        const size_t colon = authority.rfind(':');
        m_host = authority.substr(0, colon);
        if (colon != wxString::npos)
            port = authority.substr(colon + 1);
    }
    m_host = PercentDecoded(m_host).Lower();
    if (m_host.EndsWith(wxS(".")))
        m_host.RemoveLast();
    if (m_host.empty())
        return;
    if (port.empty()) {
        m_port = DefaultPort(m_scheme);
    } else {
        long value = 0;
        for (const wxUniChar c : port)
            value = value <= 65535 && c >= '0' && c <= '9' ? value * 10 + (c - '0') : 65536;
        m_port = value <= 65535 ? static_cast<int>(value) : -1;
    }
    m_web = true;
}
