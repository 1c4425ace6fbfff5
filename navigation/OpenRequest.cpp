#include "navigation/OpenRequest.h"

#include "navigation/WebUrl.h"

#include <wx/filename.h>
#include <wx/tokenzr.h>

namespace {
const char* const kSwitches[] = {"-d", "-ignore_server_terminate", "-no_server", "-no_redirect",
                                 "-check_config"};

// "name:" at the start, as RFC 3986 spells a scheme; empty when there is none.
wxString SchemeOf(const wxString& text) {
    const size_t colon = text.find(wxS(':'));
    if (colon == wxString::npos || colon == 0)
        return wxString();
    for (size_t i = 0; i < colon; ++i) {
        const wxUniChar c = text[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!letter && !(i > 0 && other))
            return wxString();
    }
    return text.Left(colon).Lower();
}
} // namespace

std::vector<wxString> OpenRequest::Candidates(const wxArrayString& args, const wxString& cwd) {
    std::vector<wxString> candidates;
    for (size_t i = 1; i < args.size(); ++i) {
        const wxString& arg = args[i];
        bool isSwitch = false;
        for (const char* name : kSwitches)
            isSwitch = isSwitch || arg == name;
        if (isSwitch || arg.empty())
            continue;
        if (SchemeOf(arg).empty() && !arg.StartsWith(wxS("/")) && !arg.StartsWith(wxS("-"))) {
            wxFileName path(arg);
            path.MakeAbsolute(cwd);
            candidates.push_back(path.GetFullPath());
        } else {
            candidates.push_back(arg);
        }
    }
    return candidates;
}

OpenRequest::Verdict OpenRequest::Classify(const wxString& candidate, const wxArrayString& schemes,
                                           const std::function<bool(const wxString&)>& isFile) {
    Verdict verdict;
    if (candidate.StartsWith(wxS("-"))) {
        verdict.why = wxS("not a switch of the host");
        return verdict;
    }
    const wxString scheme = SchemeOf(candidate);
    if (scheme == wxS("file")) {
        // A file manager hands files over as file:// URLs (%U).
        wxString rest = candidate.Mid(5);
        if (rest.StartsWith(wxS("//"))) {
            rest = rest.Mid(2);
            const size_t slash = rest.find(wxS('/'));
            const wxString host = slash == wxString::npos ? rest : rest.Left(slash);
            if (!host.empty() && host != wxS("localhost")) {
                verdict.why = wxS("a file on another machine");
                return verdict;
            }
            rest = slash == wxString::npos ? wxString() : rest.Mid(slash);
        }
        const wxString path = WebUrl::PercentDecoded(rest);
        if (!path.StartsWith(wxS("/")) || !isFile(path)) {
            verdict.why = wxS("no such file");
            return verdict;
        }
        verdict.kind = Kind::File;
        verdict.value = path;
        return verdict;
    }
    if (!scheme.empty() && !candidate.StartsWith(wxS("/"))) {
        if (schemes.Index(scheme) == wxNOT_FOUND) {
            verdict.why = wxString::Format(wxS("scheme '%s' is not one of UrlSchemes"), scheme);
            return verdict;
        }
        verdict.kind = Kind::Url;
        verdict.value = candidate;
        return verdict;
    }
    if (!candidate.StartsWith(wxS("/")) || !isFile(candidate)) {
        verdict.why = wxS("no such file");
        return verdict;
    }
    verdict.kind = Kind::File;
    verdict.value = candidate;
    return verdict;
}

wxString OpenRequest::PercentEncode(const wxString& value) {
    static const char hex[] = "0123456789ABCDEF";
    wxString out;
    const wxScopedCharBuffer bytes = value.utf8_str();
    for (size_t i = 0; i < bytes.length(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes.data()[i]);
        const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

wxString OpenRequest::Expand(const wxString& openUrl, const wxString& value) {
    wxString url = openUrl;
    url.Replace(wxS("VELTA_OPEN_ARG"), PercentEncode(value));
    return url;
}

wxArrayString OpenRequest::SchemeList(const wxString& text) {
    wxArrayString schemes;
    wxStringTokenizer words(text, wxS(" \t\r\n,;"), wxTOKEN_STRTOK);
    while (words.HasMoreTokens()) {
        wxString scheme = words.GetNextToken().Lower();
        if (scheme.EndsWith(wxS(":")))
            scheme.RemoveLast();
        if (!scheme.empty() && schemes.Index(scheme) == wxNOT_FOUND)
            schemes.push_back(scheme);
    }
    return schemes;
}
