// Fuzz target for the URL filter's rules: the bytes are split into a URL, a
// start URL, a command prefix and a list of relative external paths.
#include "navigation/UrlClassifier.h"
#include "navigation/WebUrl.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int VeltaUrlFuzzOne(const uint8_t* data, size_t size) {
    std::vector<wxString> parts;
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n' && parts.size() < 3) {
            parts.push_back(wxString::FromUTF8(current));
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    parts.push_back(wxString::FromUTF8(current));
    parts.resize(4);
    const wxString& url = parts[0];
    const wxString& start = parts[1];
    UrlClassifier::CommandOf(url, parts[2]);
    const wxString address = UrlClassifier::WithoutDefaultPort(url);
    const wxString startUrl = UrlClassifier::WithoutDefaultPort(start);
    if (UrlClassifier::IsExternalCandidate(address, startUrl))
        UrlClassifier::DiffersFromStart(address, startUrl);
    const wxString handed = UrlClassifier::ForDesktop(url);
    for (const wxUniChar c : handed)
        if (c <= ' ' || c >= 0x7f || c == '"' || c == '\'')
            __builtin_trap();
    const WebUrl parsed(url);
    if (parsed.IsWeb() && parsed.Host().empty())
        __builtin_trap();
    UrlClassifier::MatchingRelativeExternal(startUrl, address, parts[3]);
    return 0;
}

#ifdef VELTA_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return VeltaUrlFuzzOne(data, size);
}
#endif
