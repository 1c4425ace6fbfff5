#include "browserlib/api/wxHtmlCtrl.h"

#include "browserlib/MozillaFacade.h"
#include "browserlib/api/BrowserFrameOptions.h"
#include "browserlib/api/IMozillaHost.h"
#include "browserlib/frame/CBrowserFrame.h"
#include "browserlib/frame/WindowPlacement.h"
#include "browserlib/profile/winEmbedFileLocProvider.h"
#include "browserlib/runtime/engine/EngineBackend.h"
#include "browserlib/services/CPromptService.h"
#include "config/HostConfig.h"

#include <wx/app.h>
#include <wx/log.h>

ZeroHost* ZeroHost::Get() {
    static ZeroHost host;
    return &host;
}

void wxHtmlCtrl::SetProfileRoot(const wxString& directory) {
    winEmbedFileLocProvider::SetProfileRoot(std::string(directory.fn_str()));
}

void wxHtmlCtrl::EndPageDialogs() {
    CPromptService::EndAllDialogs();
}

void wxHtmlCtrl::RouteScheme(const wxString& scheme) {
    EngineBackend::Get().RouteScheme(std::string(scheme.Lower().utf8_str()));
}

void wxHtmlCtrl::Prewarm() {
    if (MozillaFacade::Existing())
        EngineBackend::Get().Prewarm();
}

void wxHtmlCtrl::AddSessionCookie(const wxString& host, const wxString& name,
                                  const wxString& value) {
    EngineBackend::Get().AddSessionCookie(std::string(host.Lower().utf8_str()),
                                          std::string(name.utf8_str()),
                                          std::string(value.utf8_str()));
}

void wxHtmlCtrl::KeepDocumentsTo(const std::vector<DocumentRule>& rules) {
    EngineBackend::Get().SetDocumentRules(rules);
}

void wxHtmlCtrl::SetInterfaceLanguage(const wxString& language) {
    EngineBackend::Get().SetInterfaceLanguage(std::string(language.utf8_str()));
}

void wxHtmlCtrl::SetPermissions(const PermissionSettings& settings) {
    EngineBackend::Get().SetPermissions(settings);
}

bool wxHtmlCtrl::OnInit() {
    CPromptService::AllowDialogs();
    return MozillaFacade::GetFacade() != nullptr;
}

bool wxHtmlCtrl::OnExit() {
    MozillaFacade* facade = MozillaFacade::Existing();
    if (!facade)
        return false;
    const bool result = facade->OnExit();
    MozillaFacade::DeleteFacade();
    return result;
}

wxHtmlCtrl* wxHtmlCtrl::createHostedBrowser(wxApp* app, wxWindow* parent, const wxString& name,
                                            HostConfig* config, IMozillaHost* host) {
    MozillaFacade* facade = MozillaFacade::GetFacade();
    if (!facade)
        return nullptr;
    facade->SetHostConfig(config);
    BrowserFrameOptions params;
    params.name = name;
    if (config) {
        wxRect rect = config->GetMainWindowRect();
        if (rect.width <= 0 || rect.height <= 0) {
            // No size configured: a window the user can see, in the middle.
            const wxRect area = WindowPlacement::WorkAreaAround(wxRect(rect.x, rect.y, 1, 1));
            rect = WindowPlacement::Centred(WindowPlacement::DefaultSize(area), area);
            wxLogMessage(wxS("wxHtmlCtrl::createHostedBrowser no window size configured: %dx%d"),
                         rect.width, rect.height);
        }
        params.x = rect.x;
        params.y = rect.y;
        params.width = rect.width;
        params.height = rect.height;
        const HostConfig::ResizeOptions& resize = config->GetResizeOptions();
        params.resizable = resize.enable;
        params.sizebrowser = resize.sizebrowser;
        params.center = resize.center;
        params.scrollbar = resize.scrollbar;
    }
    CBrowserFrame* frame =
        parent ? facade->CreateHostedBrowserFrame(parent, host, params)
               : facade->CreateNewBrowserFrame(app ? app->GetTopWindow() : nullptr, host, params);
    return frame;
}

wxHtmlCtrl* wxHtmlCtrl::createEmbeddedBrowser(wxApp*, wxWindow* parent, const wxString&,
                                              HostConfig*, IMozillaHost* host) {
    if (!parent) {
        wxLogError(wxS("wxHtmlCtrl::createEmbeddedBrowser: No parent window! Cannot embed."));
        return nullptr;
    }
    MozillaFacade* facade = MozillaFacade::GetFacade();
    BrowserFrameOptions params;
    return facade ? facade->CreateEmbeddedBrowserFrame(parent, host, params) : nullptr;
}

void wxHtmlCtrl::AskEveryPageToClose(std::function<void(bool mayClose)> done) {
    if (MozillaFacade* facade = MozillaFacade::Existing())
        facade->AskEveryPageToClose(std::move(done));
    else
        done(true);
}

const BrowserFrameList& wxHtmlCtrl::GetFrameList() {
    static const BrowserFrameList empty;
    MozillaFacade* facade = MozillaFacade::Existing();
    return facade ? facade->Frames() : empty;
}
