#include "browserlib/runtime/engine/headless/HeadlessEngineView.h"

#include "browserlib/runtime/engine/headless/HeadlessBackend.h"
#include "browserlib/runtime/xpcom/EventQueue.h"

#include <fstream>

bool HeadlessEngineView::s_printSucceeds = true;

namespace {
class HeadlessDownload : public EngineDownload {
public:
    HeadlessDownload(HeadlessBackend::DownloadRecord& record, const std::string& content)
        : m_record(record), m_content(content) {}
    std::string SuggestedFileName() const override { return m_record.suggested; }
    std::string SourceUrl() const override { return m_record.url; }
    void SaveTo(const std::string& path) override {
        m_record.savedTo = path;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << m_content;
    }
    void Cancel() override { m_record.cancelled = true; }

private:
    HeadlessBackend::DownloadRecord& m_record;
    std::string m_content;
};
} // namespace

HeadlessEngineView::HeadlessEngineView(HeadlessBackend& backend, EngineViewClient* client,
                                       HeadlessEngineView* opener)
    : m_backend(backend), m_client(client), m_opener(opener) {
    backend.Register(this);
}

HeadlessEngineView::~HeadlessEngineView() {
    *m_alive = false;
    m_backend.Unregister(this);
}

bool HeadlessEngineView::Attach(void* parent, int x, int y, int width, int height) {
    if (!parent)
        return false;
    m_parent = parent;
    SetBounds(x, y, width, height);
    return true;
}

void HeadlessEngineView::Detach() {
    m_client = nullptr;
    m_parent = nullptr;
    ++m_generation;
}

void HeadlessEngineView::LoadUrl(const std::string& url) {
    Navigate(url, true);
}

void HeadlessEngineView::Navigate(const std::string& url, bool addToHistory) {
    const unsigned generation = ++m_generation;
    std::weak_ptr<bool> alive = m_alive;
    EventQueue::Post([this, alive, url, addToHistory, generation] {
        if (auto a = alive.lock(); a && *a)
            RunLoad(url, addToHistory, generation);
    });
}

bool HeadlessEngineView::Allowed(const std::string& url, NavigationFrame frame) {
    EngineNavigation navigation;
    navigation.url = url;
    navigation.frame = frame;
    navigation.userGesture = m_backend.NextNavigationByUser();
    return m_client->OnDecideNavigation(navigation) == NavigationVerdict::Allow;
}

void HeadlessEngineView::RunLoad(const std::string& url, bool addToHistory, unsigned generation) {
    if (!m_client || generation != m_generation)
        return;
    if (!Allowed(url, NavigationFrame::Main))
        return;
    static const HeadlessPage plain;
    const HeadlessPage* found = m_backend.Page(url);
    const HeadlessPage& page = found ? *found : plain;
    if (!m_client->OnDecideResponse(url, page.mimeType, page.attachment)) {
        m_backend.Downloads().push_back({url, page.fileName, "", false});
        HeadlessDownload download(m_backend.Downloads().back(), page.source);
        m_client->OnDownload(download);
        return;
    }
    std::weak_ptr<bool> alive = m_alive;
    auto gone = [&] { return alive.expired() || !*alive.lock() || !m_client; };
    m_client->OnLoadStarted(url);
    if (gone())
        return;
    m_client->OnProgress(0.3);
    if (addToHistory) {
        m_history.resize(static_cast<size_t>(m_index + 1));
        m_history.push_back(url);
        m_index = static_cast<int>(m_history.size()) - 1;
    }
    m_client->OnLocationChanged(url, true);
    for (const std::string& frame : page.subframes) {
        if (gone())
            return;
        if (Allowed(frame, NavigationFrame::Sub))
            m_client->OnLocationChanged(frame, false);
    }
    if (gone())
        return;
    m_title = page.title;
    m_client->OnTitleChanged(m_title);
    m_client->OnSecurityChanged(url.compare(0, 8, "https://") == 0);
    m_client->OnProgress(1.0);
    m_client->OnLoadFinished(url, false);
    if (gone())
        return;

    if (!page.opensWindow.empty()) {
        EngineView* created = m_client->OnCreateWindow(page.openFeatures);
        if (auto* view = dynamic_cast<HeadlessEngineView*>(created)) {
            view->LoadUrl(page.opensWindow);
            std::weak_ptr<bool> createdAlive = view->m_alive;
            const WindowFeatures features = page.openFeatures;
            EventQueue::Post([view, createdAlive, features] {
                if (auto a = createdAlive.lock(); a && *a && view->m_client)
                    view->m_client->OnReadyToShow(features);
            });
        }
    }
    if (gone())
        return;
    if (page.requestsGeometry)
        m_client->OnGeometryRequest(page.geometry);
    if (page.closesSelf && !gone())
        m_client->OnCloseRequested();
}

void HeadlessEngineView::TryClose() {
    if (!m_client)
        return;
    const HeadlessPage* page = m_backend.Page(Url());
    if (page && page->asksBeforeUnload) {
        bool leave = false;
        std::string unused;
        m_client->OnScriptDialog(ScriptDialogType::BeforeUnload, "", "", &leave, &unused);
        if (!leave)
            return;
    }
    std::weak_ptr<bool> alive = m_alive;
    EventQueue::Post([this, alive] {
        if (auto a = alive.lock(); a && *a && m_client)
            m_client->OnCloseRequested();
    });
}

void HeadlessEngineView::RunScript(const std::string& script) {
    m_scripts.push_back(script);
}

void HeadlessEngineView::GoBack() {
    if (!CanGoBack())
        return;
    --m_index;
    Navigate(m_history[static_cast<size_t>(m_index)], false);
}

void HeadlessEngineView::GoForward() {
    if (!CanGoForward())
        return;
    ++m_index;
    Navigate(m_history[static_cast<size_t>(m_index)], false);
}

void HeadlessEngineView::Reload() {
    if (m_index >= 0)
        Navigate(m_history[static_cast<size_t>(m_index)], false);
}

std::string HeadlessEngineView::Url() const {
    return m_index >= 0 ? m_history[static_cast<size_t>(m_index)] : std::string();
}

void HeadlessEngineView::SetBounds(int x, int y, int width, int height) {
    m_x = x;
    m_y = y;
    m_width = width;
    m_height = height;
}

void HeadlessEngineView::GetBounds(int* x, int* y, int* width, int* height) const {
    if (x)
        *x = m_x;
    if (y)
        *y = m_y;
    if (width)
        *width = m_width;
    if (height)
        *height = m_height;
}

bool HeadlessEngineView::CanExecute(EditCommand command) {
    return command != EditCommand::Paste; // nothing on the headless clipboard
}

bool HeadlessEngineView::Print(bool, std::function<void(bool printed)> done) {
    if (!s_printSucceeds)
        return false;
    std::weak_ptr<bool> alive = m_alive;
    EventQueue::Post([alive, done] {
        if (auto a = alive.lock(); a && *a && done)
            done(true);
    });
    return true;
}

bool HeadlessEngineView::PrintPreview(bool) {
    return false;
}

void HeadlessEngineView::GetSource(std::function<void(const std::string& source)> done) {
    const HeadlessPage* page = m_backend.Page(Url());
    done(page ? page->source : std::string());
}

bool HeadlessEngineView::UserStartsDrag() {
    return !m_client || m_client->OnDragStart();
}

bool HeadlessEngineView::UserDrops() {
    return !m_client || m_client->OnDrop();
}
