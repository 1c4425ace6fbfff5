#include "config/HostConfig.h"

#include "config/ConfigFindings.h"
#include "config/XmlDocumentReader.h"
#include "host/FatalError.h"
#include "host/UserMessages.h"
#include "platform/PlatformInfo.h"

#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/log.h>

#include <algorithm>

namespace {
const wxString kClass = wxS("configuration");

bool IsTrue(const wxString& value) {
    return value.Lower() == wxS("true");
}

void ReadNumber(const wxXmlNode* node, const char* attribute, unsigned& field) {
    const unsigned long value = XmlConfig::ParseUnsigned(node->GetAttribute(attribute));
    if (value > 0)
        field = static_cast<unsigned>(value);
}
} // namespace

unsigned HostConfig::ClampedCheckInterval(unsigned requestedMs) {
    // Faster than 50 ms would only keep the loop busy; slower than the
    // one second of the default would wait longer than any host before.
    const unsigned clamped = std::min(1000u, std::max(50u, requestedMs));
    if (clamped != requestedMs)
        wxLogWarning(wxS("HostConfig::Load ServerUrl intervalMS=\"%u\" is outside 50 to 1000: %u"),
                     requestedMs, clamped);
    return clamped;
}

HostConfig::HostConfig() : m_bgColor(wxS("BLACK")) {
    m_appDataDirectory = wxS(".");
    // Not the virtual call: this object is not complete yet.
    HostConfig::EnsureTrailingSeparator(m_appDataDirectory);
}

HostConfig::~HostConfig() = default;

bool HostConfig::Load() {
    if (!XmlConfig::Load()) {
        wxLogError(wxS("HostConfig::Load: Could not read host configuration!"));
        ShowFatalError(UserMessages::FatalCaption(m_uiLanguage),
                       UserMessages::Pick(m_uiLanguage,
                                          wxS("Die Datei zur Programmkonfiguration konnte nicht "
                                              "gelesen werden."),
                                          wxS("Could not read the configuration file.")),
                       GetLoadError());
    }
    return LoadValues();
}

bool HostConfig::LoadQuietly(wxString* error) {
    if (!m_workDir.empty())
        wxSetWorkingDirectory(m_workDir);
    if (!wxFileName::FileExists(m_fileName)) {
        *error = wxS("no such file");
        return false;
    }
    if (!XmlDocumentReader::ReadFile(m_fileName, m_document, error))
        return false;
    return LoadValues();
}

bool HostConfig::LoadValues() {
    ReadValue(wxS("StartUrl"), kClass, m_startUrl);
    ReadValue(wxS("TempDirectory"), kClass, m_tempDirectory);
    ReadValue(wxS("JavaHomeDirectory"), kClass, m_javaHomeDirectory);
    ReadValue(wxS("PathEnvVar"), kClass, m_pathEnvVar);
    ReadValue(wxS("SplashScreenStart"), kClass, m_splashScreenStart);
    ReadValue(wxS("SplashScreenEnd"), kClass, m_splashScreenEnd);
    ReadValue(wxS("ServerDirectory"), kClass, m_serverDirectory);
    ReadValue(wxS("ServerStartCommand"), kClass, m_serverStartCommand);
    ReadValue(wxS("ServerEnvironment"), kClass, m_serverEnvironment);
    ReadValue(wxS("ServerUrl"), kClass, m_serverUrl);
    ReadValue(wxS("CommandPrefix"), kClass, m_commandPrefix);
    ReadValue(wxS("AppCommandShutdown"), kClass, m_appCommandShutdown);
    ReadValue(wxS("BGColor"), kClass, m_bgColor);
    ReadValue(wxS("IconUrl"), kClass, m_iconUrl);
    ReadValue(wxS("ClassPath"), kClass, m_classPath);
    ReadValue(wxS("RelativeExternalUrls"), kClass, m_relativeExternalUrls);
    ReadValue(wxS("UILanguage"), kClass, m_uiLanguage);
    ReadValue(wxS("AppDataDirectory"), kClass, m_appDataDirectory);
    ReadValue(wxS("BrowserDataDirectory"), kClass, m_browserDataDirectory);
    ReadValue(wxS("OpenUrl"), kClass, m_openUrl);
    ReadValue(wxS("UrlSchemes"), kClass, m_urlSchemes);
    EnsureTrailingSeparator(m_appDataDirectory);

    ReadRect(wxS("MainWindowRect"), kClass, m_mainWindowRect);
    ReadRect(wxS("BrowserWindowRect"), kClass, m_browserWindowRect);
    ReadRect(wxS("SplashWindowRect"), kClass, m_splashWindowRect);

    if (const wxXmlNode* node = FindKey(wxS("MainWindowMode"), kClass)) {
        m_fullscreen = IsTrue(node->GetAttribute(wxS("fullscreen")));
        m_mainWindowCenter = IsTrue(node->GetAttribute(wxS("center")));
        m_rememberWindow = IsTrue(node->GetAttribute(wxS("remember")));
        m_keepResolution = IsTrue(node->GetAttribute(wxS("keepresolution")));
        m_browserKeys = node->GetAttribute(wxS("browserkeys")).Lower() != wxS("false");
        const wxString menu = node->GetAttribute(wxS("contextmenu")).Lower();
        if (menu == wxS("engine") || menu == wxS("application") || menu == wxS("none"))
            m_contextMenu = menu;
        else if (!menu.empty())
            wxLogWarning(wxS("HostConfig::Load MainWindowMode contextmenu=\"%s\" is none of "
                             "engine, application, none: application"),
                         menu);
        ReadNumber(node, "refreshDelayMS", m_refreshDelayMS);
    }
    if (const wxXmlNode* node = FindKey(wxS("ServerUrl"), kClass)) {
        unsigned interval = 0;
        ReadNumber(node, "intervalMS", interval);
        if (interval > 0)
            m_statusCheckIntervalMS = ClampedCheckInterval(interval);
    }
    if (const wxXmlNode* node = FindKey(wxS("ServerPort"), kClass))
        ReadNumber(node, "baseport", m_basePort);
    if (const wxXmlNode* node = FindKey(wxS("StartUrl"), kClass)) {
        ReadNumber(node, "timeout", m_startTimeout);
        m_useExternalBrowser =
            node->GetAttribute(wxS("useexternalbrowserforexternalurls")).Lower() != wxS("false");
    }
    if (const wxXmlNode* node = FindKey(wxS("Resize"), kClass)) {
        m_resize.enable = IsTrue(node->GetAttribute(wxS("enable")));
        m_resize.sizebrowser = IsTrue(node->GetAttribute(wxS("sizebrowser")));
        m_resize.center = IsTrue(node->GetAttribute(wxS("center")));
        m_resize.scrollbar = IsTrue(node->GetAttribute(wxS("scrollbar")));
    }
    m_permissions.clear();
    if (const wxXmlNode* node = FindKey(wxS("Permissions"), kClass))
        for (const wxXmlAttribute* a = node->GetAttributes(); a; a = a->GetNext())
            if (a->GetName() != wxS("name") && a->GetName() != wxS("class"))
                m_permissions[a->GetName().Lower()] = a->GetValue().Lower();
    if (const wxXmlNode* node = FindKey(wxS("Logging"), kClass)) {
        m_loggingEnable = IsTrue(node->GetAttribute(wxS("enable")));
        m_loggingFile = node->GetAttribute(wxS("file"), wxS("wxHostApp.log"));
        m_loggingLevel = node->GetAttribute(wxS("level"), wxS("warning"));
    }
    return true;
}

bool HostConfig::Save() {
    WriteAttribute(wxS("MainWindowMode"), kClass, wxS("fullscreen"),
                   m_fullscreen ? wxS("true") : wxS("false"));
    WriteRect(wxS("MainWindowRect"), kClass, m_mainWindowRect);
    return XmlConfig::Save();
}

void HostConfig::ResolveUrl(wxString& url) {
    if (url.empty())
        return;
    wxString probe = url;
    probe.Trim(false);
    probe.MakeLower();
    for (const char* scheme : {"http:", "https:", "file:", "about:"}) {
        if (probe.StartsWith(scheme))
            return;
    }
    wxFileName path(url);
    path.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
    url = wxFileSystem::FileNameToURL(path);
}

void HostConfig::EnsureTrailingSeparator(wxString& path) {
    if (!path.empty() && path.Last() != PlatformInfo::PathSeparator())
        path += PlatformInfo::PathSeparator();
}
