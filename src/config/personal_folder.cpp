#include "config/personal_folder.h"

#include "base/codepage.h"
#include "base/file_system.h"
#include "config/environment.h"
#include "config/file_naming.h"
#include "config/globals.h"
#include "config/ini_file.h"
#include "config/path_macros.h"

namespace kavio {
namespace {

const char kSchemeFolderError[] = "スキームディレクトリが作成できません！";
const char kPersonalFolderError[] = "個人用ディレクトリが作成できません！";

// The folders from the root down to `folder` that do not exist yet, outermost first.
std::vector<std::string> MissingFolders(const std::string& folder)
{
    std::vector<std::string> missing;
    std::string path = fs::ExcludeTrailingDelimiter(folder);
    while (!path.empty() && path != "/" && !fs::DirectoryExists(path)) {
        missing.insert(missing.begin(), path);
        path = fs::ExcludeTrailingDelimiter(fs::ExtractFilePath(path));
    }
    return missing;
}

// The executable's path with its extension replaced by (or, without one, followed by) `ext`.
std::string ChangeFileExt(const std::string& path, const std::string& ext)
{
    const size_t nameStart = path.rfind(fs::kDelimiter) + 1;  // npos + 1 == 0
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart || dot == nameStart)
        return path + ext;
    return path.substr(0, dot) + ext;
}

}  // namespace

void InitPersonalDirectory(const SystemEnvironment& env)
{
    const std::string appDir = fs::ExtractFilePath(env.executablePath);

    // The location file and the scheme folder live beside the program when its folder is
    // writable (a build tree, a copy in the home folder), otherwise in the user's data folder.
    std::string programDataDir = appDir;
    std::vector<std::string> dataFoldersToMake;
    if (!fs::IsWritableDirectory(appDir)) {
        const std::string dataHome = XdgDataHome(env);
        if (dataHome.empty())
            throw EStartupError(kSchemeFolderError);
        programDataDir = dataHome + "/kavio/";
        dataFoldersToMake = MissingFolders(programDataDir);
    }
    const std::string schemeDir = programDataDir + "scheme/";
    const std::string locationFile = programDataDir + "Kavio.ini";

    std::string personalDir;
    {
        const TMemIniFileEx location(locationFile);
        const std::string key = env.logonName.empty() ? std::string("DefaultUser") : env.logonName;
        const std::string def = "%PERSONAL%/Kavio";
        std::string stored = location.ReadString("PersonalDirectory", key, def);
        // An empty entry would make the root the personal folder: it counts as no entry.
        personalDir = ExpandPathMacros(stored.empty() ? def : stored);
    }
    personalDir = fs::IncludeTrailingDelimiter(personalDir);

    // The personal folder is made one level deep: its parent must exist already.
    const bool personalMissing = !fs::DirectoryExists(personalDir);
    if (personalMissing &&
        !fs::DirectoryExists(fs::ExtractFilePath(fs::ExcludeTrailingDelimiter(personalDir))))
        throw EStartupError(kPersonalFolderError);

    for (const std::string& folder : dataFoldersToMake)
        if (!fs::CreateDirectory(folder))
            throw EStartupError(kSchemeFolderError);
    if (!fs::DirectoryExists(schemeDir) && !fs::CreateDirectory(schemeDir))
        throw EStartupError(kSchemeFolderError);
    if (personalMissing && !fs::CreateDirectory(personalDir))
        throw EStartupError(kPersonalFolderError);

    AppDir = appDir;
    ProgramDataDir = programDataDir;
    SchemeDir = schemeDir;
    PersonalDir = personalDir;
    SettingsFile = personalDir + "Kavio.ini";
    DefaultTitle = "名称未設定"_sj;
    HelpFile = ChangeFileExt(env.executablePath, ".hlp");
    DefaultIniFile = locationFile;
    NameCounter = RandomNameCounter();
}

void RunStartupSteps(const SystemEnvironment& env)
{
    InitPathMacros(env);
    InitPersonalDirectory(env);
}

}  // namespace kavio
