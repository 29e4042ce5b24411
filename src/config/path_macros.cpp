#include "config/path_macros.h"

#include "base/file_system.h"
#include "base/line_file.h"
#include "config/environment.h"

#include <string_view>

namespace kavio {
namespace {

enum Row : size_t {
    kPersonal,
    kMyMusic,
    kAppData,
    kCommonAppData,
    kWindows,
    kSystems,
    kProgramFiles,
    kMyPictures,
    kProfile,
    kProgramFilesCommon,
    kApplication,
};

PathMacroFolders& Folders()
{
    static PathMacroFolders folders;
    return folders;
}

// A variable's value as code-page bytes, or "" when unset or not representable.
std::string Variable(const SystemEnvironment& env, const std::string& name)
{
    std::string value;
    if (!fs::FromNative(env.Get(name), value))
        return {};
    return value;
}

std::string WithoutTrailingDelimiter(std::string path)
{
    while (path.size() > 1 && path.back() == fs::kDelimiter)
        path.pop_back();
    return path;
}

bool IsAbsolute(const std::string& path)
{
    return !path.empty() && path.front() == fs::kDelimiter;
}

std::string Home(const SystemEnvironment& env)
{
    std::string home = Variable(env, "HOME");
    return IsAbsolute(home) ? WithoutTrailingDelimiter(home) : std::string();
}

std::string XdgHome(const SystemEnvironment& env, const char* variable, const char* fallback)
{
    std::string value = Variable(env, variable);
    if (IsAbsolute(value))
        return WithoutTrailingDelimiter(value);
    std::string home = Home(env);
    return home.empty() ? std::string() : home + fallback;
}

// One entry of user-dirs.dirs: XDG_DOCUMENTS_DIR="$HOME/Documents". Only "$HOME/..." and
// absolute paths are valid there.
struct UserDirs {
    std::string documents, music, pictures, desktop;
};

UserDirs ReadUserDirs(const SystemEnvironment& env, const std::string& home)
{
    UserDirs dirs;
    const std::string config = XdgConfigHome(env);
    if (config.empty())
        return dirs;
    const std::string file = config + "/user-dirs.dirs";
    Lines lines;
    try {
        if (!fs::FileExists(file))
            return dirs;
        lines = ReadLines(file);
    } catch (const std::exception&) {
        return dirs;  // an unreadable file is the same as none: the usual fallbacks apply
    }
    for (const std::string& raw : lines) {
        std::string line;
        if (!fs::FromNative(raw, line))
            continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos || line.empty() || line[0] == '#')
            continue;
        std::string key = line.substr(0, eq);
        std::string value = line.substr(eq + 1);
        if (value.size() < 2 || value.front() != '"' || value.back() != '"')
            continue;
        value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/')) {
            if (home.empty())
                continue;
            value = home + value.substr(5);
        } else if (!IsAbsolute(value)) {
            continue;
        }
        value = WithoutTrailingDelimiter(value);
        if (key == "XDG_DOCUMENTS_DIR")
            dirs.documents = value;
        else if (key == "XDG_MUSIC_DIR")
            dirs.music = value;
        else if (key == "XDG_PICTURES_DIR")
            dirs.pictures = value;
        else if (key == "XDG_DESKTOP_DIR")
            dirs.desktop = value;
    }
    return dirs;
}

std::string ExistingOr(const std::string& path, const std::string& fallback)
{
    return !path.empty() && fs::DirectoryExists(path) ? path : fallback;
}

bool StartsWith(const std::string& text, std::string_view prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string XdgConfigHome(const SystemEnvironment& env)
{
    return XdgHome(env, "XDG_CONFIG_HOME", "/.config");
}

std::string XdgDataHome(const SystemEnvironment& env)
{
    return XdgHome(env, "XDG_DATA_HOME", "/.local/share");
}

void InitPathMacros(const SystemEnvironment& env)
{
    const std::string home = Home(env);
    const UserDirs dirs = ReadUserDirs(env, home);
    PathMacroFolders f;

    std::string desktop = ExistingOr(dirs.desktop.empty() && !home.empty() ? home + "/Desktop" : dirs.desktop, home);
    if (!dirs.documents.empty())
        f[kPersonal] = dirs.documents;
    else
        f[kPersonal] = ExistingOr(home.empty() ? std::string() : home + "/Documents", desktop);

    auto userFolder = [&](const std::string& fromDirs, const char* underHome) {
        if (!fromDirs.empty())
            return fromDirs;
        return ExistingOr(home.empty() ? std::string() : home + underHome, f[kPersonal]);
    };
    f[kMyMusic] = userFolder(dirs.music, "/Music");
    f[kAppData] = XdgConfigHome(env);
    f[kCommonAppData] = XdgDataHome(env);
    f[kWindows] = "/";
    f[kSystems] = "/usr/bin";
    f[kProgramFiles] = "/usr";
    f[kMyPictures] = userFolder(dirs.pictures, "/Pictures");
    f[kProfile] = home;
    f[kProgramFilesCommon] = "/usr/share";
    f[kApplication] = WithoutTrailingDelimiter(fs::ExtractFilePath(env.executablePath));
    Folders() = std::move(f);
}

void SetPathMacroFolders(const PathMacroFolders& folders)
{
    Folders() = folders;
}

const PathMacroFolders& GetPathMacroFolders()
{
    return Folders();
}

std::string ExpandPathMacros(const std::string& text)
{
    for (size_t row = 0; row < kPathMacroCount; ++row) {
        std::string_view macro = kPathMacros[row];
        if (StartsWith(text, macro))
            return Folders()[row] + text.substr(macro.size());
    }
    return text;
}

std::string FoldPathMacros(const std::string& path)
{
    for (size_t row = 0; row < kPathMacroCount; ++row) {
        const std::string& folder = Folders()[row];
        // The root would swallow every absolute path before the rows after it (pictures, home,
        // program folder) got their turn, so it is only ever expanded, never folded into.
        if (folder.empty() || folder == "/")
            continue;
        if (StartsWith(path, folder))
            return kPathMacros[row] + path.substr(folder.size());
    }
    return path;
}

}  // namespace kavio
