#pragma once

#include <string>

// The secret of one run that the application's server answers to: 32 random
// bytes from the kernel, as URL-safe text (base64url without padding).
namespace ServerToken {
// An empty string when the kernel gives no random bytes.
std::string Generate();
std::string Encode(const unsigned char* bytes, size_t count);
} // namespace ServerToken
