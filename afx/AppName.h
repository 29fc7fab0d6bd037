// The application's name as the class layer derives it, free of Win32 calls so it can be
// tested alone.
#pragma once

#include <string>

namespace afx {

// The module's file name without directory and extension.
inline std::string AppNameFromPath(const std::string& path)
{
    const auto slash = path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot != 0)
        name.erase(dot);
    return name;
}

}  // namespace afx
