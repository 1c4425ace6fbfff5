#pragma once

#include <string>

// Which web pages the engine may request as a document (a page of the main
// frame or of a frame inside it), checked before a request leaves, at every
// hop of a redirect. The rules are read in order and the last one that
// matches decides; an address no rule matches may be requested. Rules see
// http and https addresses only; sub-resources (images, scripts, style
// sheets) are no documents.
struct DocumentRule {
    enum class Action { Block, Allow };
    enum class Match {
        AnyWebAddress, // `text` unused
        Host,          // `text` is a host (lower case, an IPv6 literal in brackets), any port
        Prefix,        // the address begins with `text`, case ignored
        Exact          // the address is `text`, case ignored
    };
    Action action = Action::Block;
    Match match = Match::AnyWebAddress;
    std::string text;

    bool operator==(const DocumentRule& other) const {
        return action == other.action && match == other.match && text == other.text;
    }
};
