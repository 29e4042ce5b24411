#include "desktop/play_sound.h"

#include "base/codepage.h"
#include "base/file_system.h"
#include "config/ini_file.h"

#include <canberra.h>

#include <cctype>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace kavio {
namespace {

bool Has(TPlayFlags flags, TPlayFlag flag)
{
    return (flags & static_cast<uint32_t>(flag)) != 0;
}

// libcanberra plays in a thread of its own; sound id 1 is the event sound, so that a new one can
// cut off the one still playing, and id 2 the test sound, which never cuts anything off.
class CanberraOutput final : public SoundOutput {
public:
    CanberraOutput() = default;
    ~CanberraOutput() override
    {
        if (m_context)
            ca_context_destroy(m_context);
    }

    bool PlayFile(const std::string& path, TPlayFlags flags) override
    {
        if (!Open())
            return false;
        const bool cutOff = !Has(flags, TPlayFlag::sndNostop);
        const uint32_t id = cutOff ? 1 : 2;
        if (cutOff)
            ca_context_cancel(m_context, 1);
        const std::string native = fs::ToNative(path);
        if (Has(flags, TPlayFlag::sndAsync))
            return ca_context_play(m_context, id, CA_PROP_MEDIA_FILENAME, native.c_str(), nullptr) == CA_SUCCESS;
        return PlayAndWait(id, native);
    }

private:
    // The sound server is reached at the first sound, not at start-up: most runs play none,
    // and connecting costs the start of the program time.
    bool Open()
    {
        if (m_tried)
            return m_context != nullptr;
        m_tried = true;
        if (ca_context_create(&m_context) != CA_SUCCESS) {
            m_context = nullptr;
            return false;
        }
        ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Kavio", nullptr);
        if (ca_context_open(m_context) != CA_SUCCESS) {
            ca_context_destroy(m_context);
            m_context = nullptr;
        }
        return m_context != nullptr;
    }

    struct Waiter {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
    };

    static void Finished(ca_context*, uint32_t, int, void* userdata)
    {
        auto* waiter = static_cast<Waiter*>(userdata);
        std::lock_guard lock(waiter->mutex);
        waiter->finished = true;
        waiter->done.notify_all();
    }

    bool PlayAndWait(uint32_t id, const std::string& native)
    {
        ca_proplist* props = nullptr;
        if (ca_proplist_create(&props) != CA_SUCCESS)
            return false;
        ca_proplist_sets(props, CA_PROP_MEDIA_FILENAME, native.c_str());
        // On the heap: a callback that comes after we gave up must not touch a dead frame.
        auto* waiter = new Waiter;
        const bool ok = ca_context_play_full(m_context, id, props, &CanberraOutput::Finished, waiter) == CA_SUCCESS;
        ca_proplist_destroy(props);
        if (!ok) {
            delete waiter;
            return false;
        }
        std::unique_lock lock(waiter->mutex);
        // A sound server that never reports the end must not hang the program.
        if (!waiter->done.wait_for(lock, std::chrono::seconds(60), [&] { return waiter->finished; })) {
            lock.unlock();
            ca_context_cancel(m_context, id);
            return false;  // the waiter is left to the late callback
        }
        lock.unlock();
        delete waiter;
        return ok;
    }

    ca_context* m_context = nullptr;
    bool m_tried = false;
};

}  // namespace

std::string TSoundEvent::GetDisplayName() const
{
    return Name.empty() ? "無効なイベント"_sj : Name;
}

std::unique_ptr<SoundOutput> MakeDesktopSoundOutput()
{
    return std::make_unique<CanberraOutput>();
}

TPlaySound::TPlaySound(std::unique_ptr<SoundOutput> output) : m_output(std::move(output)) {}

TPlaySound::~TPlaySound() = default;

TSoundEvent& TPlaySound::AddEvent(std::string name, std::string label)
{
    TSoundEvent event;
    event.Name = name.empty() ? "OnExecute" + std::to_string(Items.size() + 1) : std::move(name);
    event.EventLabel = std::move(label);
    Items.push_back(std::move(event));
    return Items.back();
}

void TPlaySound::Play(const std::string& eventName)
{
    if (!Enabled)
        return;
    if (SkipNext) {
        SkipNext = false;
        return;
    }
    if (const TSoundEvent* event = FindEvent(eventName, FindBy::Name))
        PlayFile(event->FileName, PlayFlags);
}

bool TPlaySound::PlayFile(const std::string& path, TPlayFlags flags)
{
    // A name that is no file would be a sound resource of the program, and it carries none.
    try {
        if (path.empty() || !fs::FileExists(path))
            return false;
        return m_output && m_output->PlayFile(path, flags);
    } catch (const std::exception&) {
        return false;  // playing never reports an error
    }
}

bool TPlaySound::PlayTestSound(const std::string& path, bool wait)
{
    TPlayFlags flags = static_cast<uint32_t>(TPlayFlag::sndNodefault) | static_cast<uint32_t>(TPlayFlag::sndNostop);
    if (!wait)
        flags |= static_cast<uint32_t>(TPlayFlag::sndAsync);
    return PlayFile(path, flags);
}

TSoundEvent* TPlaySound::FindEvent(const std::string& text, FindBy by)
{
    for (TSoundEvent& event : Items)
        if (cp932::EqualsIgnoreCase(by == FindBy::Name ? event.Name : event.EventLabel, text))
            return &event;
    return nullptr;
}

void TPlaySound::LoadSounds(TMemIniFileEx& ini, const std::string& section)
{
    Enabled = ini.ReadBool(section, "EnabledSound", false);
    for (TSoundEvent& event : Items)
        if (event.SaveLoad)
            event.FileName = ini.ReadString(section, event.Name, "");
}

void TPlaySound::SaveSounds(TMemIniFileEx& ini, const std::string& section) const
{
    ini.WriteBool(section, "EnabledSound", Enabled);
    for (const TSoundEvent& event : Items)
        if (event.SaveLoad)
            ini.WriteString(section, event.Name, event.FileName);
}

void AddMainWindowSoundEvents(TPlaySound& sounds)
{
    static const struct {
        const char* name;
        const char* label;
    } kEvents[] = {
        {"OnNewPage", "新規ページ作成"},       {"OnWashing", "テキスト取り込み"},
        {"OnDeletePage", "ページ削除"},        {"OnTurnOver", "ページめくり"},
        {"OnMovement", "ページの移動"},        {"OnSetTitle", "ページタイトル設定"},
        {"OnSetPriority", "重要度設定"},       {"OnNewBook", "新規ブック作成"},
        {"OnChangeBook", "ブックの変更"},      {"OnDeleteBook", "ブックの削除"},
        {"OnShowTreeMode", "リストの表示非表示"}, {"OnShade", "折りたたみ"},
        {"OnUnShade", "折りたたみ解除"},       {"OnHotkey", "ホットキー操作実行"},
        {"OnRestore", "元に戻す"},             {"OnMaximize", "最大化"},
        {"OnHide", "隠す"},
    };
    for (const auto& e : kEvents)
        sounds.AddEvent(e.name, cp932::FromUtf8Strict(e.label));
}

}  // namespace kavio
