#pragma once

#include "browserlib/runtime/nsEmbeddingInterfaces.h"

#include <string>

// An address, as handed to listeners.
class SimpleURI : public nsIURI {
    NS_DECL_ISUPPORTS
public:
    explicit SimpleURI(std::string spec) : mSpec(std::move(spec)) {}
    nsresult GetSpec(char** spec) override;
    const std::string& Spec() const { return mSpec; }

private:
    std::string mSpec;
};

// A load, named by its address.
class NamedRequest : public nsIRequest {
    NS_DECL_ISUPPORTS
public:
    explicit NamedRequest(std::string name) : mName(std::move(name)) {}
    nsresult GetName(char** name) override;

private:
    std::string mName;
};
