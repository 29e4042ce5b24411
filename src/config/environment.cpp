#include "config/environment.h"

#include "base/file_system.h"

#include <climits>
#include <pwd.h>
#include <unistd.h>

extern char** environ;

namespace kavio {

SystemEnvironment SystemEnvironment::FromProcess()
{
    SystemEnvironment env;
    char buffer[PATH_MAX + 1];
    ssize_t n = ::readlink("/proc/self/exe", buffer, PATH_MAX);
    if (n > 0) {
        std::string path;
        if (fs::FromNative(std::string(buffer, static_cast<size_t>(n)), path))
            env.executablePath = path;
    }
    for (char** p = environ; p && *p; ++p) {
        std::string entry = *p;
        size_t eq = entry.find('=');
        if (eq != std::string::npos)
            env.variables[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name && *pw->pw_name)
        fs::FromNative(pw->pw_name, env.logonName);
    if (env.logonName.empty())
        fs::FromNative(env.Get("USER"), env.logonName);
    if (env.logonName.size() > 255)
        env.logonName.resize(255);
    return env;
}

std::string SystemEnvironment::Get(const std::string& name) const
{
    auto it = variables.find(name);
    return it == variables.end() ? std::string() : it->second;
}

}  // namespace kavio
