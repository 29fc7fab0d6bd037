// What the program must show, written once for the native, Windows-side and end-to-end checks.
// Texts are the program's own bytes (Windows-1252).
#pragma once

#include <string>

namespace expected {

// The version block.
constexpr unsigned kFileVersion[4] = {2, 0, 0, 3};
constexpr unsigned kProductVersion[4] = {1, 0, 0, 1};
constexpr char kComment[] = "Release 16.07.2001";
constexpr char kCompany[] = "Kavrin-Projekt";
constexpr char kCopyright[] = "\xA9 2001-2026 Kavrin-Projekt";
constexpr char kProductName[] = "Anwendung Kavrin";
constexpr char kPrivateBuild[] = "Systeminfo";

// The About box.
constexpr char kFeedback[] = "feedback@kavrin.example";
constexpr char kAboutTitle[] = "Info \xFC" "ber Kavrin";
constexpr char kAboutItem[] = "Inf&o \xFC" "ber Kavrin...";
constexpr char kWidmungTitle[] = "Widmung";
constexpr char kWidmungText[] = "F\xFCr alle User...";

// "2.0.0.3" with separator ".", "2, 0, 0, 3" with ", ".
inline std::string VersionText(const unsigned (&v)[4], const char* separator = ".")
{
    std::string text = std::to_string(v[0]);
    for (int i = 1; i < 4; ++i)
        text += separator + std::to_string(v[i]);
    return text;
}

}  // namespace expected
