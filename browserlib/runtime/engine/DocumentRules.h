#pragma once

#include "browserlib/api/DocumentRule.h"

#include <string>
#include <vector>

// The reading of DocumentRule lists every engine follows.
class DocumentRules {
public:
    static bool Blocks(const std::vector<DocumentRule>& rules, const std::string& url);
    static bool Matches(const DocumentRule& rule, const std::string& url);
};
