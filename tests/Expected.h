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
constexpr char kAboutTitlePrefix[] = "Info \xFC" "ber ";   // and the application's name
inline const std::string kAboutTitle = std::string(kAboutTitlePrefix) + "Kavrin";
constexpr char kAboutItem[] = "Inf&o \xFC" "ber Kavrin...";
constexpr char kWidmungTitle[] = "Widmung";
constexpr char kWidmungText[] = "F\xFCr alle User...";

// The report's sections: each title and the length of the rule of hyphens under it.
struct SectionTitle { const char* title; int rule; };
constexpr SectionTitle kSections[] = {{"[1] Versions-Info", 25}, {"(2) System-Info", 23}, {"(3) Hardware-Info", 27},
                                      {"(4) Metrik-Info", 21}, {"(5) PATH-Variable", 28}};
// Section 4's line on the mouse buttons.
constexpr char kButtonsSwapped[] = "Die Mauskn\xF6pfe sind vertauscht.";
constexpr char kButtonsNotSwapped[] = "Die Mauskn\xF6pfe sind nicht vertauscht.";
// Section 3's lines for an AMD64 processor (OemId 9, type 8664), which the report's tables lack.
constexpr char kAmd64Type[] = "ProcessorType: 8664 <UNKNOWN_PROCESSOR>";
constexpr char kAmd64Architecture[] = "ProcessorArchitecture: <PROCESSOR_ARCHITECTURE_UNKNOWN>";

// "2.0.0.3" with separator ".", "2, 0, 0, 3" with ", ".
inline std::string VersionText(const unsigned (&v)[4], const char* separator = ".")
{
    std::string text = std::to_string(v[0]);
    for (int i = 1; i < 4; ++i)
        text += separator + std::to_string(v[i]);
    return text;
}

}  // namespace expected
