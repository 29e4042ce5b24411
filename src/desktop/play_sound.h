#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kavio {

class TMemIniFileEx;

// One event of the sound component: played by name, its wave file chosen by the user.
struct TSoundEvent {
    std::string Name;        // key for Play and in the settings section
    std::string EventLabel;  // shown by the preferences dialog (code-page bytes)
    std::string FileName;    // the wave file, code-page bytes; empty for none
    bool SaveLoad = true;    // takes part in LoadSounds and SaveSounds

    // Name, or "無効なイベント" when the name is empty (code-page bytes).
    std::string GetDisplayName() const;
    bool operator==(const TSoundEvent&) const = default;
};

enum class TPlayFlag : uint32_t {
    sndAsync = 0x1,
    sndNodefault = 0x2,
    sndLoop = 0x8,
    sndNostop = 0x10,
    sndNoWait = 0x2000,
};
using TPlayFlags = uint32_t;  // a set of TPlayFlag values

constexpr TPlayFlags kDefaultPlayFlags =
    static_cast<uint32_t>(TPlayFlag::sndAsync) | static_cast<uint32_t>(TPlayFlag::sndNodefault);

// Where the sounds go: the desktop's event-sound library, or a recorder in tests.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Plays a wave file; a sound still playing is cut off unless `flags` holds sndNostop, and
    // with sndAsync off the call returns when the sound has ended. False when it cannot play.
    virtual bool PlayFile(const std::string& path, TPlayFlags flags) = 0;
};

// The libcanberra output. Silent, never an error, where no sound server exists.
std::unique_ptr<SoundOutput> MakeDesktopSoundOutput();

// Plays the wave file of an event chosen by name; sounds can be switched off as a whole, and
// SkipNext swallows the next Play so that a command's follow-up stays quiet.
class TPlaySound {
public:
    explicit TPlaySound(std::unique_ptr<SoundOutput> output);
    ~TPlaySound();

    std::vector<TSoundEvent> Items;
    bool Enabled = false;
    TPlayFlags PlayFlags = kDefaultPlayFlags;
    bool SkipNext = false;

    // Appends an event; an empty name becomes "OnExecute" + the new number of events.
    TSoundEvent& AddEvent(std::string name = {}, std::string label = {});

    void Play(const std::string& eventName);
    // Plays `path` when such a file exists; otherwise nothing (the program carries no sounds).
    bool PlayFile(const std::string& path, TPlayFlags flags);
    // Plays a file as it is, without cutting off a sound already playing; waits when asked.
    bool PlayTestSound(const std::string& path, bool wait);

    enum class FindBy { Name, Label };
    // The first event whose name (or label) equals `text` without regard to letter case.
    TSoundEvent* FindEvent(const std::string& text, FindBy by = FindBy::Name);

    void LoadSounds(TMemIniFileEx& ini, const std::string& section);
    void SaveSounds(TMemIniFileEx& ini, const std::string& section) const;

private:
    std::unique_ptr<SoundOutput> m_output;
};

// The 17 events of the main window, in their fixed order, with their labels.
void AddMainWindowSoundEvents(TPlaySound& sounds);

}  // namespace kavio
