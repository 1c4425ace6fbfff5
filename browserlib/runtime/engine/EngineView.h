#pragma once

// The seam between the runtime and a browser engine. Nothing here names an
// engine type: a back end implements EngineView for one page view and reports
// what happens in it to an EngineViewClient.

#include <functional>
#include <string>

struct WindowFeatures {
    bool hasPosition = false;
    bool hasSize = false;
    int x = 0, y = 0, width = 0, height = 0;
    bool resizable = true;
    bool toolbar = true, menubar = true, statusbar = true, scrollbars = true, locationbar = true;
};

// A download the engine started; the client decides where it goes.
class EngineDownload {
public:
    virtual ~EngineDownload() = default;
    virtual std::string SuggestedFileName() const = 0;
    virtual std::string SourceUrl() const = 0;
    virtual void SaveTo(const std::string& path) = 0;
    virtual void Cancel() = 0;
};

// A navigation the engine asks about. The WebKit back end cannot tell at this
// point which frame it happens in; where it can tell later (web URLs and the
// schemes it was asked to route, see EngineBackend), `frameLater` is set.
enum class NavigationFrame { Main, Sub, Unknown };
struct EngineNavigation {
    std::string url;
    NavigationFrame frame = NavigationFrame::Unknown;
    bool userGesture = false;
    bool frameLater = false;
    bool formPost = false; // a form's data goes with it
};
enum class NavigationVerdict { Allow, Refuse, DecideWithFrame };

// The menu a right click in the page opens.
enum class ContextMenuKind {
    Engine,      // the engine's own, windows, downloads and all
    Application, // clipboard, selection, Back, Forward, Reload: nothing that opens windows or saves
                 // files
    None
};

// A key pressed in the page, before the page sees it. `name` is the key's
// lower-case name ("f5", "r", "left", "plus", "kp_add", "escape").
struct EngineKey {
    std::string name;
    bool ctrl = false, alt = false, shift = false;
};

enum class ScriptDialogType { Alert, Confirm, Prompt, BeforeUnload };
enum class EditCommand { Cut, Copy, Paste, SelectAll, SelectNone };

class EngineView;

class EngineViewClient {
public:
    // Every navigation, of the page and of its sub-frames, before it starts.
    // DecideWithFrame (only where `frameLater`) lets it start and asks again
    // once its frame is known, before anything of it is shown.
    virtual NavigationVerdict OnDecideNavigation(const EngineNavigation& navigation) = 0;
    // A response: true shows it, false downloads it.
    virtual bool OnDecideResponse(const std::string& url, const std::string& mimeType,
                                  bool attachment) = 0;
    virtual void OnLoadStarted(const std::string& url) = 0;
    virtual void OnLocationChanged(const std::string& url, bool mainFrame) = 0;
    virtual void OnLoadFinished(const std::string& url, bool failed) = 0;
    virtual void OnProgress(double fraction) = 0;
    virtual void OnTitleChanged(const std::string& title) = 0;
    virtual void OnStatusText(const std::string& text) = 0;
    virtual void OnSecurityChanged(bool secure) = 0;
    // A page opens a window: the new view, related to this one, or null.
    virtual EngineView* OnCreateWindow(const WindowFeatures& features) = 0;
    virtual void OnReadyToShow(const WindowFeatures& features) = 0;
    virtual void OnGeometryRequest(const WindowFeatures& features) = 0;
    // The page closes its window, or agreed to a TryClose; never answered
    // inside the engine's callback.
    virtual void OnCloseRequested() = 0;
    // false: the engine shows its own dialog.
    virtual bool OnScriptDialog(ScriptDialogType type, const std::string& message,
                                const std::string& defaultText, bool* confirmed,
                                std::string* text) = 0;
    virtual bool OnAuthenticate(const std::string& host, const std::string& realm,
                                std::string* user, std::string* password, bool* ok) = 0;
    virtual void OnDownload(EngineDownload& download) = 0;
    // The engine's renderer for this view ended ("crashed", "memory limit").
    virtual void OnRendererGone(const std::string& reason) = 0;
    // A key the page saw and left alone; true: the client acted on it.
    virtual bool OnKey(const EngineKey& key) = 0;
    // Drag and drop: false refuses.
    virtual bool OnDragStart() = 0;
    virtual bool OnDrop() = 0;
    // The user is asked whether the application may have a permission
    // (`question`, in the interface language; `title` names the application):
    // true when the user allows it. A modal question: returns once answered.
    virtual bool OnAskPermission(const std::string& title, const std::string& question,
                                 const std::string& allowLabel, const std::string& denyLabel) {
        (void)title;
        (void)question;
        (void)allowLabel;
        (void)denyLabel;
        return false;
    }

protected:
    ~EngineViewClient() = default;
};

class EngineView {
public:
    virtual ~EngineView() = default;
    // Puts the view into `parent` (the toolkit window that hosts it).
    virtual bool Attach(void* parent, int x, int y, int width, int height) = 0;
    virtual void Detach() = 0;

    virtual void LoadUrl(const std::string& url) = 0;
    virtual void RunScript(const std::string& script) = 0;
    virtual bool CanGoBack() const = 0;
    virtual bool CanGoForward() const = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Reload() = 0;
    virtual void Stop() = 0;
    virtual std::string Url() const = 0;
    virtual std::string Title() const = 0;

    virtual void SetBounds(int x, int y, int width, int height) = 0;
    virtual void GetBounds(int* x, int* y, int* width, int* height) const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() const = 0;
    virtual void SetFocus(bool focus) = 0;

    virtual bool CanExecute(EditCommand command) = 0;
    virtual void Execute(EditCommand command) = 0;

    // Prints the page; `done` hears whether the job was printed. False when no
    // job could be started (`done` is then never called).
    virtual bool Print(bool withDialog, std::function<void(bool printed)> done) = 0;
    virtual bool PrintPreview(bool on) = 0;
    // The page's source, asynchronously.
    virtual void GetSource(std::function<void(const std::string& source)> done) = 0;
    // Whether drags that start in the page are refused from now on.
    virtual void SetDragsRefused(bool refused) = 0;
    virtual void SetContextMenu(ContextMenuKind kind) = 0;
    // Asks the page whether it may go (its beforeunload): when it may, the
    // client hears OnCloseRequested; when the user chose to stay, nothing.
    virtual void TryClose() = 0;
    // 1.0 is the page's own size.
    virtual void SetZoom(double factor) = 0;
    // Highlights `text` in the page and shows the next (or previous) match;
    // an empty text ends the search.
    virtual void Find(const std::string& text, bool backwards) = 0;
};
