#include "navigation/SplashHtmlWindow.h"

#include "server/HttpGet.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <fstream>
#include <iterator>
#include <thread>
#include <wx/filesys.h>
#include <wx/log.h>
#include <wx/strconv.h>

namespace {
bool IsWebUrl(const wxString& url) {
    const wxString lower = url.Lower();
    return lower.StartsWith(wxS("http:")) || lower.StartsWith(wxS("https:")) ||
           lower.StartsWith(wxS("ftp:"));
}

std::string LowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}
} // namespace

// Shared with the fetching thread, which touches nothing of the toolkit: the
// window looks for the answer on a timer, so a thread still fetching when the
// host ends has nothing to call into.
struct SplashHtmlWindow::Fetch {
    std::string url;
    HttpGet::Response response;
    std::atomic<bool> done{false};
};

SplashHtmlWindow::SplashHtmlWindow(wxWindow* parent, const wxSize& size)
    : wxHtmlWindow(parent, wxID_ANY, wxDefaultPosition, size, wxHW_SCROLLBAR_AUTO,
                   wxS("htmlWindow")),
      m_fetchTimer(this) {
    Bind(wxEVT_TIMER, &SplashHtmlWindow::OnFetchTimer, this, m_fetchTimer.GetId());
}

SplashHtmlWindow::~SplashHtmlWindow() {
    m_fetchTimer.Stop();
}

std::string SplashHtmlWindow::CharsetOf(const std::string& text) {
    const std::string lower = LowerAscii(text);
    const size_t at = lower.find("charset");
    if (at == std::string::npos)
        return std::string();
    size_t i = at + 7;
    while (i < lower.size() && (lower[i] == ' ' || lower[i] == '\t'))
        ++i;
    if (i >= lower.size() || lower[i] != '=')
        return std::string();
    ++i;
    while (i < lower.size() && (lower[i] == ' ' || lower[i] == '"' || lower[i] == '\''))
        ++i;
    size_t end = i;
    while (end < lower.size() &&
           (std::isalnum(static_cast<unsigned char>(lower[end])) || lower[end] == '-' ||
            lower[end] == '_' || lower[end] == ':' || lower[end] == '.'))
        ++end;
    return lower.substr(i, end - i);
}

wxString SplashHtmlWindow::DecodeDocument(const std::string& bytes,
                                          const std::string& contentType) {
    std::string charset = CharsetOf(contentType);
    if (charset.empty()) {
        // The declaration sits in the head: look in each <meta> of the start.
        const std::string head = LowerAscii(bytes.substr(0, 4096));
        for (size_t at = head.find("<meta"); at != std::string::npos && charset.empty();
             at = head.find("<meta", at + 5))
            charset = CharsetOf(head.substr(at, head.find('>', at) - at));
    }
    if (charset != "utf-8" && charset != "utf8" && !charset.empty()) {
        wxCSConv conv(charset);
        if (conv.IsOk()) {
            const wxString text(bytes.data(), conv, bytes.size());
            if (!text.empty() || bytes.empty())
                return text;
        }
    }
    const wxString utf8 = wxString::FromUTF8(bytes.data(), bytes.size());
    if (!utf8.empty() || bytes.empty())
        return utf8;
    return wxString(bytes.data(), wxConvISO8859_1, bytes.size());
}

bool SplashHtmlWindow::FetchDone() const {
    return !m_fetch || m_fetch->done;
}

void SplashHtmlWindow::ShowDocument(const wxString& location, const wxString& text) {
    // Relative images and links resolve against the page's own place.
    m_FS->ChangePathTo(location);
    SetPage(text);
    m_OpenedPage = location;
}

bool SplashHtmlWindow::ShowUrl(const wxString& url) {
    if (url.empty())
        return false;
    if (IsWebUrl(url)) {
        if (!url.Lower().StartsWith(wxS("http:"))) {
            wxLogWarning(wxS("SplashWindow: only http and file splash pages are shown, not '%s'"),
                         url);
            return false;
        }
        m_fetch = std::make_shared<Fetch>();
        m_fetch->url = url.utf8_string();
        std::shared_ptr<Fetch> fetch = m_fetch;
        std::thread([fetch] {
            fetch->response = HttpGet::Fetch(wxString::FromUTF8(fetch->url), kFetchTimeoutMs);
            fetch->done = true;
        }).detach();
        m_fetchTimer.Start(kFetchPollMs);
        return true;
    }
    wxString path = url;
    if (url.Lower().StartsWith(wxS("file:")))
        path = wxFileSystem::URLToFileName(url).GetFullPath();
    std::ifstream in(path.fn_str(), std::ios::binary);
    if (!in) {
        wxLogWarning(wxS("SplashWindow: the splash page '%s' could not be read"), url);
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ShowDocument(wxFileSystem::FileNameToURL(wxFileName(path)), DecodeDocument(bytes, ""));
    return true;
}

void SplashHtmlWindow::OnFetchTimer(wxTimerEvent&) {
    if (!m_fetch || !m_fetch->done)
        return;
    m_fetchTimer.Stop();
    const HttpGet::Response& response = m_fetch->response;
    const wxString url = wxString::FromUTF8(m_fetch->url);
    if (response.status < 200 || response.status > 299) {
        wxLogWarning(wxS("SplashWindow: the splash page '%s' was not shown (%s)"), url,
                     response.status ? wxString::Format(wxS("HTTP status %d"), response.status)
                                     : wxString::FromUTF8(response.error));
        return;
    }
    ShowDocument(url, DecodeDocument(response.body, response.contentType));
}

wxHtmlOpeningStatus SplashHtmlWindow::OnOpeningURL(wxHtmlURLType type, const wxString& url,
                                                   wxString* redirect) const {
    // The toolkit fetches web resources on the GUI thread, with no bound.
    if (IsWebUrl(url))
        return wxHTML_BLOCK;
    return wxHtmlWindow::OnOpeningURL(type, url, redirect);
}
