#pragma once

#include "browserlib/api/DocumentRule.h"
#include "browserlib/api/PermissionSettings.h"
#include "browserlib/runtime/engine/EngineView.h"
#include "browserlib/runtime/engine/PermissionPolicy.h"

#include <memory>
#include <string>
#include <vector>

// The browser engine behind every view. "webkit" (WebKitGTK) unless the
// environment variable VELTA_BROWSER_ENGINE says "headless", the in-process
// engine that renders nothing and that tests drive.
class EngineBackend {
public:
    virtual ~EngineBackend() = default;

    static EngineBackend& Get();
    // Which back end the environment selects: "webkit" or "headless".
    static std::string SelectedName();

    virtual std::string Name() const = 0;
    // A new view; `relatedTo` is the opener of a window a page opened.
    virtual std::unique_ptr<EngineView> CreateView(EngineViewClient* client,
                                                   EngineView* relatedTo) = 0;
    virtual bool CanShowMimeType(const std::string& mimeType) = 0;
    // Website data (cookies, cache, storage) of later views goes here.
    virtual void UseProfileDirectory(const std::string& directory) = 0;
    virtual void SetFontSizes(int variable, int fixed) = 0;
    // Navigations to `scheme`, which the engine cannot show, are decided once
    // their frame is known (a page may not use them from a sub-frame unseen).
    virtual void RouteScheme(const std::string& scheme) = 0;
    // Starts the engine's processes for the current profile ahead of the first
    // view, while the caller waits for something else (a server, say).
    virtual void Prewarm() {}
    // A cookie of this run alone for `host` (no other host, path "/", not for
    // scripts, not for other sites' requests), never written to disk.
    virtual void AddSessionCookie(const std::string& host, const std::string& name,
                                  const std::string& value) = 0;
    // The documents every view may request from now on (see DocumentRule). A
    // view that asks for a blocked document in its main frame gets
    // EngineViewClient::OnDecideNavigation again, with its frame known, and no
    // request leaves; a blocked frame inside a page stays empty.
    virtual void SetDocumentRules(const std::vector<DocumentRule>& rules) = 0;
    // The language of the pages the engine shows of its own (a main-frame
    // page that failed to load): "de", else English. Pages are told it is
    // the user's first language, before the desktop's locale.
    virtual void SetInterfaceLanguage(const std::string& language) { m_language = language; }
    const std::string& InterfaceLanguage() const { return m_language; }

    // What pages may be granted (see PermissionSettings), and the answers the
    // user gave, kept with the profile's data for later runs.
    // `applicationOrigin` may be any URL of the application: its origin counts.
    virtual void SetPermissions(const PermissionSettings& settings);
    const PermissionSettings& Permissions() const { return m_permissions; }
    const PermissionPolicy::Answers& PermissionAnswers();
    void KeepPermissionAnswer(const std::string& origin, const std::string& kind, bool allowed);

protected:
    // Where the answers are kept; empty: for this run only.
    virtual std::string PermissionFile() const { return std::string(); }

private:
    std::string m_language;
    PermissionSettings m_permissions;
    PermissionPolicy::Answers m_answers;
    std::string m_answersFrom; // the file m_answers was read from
    bool m_answersRead = false;
};

std::unique_ptr<EngineBackend> CreateWebKitBackend();
std::unique_ptr<EngineBackend> CreateHeadlessBackend();
