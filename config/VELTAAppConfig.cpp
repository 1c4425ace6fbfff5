#include "config/VELTAAppConfig.h"

VELTAAppConfig::~VELTAAppConfig() = default;

bool VELTAAppConfig::Load() {
    const bool loaded = HostConfig::Load();
    if (loaded) {
        m_resize.sizebrowser = false;
        m_dragDropAllowed = false;
    }
    return loaded;
}

bool VELTAAppConfig::Save() {
    return HostConfig::Save();
}

void VELTAAppConfig::ResolveUrl(wxString& url) {
    HostConfig::ResolveUrl(url);
    url.Replace(wxS("VELTA_SERVER_PORT"),
                wxString::Format(wxS("%d"), static_cast<int>(m_serverPort)));
    if (!m_serverToken.empty())
        url.Replace(wxS("VELTA_SERVER_TOKEN"), m_serverToken);
}
