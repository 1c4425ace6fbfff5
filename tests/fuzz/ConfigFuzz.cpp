// Fuzz target for the configuration reader: any bytes as app.config.xml, read
// by the host's own loader and looked up for every key it knows.
#include "config/HostConfig.h"
#include "config/XmlDocumentReader.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <wx/xml/xml.h>

namespace {
// HostConfig::Load without the fatal box: a refused file is a normal outcome here.
class FuzzConfig : public HostConfig {
public:
    bool Read(const std::string& text) {
        if (!XmlDocumentReader::ReadText(text, m_document, nullptr))
            return false;
        // The lookups HostConfig::Load makes, on what was read.
        return HostConfig::LoadValues();
    }
};
} // namespace

extern "C" int VeltaConfigFuzzOne(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    FuzzConfig config;
    if (config.Read(text)) {
        wxString url = config.GetStartUrl();
        config.ResolveUrl(url);
        wxString path = config.GetAppDataDirectory();
        config.EnsureTrailingSeparator(path);
    }
    return 0;
}

#ifdef VELTA_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return VeltaConfigFuzzOne(data, size);
}
#endif
