#pragma once

#include "browserlib/api/DocumentRule.h"
#include "browserlib/api/NavigationRequest.h"
#include "navigation/UrlClassifier.h"

#include <vector>
#include <wx/string.h>

// What the URL filter does with one navigation, decided from the navigation and
// the configuration alone.
class NavigationPolicy {
public:
    struct Settings {
        wxString startUrl; // resolved, as the engine writes it
        wxString commandPrefix;
        wxString relativeExternalUrls;
        bool useExternalBrowser = true;
    };

    enum class Action {
        Allow,           // the engine shows it
        Refuse,          // nothing happens; `reason` says why
        DecideWithFrame, // ask again once its frame is known
        Command,         // the host obeys `command`
        OpenOutside      // `outside` goes to the desktop's handler
    };

    struct Decision {
        Action action = Action::Allow;
        UrlClassifier::Command command = UrlClassifier::Command::None;
        bool alsoOutside = false; // a command URL that is an external address too
        wxString outside;
        wxString reason;
        bool warning = false; // the refusal is worth a warning in the log
        // A form sent outside: the desktop gets its address, not its data.
        bool formDataDropped = false;
    };

    static Decision Decide(const NavigationRequest& request, const Settings& settings);
    // The documents the engine may request at all, mirroring Decide for web
    // addresses: what Decide sends outside or keeps out of a frame is never
    // requested from inside. Empty where external addresses stay inside.
    static std::vector<DocumentRule> DocumentRules(const Settings& settings);

    // Whether the desktop's default handler takes links of `scheme`.
    static bool IsDesktopScheme(const wxString& scheme);
    // The schemes to route through the engine so that their frame is known.
    static wxArrayString RoutedSchemes(const wxString& commandPrefix);
};
