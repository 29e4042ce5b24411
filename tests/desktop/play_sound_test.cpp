#include "base/codepage.h"
#include "config/ini_file.h"
#include "desktop/play_sound.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace kavio;
using kavio::test::TempDir;

namespace {

struct Played {
    std::string path;
    TPlayFlags flags;
};

class RecordingOutput : public SoundOutput {
public:
    explicit RecordingOutput(std::vector<Played>& log) : m_log(log) {}
    bool PlayFile(const std::string& path, TPlayFlags flags) override
    {
        m_log.push_back({path, flags});
        return true;
    }

private:
    std::vector<Played>& m_log;
};

struct Fixture {
    TempDir dir;
    std::vector<Played> log;
    TPlaySound sounds{std::make_unique<RecordingOutput>(log)};

    Fixture()
    {
        AddMainWindowSoundEvents(sounds);
        kavio::test::WriteRaw(dir / "page.wav", "RIFF");
        sounds.FindEvent("OnNewPage")->FileName = dir / "page.wav";
        sounds.FindEvent("OnTurnOver")->FileName = dir / "page.wav";
        sounds.Enabled = true;
    }
};

}  // namespace

TEST(PlaySound, MainWindowHasSeventeenEventsInOrder)
{
    TPlaySound sounds(nullptr);
    AddMainWindowSoundEvents(sounds);
    ASSERT_EQ(sounds.Items.size(), 17u);
    EXPECT_EQ(sounds.Items.front().Name, "OnNewPage");
    EXPECT_EQ(sounds.Items.back().Name, "OnHide");
    EXPECT_EQ(sounds.FindEvent("ページめくり"_sj, TPlaySound::FindBy::Label)->Name, "OnTurnOver");
    EXPECT_EQ(sounds.AddEvent().Name, "OnExecute18");
    TSoundEvent unnamed;
    EXPECT_EQ(unnamed.GetDisplayName(), "無効なイベント"_sj);
}

// SkipNext swallows exactly one Play, and only one made while sounds are on.
TEST(PlaySound, SkipNextSwallowsTheNextPlayWhileEnabled)
{
    Fixture f;
    f.sounds.SkipNext = true;
    f.sounds.Enabled = false;
    f.sounds.Play("OnTurnOver");
    EXPECT_TRUE(f.sounds.SkipNext) << "a Play while sounds are off must not consume SkipNext";
    f.sounds.Enabled = true;
    f.sounds.Play("OnTurnOver");
    EXPECT_TRUE(f.log.empty());
    f.sounds.Play("onturnover");  // names are found without regard to case
    ASSERT_EQ(f.log.size(), 1u);
    EXPECT_EQ(f.log[0].flags, kDefaultPlayFlags);
}

// Nothing reaches the output for a missing file, an empty name or an unknown event.
TEST(PlaySound, SilentCasesNeverReachTheOutput)
{
    Fixture f;
    f.sounds.FindEvent("OnHide")->FileName = f.dir / "missing.wav";
    for (const char* name : {"OnHide", "OnShade", "NoSuchEvent", ""})
        f.sounds.Play(name);
    EXPECT_TRUE(f.log.empty());
    EXPECT_FALSE(f.sounds.PlayTestSound(f.dir / "missing.wav", false));
}

TEST(PlaySound, TestSoundDoesNotCutOffAndWaitsWhenAsked)
{
    Fixture f;
    EXPECT_TRUE(f.sounds.PlayTestSound(f.dir / "page.wav", true));
    EXPECT_TRUE(f.sounds.PlayTestSound(f.dir / "page.wav", false));
    ASSERT_EQ(f.log.size(), 2u);
    EXPECT_EQ(f.log[0].flags, static_cast<TPlayFlags>(TPlayFlag::sndNodefault) | static_cast<uint32_t>(TPlayFlag::sndNostop));
    EXPECT_EQ(f.log[1].flags, f.log[0].flags | static_cast<uint32_t>(TPlayFlag::sndAsync));
}

TEST(PlaySound, SettingsRoundTripAndMissingSwitchMeansOff)
{
    Fixture f;
    f.sounds.FindEvent("OnHide")->SaveLoad = false;
    f.sounds.FindEvent("OnHide")->FileName = "/x/hide.wav";
    {
        TMemIniFileEx ini(f.dir / "Kavio.ini");
        f.sounds.SaveSounds(ini, "Sounds");
        ini.UpdateFile();
    }
    const std::string written = kavio::test::ReadRaw(f.dir / "Kavio.ini");
    EXPECT_EQ(written.rfind("[Sounds]\r\nEnabledSound=1\r\nOnNewPage=" + f.dir.path() + "page.wav\r\nOnWashing=\r\n", 0), 0u)
        << written;
    EXPECT_EQ(written.find("OnHide"), std::string::npos);

    TPlaySound loaded(nullptr);
    AddMainWindowSoundEvents(loaded);
    TMemIniFileEx ini(f.dir / "Kavio.ini");
    loaded.LoadSounds(ini, "Sounds");
    EXPECT_TRUE(loaded.Enabled);
    EXPECT_EQ(loaded.FindEvent("OnNewPage")->FileName, f.dir / "page.wav");

    TMemIniFileEx empty(f.dir / "none.ini");
    loaded.LoadSounds(empty, "Sounds");
    EXPECT_FALSE(loaded.Enabled);
    EXPECT_EQ(loaded.FindEvent("OnNewPage")->FileName, "");
}

// Without a sound server the desktop output is silent and raises nothing.
TEST(PlaySound, DesktopOutputWithoutServerIsSilent)
{
    TempDir dir;
    kavio::test::WriteRaw(dir / "a.wav", "not really a wave file");
    TPlaySound sounds(MakeDesktopSoundOutput());
    EXPECT_NO_THROW(sounds.PlayTestSound(dir / "a.wav", false));
}
