#pragma once

#include <string>
#include <vector>

// The languages pages are told the user prefers (navigator.languages,
// Accept-Language): the interface language first, then the desktop's locale.
namespace PreferredLanguages {
// `localeNames`: the desktop's, most specific first, as the C library spells
// them ("de_DE.UTF-8", "de", "C"). Tags as the web spells them ("de-DE"),
// each once; empty when nothing is known (the engine keeps its own).
std::vector<std::string> For(const std::string& interfaceLanguage,
                             const std::vector<std::string>& localeNames);
} // namespace PreferredLanguages
