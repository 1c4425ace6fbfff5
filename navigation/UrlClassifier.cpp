#include "navigation/UrlClassifier.h"

#include "navigation/WebUrl.h"

#include <cstring>

bool UrlClassifier::IsCommand(const wxString& url, const wxString& prefix) {
    return !prefix.empty() && url.Lower().StartsWith(prefix);
}

UrlClassifier::Command UrlClassifier::CommandOf(const wxString& url, const wxString& prefix) {
    if (!IsCommand(url, prefix))
        return Command::None;
    const wxString command = url.Mid(prefix.length()).Lower();
    if (command.StartsWith(wxS("fullscreen")))
        return Command::Fullscreen;
    if (command.StartsWith(wxS("windowmode")))
        return Command::Windowmode;
    if (command.StartsWith(wxS("quit")))
        return Command::Quit;
    return Command::Unknown;
}

wxString UrlClassifier::WithoutDefaultPort(const wxString& url) {
    const wxString lower = url.Lower();
    wxString port;
    size_t hostStart = 0;
    if (lower.StartsWith(wxS("http://"))) {
        port = wxS(":80");
        hostStart = 7;
    } else if (lower.StartsWith(wxS("https://"))) {
        port = wxS(":443");
        hostStart = 8;
    } else {
        return url;
    }
    const size_t hostEnd = url.find_first_of(wxS("/?#"), hostStart);
    const wxString authority =
        url.substr(hostStart, hostEnd == wxString::npos ? wxString::npos : hostEnd - hostStart);
    if (!authority.EndsWith(port))
        return url;
    return url.substr(0, hostStart) + authority.substr(0, authority.length() - port.length()) +
           (hostEnd == wxString::npos ? wxString() : url.substr(hostEnd));
}

bool UrlClassifier::IsExternalCandidate(const wxString& url, const wxString& startUrl) {
    const wxString lower = url.Lower();
    if (!lower.StartsWith(wxS("http://")) && !lower.StartsWith(wxS("https://")))
        return false;
    return lower != startUrl.Lower();
}

bool UrlClassifier::DiffersFromStart(const wxString& url, const wxString& startUrl) {
    return !OnStartHost(url, startUrl);
}

bool UrlClassifier::OnStartHost(const wxString& url, const wxString& startUrl) {
    const WebUrl address(url), start(startUrl);
    return address.IsWeb() && start.IsWeb() && address.Host() == start.Host();
}

bool UrlClassifier::EngineShowsScheme(const wxString& scheme) {
    static const char* const shown[] = {"http", "https", "file",       "about",
                                        "data", "blob",  "javascript", "view-source"};
    for (const char* name : shown)
        if (scheme == name)
            return true;
    return false;
}

wxString UrlClassifier::ForDesktop(const wxString& url) {
    const wxString text = url.Strip(wxString::both);
    if (WebUrl::SchemeOf(text).empty())
        return wxString();
    static const char* const hex = "0123456789ABCDEF";
    wxString out;
    const wxScopedCharBuffer utf8 = text.utf8_str();
    for (size_t i = 0; i < utf8.length(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8.data()[i]);
        if (c <= ' ' || c >= 0x7f || std::strchr("\"'`<>\\^{}|", c)) {
            out << '%' << hex[c >> 4] << hex[c & 15];
        } else {
            out << static_cast<char>(c);
        }
    }
    return out;
}

wxArrayString UrlClassifier::RelativeExternalTokens(const wxString& list) {
    wxArrayString tokens;
    size_t start = 0;
    while (start < list.length()) {
        const size_t separator = list.find(wxS(';'), start);
        if (separator == wxString::npos) {
            tokens.push_back(list.substr(start));
            break;
        }
        tokens.push_back(list.substr(start, separator - start));
        start = separator + 1;
    }
    return tokens;
}

wxString UrlClassifier::MatchingRelativeExternal(const wxString& startUrl, const wxString& url,
                                                 const wxString& list) {
    const wxString lowerUrl = url.Lower();
    for (const wxString& token : RelativeExternalTokens(list)) {
        const wxString testUrl = startUrl + token;
        // As written, or as the engine writes it (a space as %20).
        if (lowerUrl.StartsWith(testUrl.Lower()) ||
            lowerUrl.StartsWith(ForDesktop(testUrl).Lower()))
            return testUrl;
    }
    return wxString();
}
