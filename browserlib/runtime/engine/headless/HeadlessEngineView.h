#pragma once

#include "browserlib/runtime/engine/EngineView.h"

#include <memory>
#include <string>
#include <vector>

class HeadlessBackend;

class HeadlessEngineView : public EngineView {
public:
    HeadlessEngineView(HeadlessBackend& backend, EngineViewClient* client,
                       HeadlessEngineView* opener);
    ~HeadlessEngineView() override;

    bool Attach(void* parent, int x, int y, int width, int height) override;
    void Detach() override;
    void LoadUrl(const std::string& url) override;
    void RunScript(const std::string& script) override;
    bool CanGoBack() const override { return m_index > 0; }
    bool CanGoForward() const override { return m_index + 1 < static_cast<int>(m_history.size()); }
    void GoBack() override;
    void GoForward() override;
    void Reload() override;
    void Stop() override { ++m_generation; }
    std::string Url() const override;
    std::string Title() const override { return m_title; }
    void SetBounds(int x, int y, int width, int height) override;
    void GetBounds(int* x, int* y, int* width, int* height) const override;
    void SetVisible(bool visible) override { m_visible = visible; }
    bool IsVisible() const override { return m_visible; }
    void SetFocus(bool focus) override { m_focused = focus; }
    bool CanExecute(EditCommand command) override;
    void Execute(EditCommand command) override { m_commands.push_back(command); }
    bool Print(bool withDialog, std::function<void(bool printed)> done) override;
    bool PrintPreview(bool on) override;
    void GetSource(std::function<void(const std::string& source)> done) override;
    void SetDragsRefused(bool refused) override { m_dragsRefused = refused; }
    void SetContextMenu(ContextMenuKind kind) override { m_contextMenu = kind; }
    void SetZoom(double factor) override { m_zoom = factor; }
    void TryClose() override;
    // The renderer dies, as a crash would end it.
    void CrashRenderer() {
        if (m_client)
            m_client->OnRendererGone("crashed");
    }
    void Find(const std::string& text, bool backwards) override {
        m_found.push_back(backwards ? "<" + text : text);
    }
    double Zoom() const { return m_zoom; }
    const std::vector<std::string>& Searches() const { return m_found; }
    // A key the user presses in the page: true when the client took it.
    bool PressKey(const EngineKey& key) { return m_client && m_client->OnKey(key); }
    ContextMenuKind ContextMenu() const { return m_contextMenu; }
    bool DragsRefused() const { return m_dragsRefused; }

    // What tests look at and do.
    void* Parent() const { return m_parent; }
    HeadlessEngineView* Opener() const { return m_opener; }
    const std::vector<std::string>& Scripts() const { return m_scripts; }
    const std::vector<EditCommand>& Commands() const { return m_commands; }
    bool Focused() const { return m_focused; }
    bool Attached() const { return m_parent != nullptr; }
    // Simulates the user: a drag starting in the page, a drop onto it.
    bool UserStartsDrag();
    bool UserDrops();
    static bool s_printSucceeds;

private:
    ContextMenuKind m_contextMenu = ContextMenuKind::Engine;
    double m_zoom = 1.0;
    std::vector<std::string> m_found;
    void Navigate(const std::string& url, bool addToHistory);
    void RunLoad(const std::string& url, bool addToHistory, unsigned generation);
    bool Allowed(const std::string& url, NavigationFrame frame);

    HeadlessBackend& m_backend;
    EngineViewClient* m_client;
    HeadlessEngineView* m_opener;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    void* m_parent = nullptr;
    int m_x = 0, m_y = 0, m_width = 0, m_height = 0;
    bool m_visible = false;
    bool m_focused = false;
    std::vector<std::string> m_history;
    int m_index = -1;
    std::string m_title;
    unsigned m_generation = 0;
    std::vector<std::string> m_scripts;
    std::vector<EditCommand> m_commands;
    bool m_dragsRefused = false;
};
