#include "config/path_macros.h"

#include "base/codepage.h"
#include "config/environment.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kavio;
using kavio::test::TempDir;
using kavio::test::WriteRaw;

namespace {

// Restores the process-wide table after each test.
class PathMacros : public testing::Test {
protected:
    void SetUp() override { m_saved = GetPathMacroFolders(); }
    void TearDown() override { SetPathMacroFolders(m_saved); }

    static PathMacroFolders Table()
    {
        return {"/home/u/Documents", "/home/u/Documents/Music", "/home/u/.config",
                "/home/u/.local/share", "/", "/usr/bin", "/usr", "/home/u/Pictures", "/home/u",
                "/usr/share", "/opt/kavio"};
    }

private:
    PathMacroFolders m_saved;
};

}  // namespace

TEST_F(PathMacros, ExpandOnlyAnExactMacroAtTheStart)
{
    SetPathMacroFolders(Table());
    const std::pair<std::string, std::string> cases[] = {
        {"%PERSONAL%/Kavio", "/home/u/Documents/Kavio"},
        {"%personal%/Kavio", "%personal%/Kavio"},
        {"/x/%PERSONAL%/Kavio", "/x/%PERSONAL%/Kavio"},
        {"%APPDATA%/Notes", "/home/u/.config/Notes"},
        {"%PROGRAM_FILES_COMMON%/a", "/usr/share/a"},  // not %PROGRAM_FILES% + "_COMMON%"
        {"%PROGRAM_FILES%/a", "/usr/a"},
        {"%APPLICATION%", "/opt/kavio"},
        {"%WINDOWS%etc", "/etc"},
        {"%PERSONAL%/" + "メモ"_sj, "/home/u/Documents/" + "メモ"_sj},
        {"", ""},
    };
    for (const auto& [text, expanded] : cases)
        EXPECT_EQ(ExpandPathMacros(text), expanded) << text;
}

// Catches folding that does not follow table order (music inside documents must become
// %PERSONAL%), and rows with an unknown folder that would swallow every path.
TEST_F(PathMacros, FoldTakesTheFirstMatchingRowInTableOrder)
{
    PathMacroFolders folders = Table();
    folders[8] = "";  // %PROFILE% unknown
    SetPathMacroFolders(folders);
    const std::pair<std::string, std::string> cases[] = {
        {"/home/u/Documents/Kavio/scheme", "%PERSONAL%/Kavio/scheme"},
        {"/home/u/Documents/Music/a.wav", "%PERSONAL%/Music/a.wav"},
        {"/home/u/Pictures/p.png", "%MYPICTURES%/p.png"},
        {"/usr/share/sounds/x.wav", "%PROGRAM_FILES%/share/sounds/x.wav"},
        {"/home/U/Documents/x", "/home/U/Documents/x"},  // letter case counts
        {"relative/path", "relative/path"},
        {"/opt/kavio/kavio.hlp", "%APPLICATION%/kavio.hlp"},  // the root never folds
        {"/home/u/x", "/home/u/x"},                           // %PROFILE% is unknown
    };
    for (const auto& [path, folded] : cases) {
        EXPECT_EQ(FoldPathMacros(path), folded) << path;
        EXPECT_EQ(ExpandPathMacros(FoldPathMacros(path)), path) << path;
    }
    // Long paths are kept whole.
    const std::string longPath = "/home/u/Documents/" + std::string(400, 'a');
    EXPECT_EQ(ExpandPathMacros(FoldPathMacros(longPath)), longPath);
}

TEST_F(PathMacros, FoldersComeFromUserDirsAndTheEnvironment)
{
    TempDir dir;
    const std::string home = dir.path() + "home";
    std::filesystem::create_directories(home + "/.config");
    std::filesystem::create_directories(home + "/Dokumente");
    WriteRaw(home + "/.config/user-dirs.dirs",
             "# written by xdg-user-dirs-update\n"
             "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
             "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente/\"\n"
             "XDG_MUSIC_DIR=\"/srv/music\"\n"
             "XDG_PICTURES_DIR=\"relative/ignored\"\n");
    SystemEnvironment env;
    env.executablePath = dir.path() + "bin/kavio";
    env.variables = {{"HOME", home + "/"}};
    InitPathMacros(env);
    const PathMacroFolders expected = {
        home + "/Dokumente", "/srv/music", home + "/.config", home + "/.local/share", "/",
        "/usr/bin", "/usr", home + "/Dokumente", home, "/usr/share", dir.path() + "bin"};
    EXPECT_EQ(GetPathMacroFolders(), expected);
}

TEST_F(PathMacros, FallbacksWithoutUserDirs)
{
    TempDir dir;
    const std::string home = dir.path() + "h";
    const std::string config = dir.path() + "cfg";
    std::filesystem::create_directories(home + "/Desktop");
    std::filesystem::create_directories(home + "/Pictures");
    std::filesystem::create_directories(config);
    // user-dirs.dirs is looked for under $XDG_CONFIG_HOME, so the one under ~/.config is ignored.
    std::filesystem::create_directories(home + "/.config");
    WriteRaw(home + "/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Elsewhere\"\n");

    SystemEnvironment env;
    env.executablePath = "/opt/kavio/kavio";
    env.variables = {{"HOME", home}, {"XDG_CONFIG_HOME", config}, {"XDG_DATA_HOME", "relative"}};
    InitPathMacros(env);
    const PathMacroFolders& f = GetPathMacroFolders();
    EXPECT_EQ(f[0], home + "/Desktop");   // no Documents: the desktop
    EXPECT_EQ(f[1], home + "/Desktop");   // no Music: the documents folder
    EXPECT_EQ(f[2], config);
    EXPECT_EQ(f[3], home + "/.local/share");  // a relative XDG_DATA_HOME is ignored
    EXPECT_EQ(f[7], home + "/Pictures");
    EXPECT_EQ(f[10], "/opt/kavio");

    std::filesystem::remove(home + "/Desktop");
    InitPathMacros(env);
    EXPECT_EQ(GetPathMacroFolders()[0], home);  // then the home folder
}
