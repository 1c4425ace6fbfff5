#pragma once

#include <map>
#include <string>

// What pages may use that the user must agree to (notifications, the
// position, the camera, ...). Only pages of the application's own origin may
// be granted anything; the host asks, allows or refuses per kind.
struct PermissionSettings {
    enum class Answer { Allow, Deny, Ask };
    // Per kind ("notifications", "geolocation", "camera", "microphone",
    // "clipboard", ...); a kind not named: Ask for notifications, Deny else.
    std::map<std::string, Answer> kinds;
    std::string applicationOrigin; // "http://localhost:8470"
    std::string applicationName;   // what questions and notifications name, never an address
    std::string applicationIcon;   // a file: the icon the desktop shows with notifications
};
