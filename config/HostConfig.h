#pragma once

#include <map>

#include "config/ConfigFindings.h"

#include "config/XmlConfig.h"

// Every value of the host configuration file as a typed field with its default.
class HostConfig : public XmlConfig {
public:
    HostConfig();
    ~HostConfig() override;

    // Reads every key; a file that cannot be read ends the process with the
    // fatal message. Values whose key is missing keep what they had.
    bool Load() override;
    // Writes back the window mode and the main window rectangle only.
    bool Save() override;
    virtual void ResolveUrl(wxString& url);
    virtual void EnsureTrailingSeparator(wxString& path);

    const wxString& GetStartUrl() const { return m_startUrl; }
    const wxString& GetSplashScreenStart() const { return m_splashScreenStart; }
    const wxString& GetSplashScreenEnd() const { return m_splashScreenEnd; }
    const wxString& GetTempDirectory() const { return m_tempDirectory; }
    const wxString& GetJavaHomeDirectory() const { return m_javaHomeDirectory; }
    const wxString& GetClassPath() const { return m_classPath; }
    const wxString& GetPathEnvVar() const { return m_pathEnvVar; }
    const wxString& GetUILanguage() const { return m_uiLanguage; }
    const wxRect& GetMainWindowRect() const { return m_mainWindowRect; }
    const wxRect& GetBrowserWindowRect() const { return m_browserWindowRect; }
    const wxRect& GetSplashWindowRect() const { return m_splashWindowRect; }
    bool IsFullscreen() const { return m_fullscreen; }
    bool IsMainWindowCentered() const { return m_mainWindowCenter; }
    void SetMainWindowCentered(bool centered) { m_mainWindowCenter = centered; }
    // The window comes back where the user left it (MainWindowMode remember).
    bool RemembersWindow() const { return m_rememberWindow; }
    // "engine", "application" (the default) or "none".
    const wxString& GetContextMenu() const { return m_contextMenu; }
    // Reload, back and forward, zoom and find on the keys browsers use.
    bool AreBrowserKeysOn() const { return m_browserKeys; }
    // Full screen covers the screen at its current resolution, no mode switch.
    bool KeepsResolution() const { return m_keepResolution; }
    const wxString& GetAppDataDirectory() const { return m_appDataDirectory; }
    // Where the browser engine keeps this application's cookies, storage and
    // cache; empty: the engine's shared place.
    const wxString& GetBrowserDataDirectory() const { return m_browserDataDirectory; }
    const wxString& GetServerDirectory() const { return m_serverDirectory; }
    const wxString& GetServerStartCommand() const { return m_serverStartCommand; }
    // NAME=value lines for the server's environment, placeholders unexpanded.
    const wxString& GetServerEnvironment() const { return m_serverEnvironment; }
    unsigned GetStartTimeout() const { return m_startTimeout; }
    unsigned GetBasePort() const { return m_basePort; }
    const wxString& GetServerUrl() const { return m_serverUrl; }
    // Milliseconds between the status checks of a start: one second unless
    // the configuration asks for less (a server that is up in a moment).
    unsigned GetStatusCheckIntervalMS() const { return m_statusCheckIntervalMS; }
    static unsigned ClampedCheckInterval(unsigned requestedMs);
    const wxString& GetCommandPrefix() const { return m_commandPrefix; }
    const wxString& GetAppCommandShutdown() const { return m_appCommandShutdown; }
    const wxString& GetBGColor() const { return m_bgColor; }
    unsigned GetRefreshDelayMS() const { return m_refreshDelayMS; }
    const wxString& GetIconUrl() const { return m_iconUrl; }
    bool UseExternalBrowserForExternalUrls() const { return m_useExternalBrowser; }
    const wxString& GetRelativeExternalUrls() const { return m_relativeExternalUrls; }
    // Where the application receives what the desktop asks it to open
    // (VELTA_OPEN_ARG), and which link schemes it takes.
    const wxString& GetOpenUrl() const { return m_openUrl; }
    const wxString& GetUrlSchemes() const { return m_urlSchemes; }
    // The Permissions key's attributes as written: kind -> allow, deny or ask.
    const std::map<wxString, wxString>& GetPermissions() const { return m_permissions; }

    // The four resize options, in this order, as browser frames take them.
    struct ResizeOptions {
        bool enable = false;
        bool sizebrowser = false;
        bool center = true;
        bool scrollbar = true;
    };
    const ResizeOptions& GetResizeOptions() const { return m_resize; }
    bool IsDragDropAllowed() const { return m_dragDropAllowed; }
    bool IsLoggingEnabled() const { return m_loggingEnable; }
    const wxString& GetLoggingFile() const { return m_loggingFile; }
    const wxString& GetLoggingLevel() const { return m_loggingLevel; }

    void SetFullscreen(bool fullscreen) { m_fullscreen = fullscreen; }
    void SetMainWindowRect(const wxRect& rect) { m_mainWindowRect = rect; }
    void SetServerPort(unsigned port) { m_serverPort = port; }
    unsigned GetServerPort() const { return m_serverPort; }
    // This run's secret (VELTA_SERVER_TOKEN), empty until a server is started.
    void SetServerToken(const wxString& token) { m_serverToken = token; }
    const wxString& GetServerToken() const { return m_serverToken; }

    // Reads the file as Load does, without telling the user; false with the
    // reason when it cannot be read.
    bool LoadQuietly(wxString* error);
    // What the loaded file says that the host cannot use.
    std::vector<ConfigFindings::Finding> Findings() const {
        return ConfigFindings::Of(m_document, m_os);
    }

protected:
    // Every key from the document already read.
    bool LoadValues();

    wxString m_startUrl;
    wxString m_splashScreenStart;
    wxString m_splashScreenEnd;
    wxString m_tempDirectory;
    wxString m_javaHomeDirectory;
    wxString m_classPath;
    wxString m_pathEnvVar;
    wxString m_uiLanguage;
    wxRect m_mainWindowRect;
    wxRect m_browserWindowRect;
    wxRect m_splashWindowRect;
    bool m_fullscreen = false;
    bool m_mainWindowCenter = false;
    bool m_rememberWindow = false;
    wxString m_contextMenu = wxS("application");
    bool m_browserKeys = true;
    bool m_keepResolution = false;
    wxString m_appDataDirectory;
    wxString m_browserDataDirectory;
    wxString m_serverDirectory;
    wxString m_serverStartCommand;
    unsigned m_startTimeout = 60;
    unsigned m_basePort = 80;
    unsigned m_serverPort = 80;
    wxString m_serverToken;
    wxString m_serverEnvironment;
    wxString m_serverUrl;
    unsigned m_statusCheckIntervalMS = 1000;
    wxString m_commandPrefix;
    wxString m_appCommandShutdown;
    wxString m_bgColor;
    unsigned m_refreshDelayMS = 200;
    wxString m_iconUrl;
    bool m_useExternalBrowser = true;
    wxString m_relativeExternalUrls;
    wxString m_openUrl;
    wxString m_urlSchemes;
    std::map<wxString, wxString> m_permissions;
    ResizeOptions m_resize;
    bool m_dragDropAllowed = true;
    bool m_loggingEnable = false;
    wxString m_loggingFile;
    wxString m_loggingLevel;
};
