#include "browserlib/runtime/engine/headless/HeadlessBackend.h"

#include "browserlib/runtime/engine/headless/HeadlessEngineView.h"

#include <algorithm>

namespace {
HeadlessBackend* g_instance = nullptr;
std::map<std::string, HeadlessPage>& Pages() {
    static std::map<std::string, HeadlessPage> pages;
    return pages;
}
} // namespace

std::unique_ptr<EngineBackend> CreateHeadlessBackend() {
    auto backend = std::make_unique<HeadlessBackend>();
    g_instance = backend.get();
    return backend;
}

HeadlessBackend* HeadlessBackend::Instance() {
    return g_instance;
}

void HeadlessBackend::SetPage(const std::string& url, const HeadlessPage& page) {
    Pages()[url] = page;
}

void HeadlessBackend::ClearPages() {
    Pages().clear();
}

const HeadlessPage* HeadlessBackend::Page(const std::string& url) const {
    const auto it = Pages().find(url);
    return it == Pages().end() ? nullptr : &it->second;
}

std::unique_ptr<EngineView> HeadlessBackend::CreateView(EngineViewClient* client,
                                                        EngineView* relatedTo) {
    return std::make_unique<HeadlessEngineView>(*this, client,
                                                dynamic_cast<HeadlessEngineView*>(relatedTo));
}

bool HeadlessBackend::CanShowMimeType(const std::string& mimeType) {
    return mimeType.compare(0, 5, "text/") == 0 || mimeType.compare(0, 6, "image/") == 0 ||
           mimeType == "application/xhtml+xml" || mimeType == "application/xml";
}

void HeadlessBackend::Unregister(HeadlessEngineView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}
