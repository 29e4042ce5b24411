#include "config/personal_folder.h"

#include "base/codepage.h"
#include "config/environment.h"
#include "config/file_naming.h"
#include "config/globals.h"
#include "config/ini_file.h"
#include "config/path_macros.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <unistd.h>

using namespace kavio;
using kavio::test::Exists;
using kavio::test::ReadRaw;
using kavio::test::TempDir;
using kavio::test::WriteRaw;

namespace {

std::set<std::string> Tree(const std::string& root)
{
    std::set<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        paths.insert(entry.path().string());
    return paths;
}

// A program folder "app/" with the executable and a home folder with "Documents" and ".config".
class PersonalFolder : public testing::Test {
protected:
    void SetUp() override
    {
        m_savedMacros = GetPathMacroFolders();
        home = m_dir.path() + "home";
        app = m_dir.path() + "app/";
        std::filesystem::create_directories(home + "/Documents");
        std::filesystem::create_directories(home + "/.config");
        std::filesystem::create_directories(app);
        env.executablePath = app + "kavio";
        env.variables = {{"HOME", home}};
        PersonalDir = SettingsFile = SchemeDir = AppDir = ProgramDataDir = HelpFile = "";
        DefaultTitle = "";
    }
    void TearDown() override { SetPathMacroFolders(m_savedMacros); }

    TempDir m_dir;
    std::string home;
    std::string app;
    SystemEnvironment env;

private:
    PathMacroFolders m_savedMacros;
};

}  // namespace

TEST_F(PersonalFolder, DefaultFolderUnderTheDocumentsFolder)
{
    const std::string location = "[PersonalDirectory]\r\nalice=/elsewhere\r\n";
    WriteRaw(app + "Kavio.ini", location);
    env.logonName = "";  // read under "DefaultUser", which has no entry
    RunStartupSteps(env);

    EXPECT_EQ(AppDir, app);
    EXPECT_EQ(ProgramDataDir, app);
    EXPECT_EQ(SchemeDir, app + "scheme/");
    EXPECT_EQ(PersonalDir, home + "/Documents/Kavio/");
    EXPECT_EQ(SettingsFile, home + "/Documents/Kavio/Kavio.ini");
    EXPECT_EQ(DefaultTitle, "名称未設定"_sj);
    EXPECT_EQ(HelpFile, app + "kavio.hlp");
    EXPECT_EQ(DefaultIniFile, app + "Kavio.ini");
    EXPECT_TRUE(std::filesystem::is_directory(SchemeDir));
    EXPECT_TRUE(std::filesystem::is_directory(PersonalDir));
    EXPECT_EQ(ReadRaw(app + "Kavio.ini"), location);  // the location file is only read
    EXPECT_GE(NameCounter, 1u);
    EXPECT_LE(NameCounter, 0xFFFFEu);
}

// Catches a wrong key, a macro left unexpanded, a missing trailing "/" and an empty entry that
// would make the root the personal folder.
TEST_F(PersonalFolder, LocationEntries)
{
    struct Case {
        std::string logon;
        std::string location;
        std::string personal;  // under the temporary folder
    };
    const Case cases[] = {
        {"bob", "[PersonalDirectory]\r\nBOB=%APPDATA%/Notes\r\n", "home/.config/Notes/"},
        {"", "[PersonalDirectory]\r\nDefaultUser=%PROFILE%/Memo/\r\n", "home/Memo/"},
        {"carol", "[PersonalDirectory]\r\ncarol=" + m_dir.path() + "plain\r\n", "plain/"},
        {"dave", "[PersonalDirectory]\r\ndave=\r\n", "home/Documents/Kavio/"},
        {"erin", "[PersonalDirectory]\r\n" "\x83\x5C" "=x\r\n", "home/Documents/Kavio/"},
    };
    for (const Case& c : cases) {
        WriteRaw(app + "Kavio.ini", c.location);
        env.logonName = c.logon;
        RunStartupSteps(env);
        EXPECT_EQ(PersonalDir, m_dir.path() + c.personal) << c.location;
        EXPECT_EQ(SettingsFile, PersonalDir + "Kavio.ini");
        EXPECT_TRUE(std::filesystem::is_directory(PersonalDir)) << c.location;
    }
}

TEST_F(PersonalFolder, ProgramFolderThatCannotBeWrittenMovesDataToXdgDataHome)
{
    // A program folder that does not exist stands in for a read-only one (root may write anywhere).
    env.executablePath = m_dir.path() + "usr/bin/kavio";
    const std::string data = m_dir.path() + "data/deep";
    env.variables["XDG_DATA_HOME"] = data;
    RunStartupSteps(env);
    EXPECT_EQ(AppDir, m_dir.path() + "usr/bin/");
    EXPECT_EQ(ProgramDataDir, data + "/kavio/");
    EXPECT_EQ(SchemeDir, data + "/kavio/scheme/");
    EXPECT_EQ(DefaultIniFile, data + "/kavio/Kavio.ini");
    EXPECT_TRUE(std::filesystem::is_directory(SchemeDir));
    EXPECT_FALSE(Exists(m_dir.path() + "usr"));

    // The location file is read from there.
    std::filesystem::create_directories(home + "/Other");
    WriteRaw(data + "/kavio/Kavio.ini", "[PersonalDirectory]\r\nDefaultUser=%PROFILE%/Other/Notes\r\n");
    RunStartupSteps(env);
    EXPECT_EQ(PersonalDir, home + "/Other/Notes/");
}

TEST_F(PersonalFolder, ReadOnlyProgramFolderMovesDataToTheDefaultDataHome)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    std::filesystem::permissions(app, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    RunStartupSteps(env);
    std::filesystem::permissions(app, std::filesystem::perms::owner_all);
    EXPECT_EQ(ProgramDataDir, home + "/.local/share/kavio/");
    EXPECT_FALSE(Exists(app + "scheme"));
}

// Catches a start-up that creates the scheme folder (or anything else) before finding out that
// the personal folder cannot be made.
TEST_F(PersonalFolder, MissingParentOfThePersonalFolderStopsWithNothingWritten)
{
    WriteRaw(app + "Kavio.ini", "[PersonalDirectory]\r\nDefaultUser=%PERSONAL%/no/such/Kavio\r\n");
    const auto before = Tree(m_dir.path());
    try {
        RunStartupSteps(env);
        FAIL() << "no error";
    } catch (const EStartupError& e) {
        EXPECT_STREQ(e.what(), "個人用ディレクトリが作成できません！");
    }
    EXPECT_EQ(Tree(m_dir.path()), before);
    EXPECT_EQ(PersonalDir, "");
    EXPECT_EQ(SchemeDir, "");
}

TEST_F(PersonalFolder, SchemeFolderThatCannotBeMadeStops)
{
    WriteRaw(app + "scheme", "a file in the way");
    EXPECT_THROW(RunStartupSteps(env), EStartupError);
    try {
        RunStartupSteps(env);
    } catch (const EStartupError& e) {
        EXPECT_STREQ(e.what(), "スキームディレクトリが作成できません！");
    }
}

namespace {

class RandomFileName : public testing::Test {
protected:
    void TearDown() override { SetNameRandomSource({}); }
    TempDir dir;
};

}  // namespace

TEST_F(RandomFileName, ConsecutiveNamesFromTheCounter)
{
    SetNameRandomSource([] { return 0x777u; });
    NameCounter = 0x3A;
    EXPECT_EQ(MakeRandomFileName(dir.path(), "mem", ".memo"), dir.path() + "mem   3A.memo");
    EXPECT_EQ(NameCounter, 0x3Bu);
    EXPECT_EQ(MakeRandomFileName(dir.path(), "mem", ".book"), dir.path() + "mem   3B.book");
    NameCounter = 0x100000;
    EXPECT_EQ(MakeRandomFileName(dir.path(), "mem", ".memo"), dir.path() + "mem100000.memo");
}

TEST_F(RandomFileName, TakenNameDrawsANewRandomNumber)
{
    SetNameRandomSource([] { return 0xABCDEu; });
    NameCounter = 0x3A;
    WriteRaw(dir.path() + "mem   3A.memo", "");
    EXPECT_EQ(MakeRandomFileName(dir.path(), "mem", ".memo"), dir.path() + "memABCDE.memo");
    EXPECT_EQ(NameCounter, 0xABCDFu);
}

TEST_F(RandomFileName, AllAttemptsTakenIsAnError)
{
    // Every fresh start draws 500, so the 256 attempts only ever try 500..504.
    SetNameRandomSource([] { return 0x500u; });
    NameCounter = 0x500;
    for (const char* name : {"mem  500.memo", "mem  501.memo", "mem  502.memo", "mem  503.memo", "mem  504.memo"})
        WriteRaw(dir.path() + name, "");
    try {
        MakeRandomFileName(dir.path(), "mem", ".memo");
        FAIL() << "no error";
    } catch (const EKavioError& e) {
        EXPECT_STREQ(e.what(), "ランダムファイル名を生成できませんでした。");
    }
}
