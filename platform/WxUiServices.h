#pragma once

#include "platform/UiServices.h"

// The toolkit's message boxes and default browser.
class WxUiServices : public UiServices {
public:
    void ShowMessage(const wxString& caption, const wxString& text, Icon icon) override;
    void ShowFailure(const Failure& failure) override;
    bool OpenInDefaultBrowser(const wxString& url) override;
};
