#pragma once

#include "config/HostConfig.h"

// The configuration the host instantiates: the server's port goes into every
// configured URL, and two browser-window settings are fixed after each load.
class VELTAAppConfig : public HostConfig {
public:
    ~VELTAAppConfig() override;

    bool Load() override;
    bool Save() override;
    void ResolveUrl(wxString& url) override;
};
