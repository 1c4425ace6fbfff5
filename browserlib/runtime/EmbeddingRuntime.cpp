#include "browserlib/runtime/EmbeddingRuntime.h"

#include "browserlib/runtime/CommandParams.h"
#include "browserlib/runtime/DirectoryService.h"
#include "browserlib/runtime/PrefService.h"
#include "browserlib/runtime/ProfileManager.h"
#include "browserlib/runtime/WebBrowser.h"
#include "browserlib/runtime/WindowWatcher.h"
#include "browserlib/runtime/engine/EngineBackend.h"
#include "browserlib/runtime/xpcom/CategoryManager.h"
#include "browserlib/runtime/xpcom/EventQueue.h"
#include "browserlib/runtime/xpcom/ObserverService.h"
#include "browserlib/runtime/xpcom/Registry.h"
#include "browserlib/runtime/xpcom/nsComponentManager.h"

namespace {
int g_depth = 0;
bool g_failNextStart = false;

nsCID MakeCID(uint32_t n) {
    // The runtime's own class IDs: one family, numbered.
    return nsCID{0x5e1a0000u + n, 0x7c3d, 0x4b2a, {0x9e, 0x61, 0x0d, 0x4c, 0x8a, 0x27, 0x3f, 0x10}};
}

void Register(uint32_t n, const char* name, const char* contractID,
              nsSimpleFactory::Constructor make) {
    nsCOMPtr<nsIFactory> factory = new nsSimpleFactory(std::move(make));
    nsComponentManager::RegisterFactory(MakeCID(n), name, contractID, factory, true);
}

// Told at start-up; nobody in this runtime needs to hear it.
class AppStartupNotifier : public nsIObserver {
    NS_DECL_ISUPPORTS
public:
    nsresult Observe(nsISupports*, const char* topic, const PRUnichar*) override {
        nsCOMPtr<nsIObserverService> observers =
            do_GetService<nsIObserverService>("@mozilla.org/observer-service;1");
        return observers ? observers->NotifyObservers(nullptr, topic, nullptr) : NS_ERROR_FAILURE;
    }
};

void ApplyEnginePreference(const std::string& name) {
    if (name.compare(0, 10, "font.size.") != 0)
        return;
    nsCOMPtr<nsIPref> prefs = do_GetService<nsIPref>("@mozilla.org/preferences;1");
    PRInt32 variable = 16, fixed = 13;
    if (prefs) {
        prefs->GetIntPref("font.size.variable.x-western", &variable);
        prefs->GetIntPref("font.size.fixed.x-western", &fixed);
    }
    EngineBackend::Get().SetFontSizes(variable, fixed);
}
} // namespace

NS_INTERFACE_MAP_BEGIN(AppStartupNotifier)
NS_INTERFACE_MAP_ENTRY(nsIObserver)
NS_INTERFACE_MAP_ENTRY(nsISupports)
NS_INTERFACE_MAP_END

bool EmbeddingRuntime::IsUp() {
    return g_depth > 0;
}

int EmbeddingRuntime::Depth() {
    return g_depth;
}

void EmbeddingRuntime::FailNextStart(bool fail) {
    g_failNextStart = fail;
}

nsresult NS_InitEmbedding(nsILocalFile*, nsIDirectoryServiceProvider* provider) {
    if (g_failNextStart) {
        g_failNextStart = false;
        return NS_ERROR_FAILURE;
    }
    if (g_depth++ > 0)
        return NS_OK;

    nsCOMPtr<nsIDirectoryServiceProvider> keep = provider;
    Register(1, "Directory Service", "@mozilla.org/file/directory_service;1",
             [keep] { return static_cast<nsIProperties*>(new DirectoryService(keep)); });
    Register(2, "Observer Service", "@mozilla.org/observer-service;1",
             [] { return static_cast<nsIObserverService*>(new ObserverService); });
    Register(3, "Window Watcher", "@mozilla.org/embedcomp/window-watcher;1",
             [] { return static_cast<nsIWindowWatcher*>(new WindowWatcher); });
    Register(4, "Preferences", "@mozilla.org/preferences;1", [] {
        auto* prefs = new PrefService;
        prefs->AddChangeCallback(ApplyEnginePreference);
        return static_cast<nsIPref*>(prefs);
    });
    Register(5, "Profile Manager", "@mozilla.org/profile/manager;1",
             [] { return static_cast<nsIProfile*>(new ProfileManager); });
    Register(6, "Registry", "@mozilla.org/registry;1",
             [] { return static_cast<nsIRegistry*>(new Registry); });
    Register(7, "Category Manager", "@mozilla.org/categorymanager;1",
             [] { return static_cast<nsICategoryManager*>(new CategoryManager); });
    Register(8, "Command Parameters", "@mozilla.org/embedcomp/command-params;1",
             [] { return static_cast<nsICommandParams*>(new CommandParams); });
    Register(9, "Web Browser", "@mozilla.org/embedding/browser/nsWebBrowser;1",
             [] { return static_cast<nsIWebBrowser*>(new WebBrowser); });
    Register(10, "App Startup Notifier", "@mozilla.org/embedcomp/appstartup-notifier;1",
             [] { return static_cast<nsIObserver*>(new AppStartupNotifier); });
    {
        nsCOMPtr<nsIFactory> factory = new nsSimpleFactory(
            [] { return static_cast<nsIEventQueueService*>(new EventQueueService); });
        nsComponentManager::RegisterFactory(EventQueueService::CID(), "Event Queue Service",
                                            "@mozilla.org/event-queue-service;1", factory, true);
    }

    if (nsCOMPtr<nsIObserver> notifier =
            do_CreateInstance<nsIObserver>("@mozilla.org/embedcomp/appstartup-notifier;1"))
        notifier->Observe(nullptr, "app-startup", nullptr);
    return NS_OK;
}

nsresult NS_TermEmbedding() {
    if (g_depth == 0)
        return NS_ERROR_NOT_INITIALIZED;
    if (--g_depth > 0)
        return NS_OK;
    // Deferred work of the windows that are gone would only find them gone.
    EventQueue::Main().ProcessPendingEvents();
    nsComponentManager::Shutdown();
    return NS_OK;
}
