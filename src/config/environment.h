#pragma once

#include <map>
#include <string>

namespace kavio {

// What start-up takes from the process: the executable's path, the environment variables and the
// log-on name. Tests build one pointing at temporary folders.
struct SystemEnvironment {
    std::string executablePath;                    // code-page bytes, absolute
    std::map<std::string, std::string> variables;  // HOME, XDG_*, USER, ...
    std::string logonName;                         // may be empty

    // The running process: /proc/self/exe, environ, getpwuid(getuid()) or $USER.
    static SystemEnvironment FromProcess();

    // The variable's value, or "" when unset.
    std::string Get(const std::string& name) const;
};

}  // namespace kavio
