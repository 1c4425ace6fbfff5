#include "navigation/NavigationPolicy.h"

#include "navigation/WebUrl.h"

namespace {
using Frame = NavigationRequest::Frame;
using Action = NavigationPolicy::Action;

// The schemes a page hands to the desktop that are common enough to be routed
// ahead of time; others are handed out only when the user started them.
const char* const kDesktopSchemes[] = {"mailto", "tel",  "sms",  "callto", "geo",
                                       "webcal", "news", "xmpp", "sip",    "magnet"};

// Where the engine cannot tell yet whether a navigation is the main frame's: a
// user's own click counts as the page's, a load nobody clicked waits for its frame.
Frame Settled(const NavigationRequest& request, bool* later) {
    *later = false;
    if (request.frame != Frame::Unknown)
        return request.frame;
    if (request.userGesture)
        return Frame::Main;
    if (request.frameLater) {
        *later = true;
        return Frame::Unknown;
    }
    return Frame::Unknown;
}

// A page of the application: on the start URL's host, or for a start page
// that is no web address (a file), one of the same scheme.
bool IsApplicationPage(const wxString& pageUrl, const wxString& startUrl) {
    if (WebUrl(startUrl).IsWeb())
        return UrlClassifier::OnStartHost(UrlClassifier::WithoutDefaultPort(pageUrl), startUrl);
    const wxString scheme = WebUrl::SchemeOf(startUrl);
    return !scheme.empty() && WebUrl::SchemeOf(pageUrl) == scheme;
}

NavigationPolicy::Decision Refused(const wxString& reason, bool warning = false) {
    NavigationPolicy::Decision decision;
    decision.action = Action::Refuse;
    decision.reason = reason;
    decision.warning = warning;
    return decision;
}

// To the desktop's handler, as one harmless argument, or not at all.
NavigationPolicy::Decision HandedOut(const wxString& url) {
    NavigationPolicy::Decision decision;
    decision.action = Action::OpenOutside;
    decision.outside = UrlClassifier::ForDesktop(url);
    if (decision.outside.empty())
        return Refused(wxS("not a URL the desktop could open"), true);
    return decision;
}

NavigationPolicy::Decision Later() {
    NavigationPolicy::Decision decision;
    decision.action = Action::DecideWithFrame;
    return decision;
}
} // namespace

bool NavigationPolicy::IsDesktopScheme(const wxString& scheme) {
    for (const char* name : kDesktopSchemes)
        if (scheme == name)
            return true;
    return false;
}

wxArrayString NavigationPolicy::RoutedSchemes(const wxString& commandPrefix) {
    wxArrayString schemes;
    for (const char* name : kDesktopSchemes)
        schemes.push_back(name);
    const wxString command = WebUrl::SchemeOf(commandPrefix);
    if (!command.empty() && !UrlClassifier::EngineShowsScheme(command) &&
        schemes.Index(command) == wxNOT_FOUND)
        schemes.push_back(command);
    return schemes;
}

NavigationPolicy::Decision NavigationPolicy::Decide(const NavigationRequest& request,
                                                    const Settings& settings) {
    const wxString startUrl = UrlClassifier::WithoutDefaultPort(settings.startUrl);
    const wxString address = UrlClassifier::WithoutDefaultPort(request.url);

    if (UrlClassifier::IsCommand(request.url, settings.commandPrefix)) {
        // Only the application commands the host: its page in the main frame.
        if (request.frame == Frame::Unknown && request.frameLater)
            return Later();
        if (request.frame == Frame::Sub)
            return Refused(wxS("a command from a frame inside the page"), true);
        if (!IsApplicationPage(request.pageUrl, startUrl))
            return Refused(wxS("a command from a page that is not the application's (") +
                               request.pageUrl + wxS(")"),
                           true);
        Decision decision;
        decision.action = Action::Command;
        decision.command = UrlClassifier::CommandOf(request.url, settings.commandPrefix);
        // A command prefix that is a web address of another host is both.
        if (UrlClassifier::IsExternalCandidate(address, startUrl) &&
            UrlClassifier::DiffersFromStart(address, startUrl) && settings.useExternalBrowser) {
            decision.alsoOutside = true;
            decision.outside = UrlClassifier::ForDesktop(request.url);
        }
        return decision;
    }

    const wxString scheme = WebUrl::SchemeOf(request.url);
    const bool web = scheme == wxS("http") || scheme == wxS("https");
    if (web) {
        const bool external = UrlClassifier::IsExternalCandidate(address, startUrl) &&
                              (UrlClassifier::DiffersFromStart(address, startUrl) ||
                               !UrlClassifier::MatchingRelativeExternal(
                                    startUrl, address, settings.relativeExternalUrls)
                                    .empty());
        if (!external || !settings.useExternalBrowser)
            return Decision();
        bool later = false;
        const Frame frame = Settled(request, &later);
        if (later)
            return Later();
        if (frame == Frame::Sub)
            return Refused(wxS("an external page is kept out of a frame inside the page"));
        Decision decision = HandedOut(request.url);
        decision.formDataDropped = request.formPost && decision.action == Action::OpenOutside;
        return decision;
    }

    if (scheme.empty() || UrlClassifier::EngineShowsScheme(scheme))
        return Decision();
    // A scheme for another program (mailto:, tel:, ...): the page stays.
    bool later = false;
    const Frame frame = Settled(request, &later);
    if (later)
        return Later();
    if (frame == Frame::Sub)
        return Refused(wxS("a link for another program from a frame inside the page"));
    if (frame == Frame::Unknown)
        return Refused(wxS("a link for another program that the user did not start"));
    if (!settings.useExternalBrowser)
        return Refused(wxS("a link for another program; external addresses stay inside, and "
                           "there is nothing to show"));
    return HandedOut(request.url);
}

std::vector<DocumentRule> NavigationPolicy::DocumentRules(const Settings& settings) {
    std::vector<DocumentRule> rules;
    const wxString startUrl = UrlClassifier::WithoutDefaultPort(settings.startUrl);
    const WebUrl start(startUrl);
    if (!settings.useExternalBrowser)
        return rules;
    auto add = [&](DocumentRule::Action action, DocumentRule::Match match, const wxString& text) {
        DocumentRule rule;
        rule.action = action;
        rule.match = match;
        rule.text = std::string(text.utf8_str());
        rules.push_back(rule);
    };
    using A = DocumentRule::Action;
    using M = DocumentRule::Match;
    add(A::Block, M::AnyWebAddress, wxString());
    if (!start.IsWeb())
        return rules; // a start page that is a file: every web page lies outside
    add(A::Allow, M::Host, start.Host());
    for (const wxString& token :
         UrlClassifier::RelativeExternalTokens(settings.relativeExternalUrls)) {
        add(A::Block, M::Prefix, startUrl + token);
        const wxString written = UrlClassifier::ForDesktop(startUrl + token);
        if (!written.empty() && written != startUrl + token)
            add(A::Block, M::Prefix, written); // as the engine writes addresses
    }
    // The start address itself is never external.
    add(A::Allow, M::Exact, startUrl);
    return rules;
}
