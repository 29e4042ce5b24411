#pragma once

// A main window against real files in a temporary home folder, for the window's tests.

#include "app/kavio_form.h"

#include "base/codepage.h"
#include "base/line_file.h"
#include "config/environment.h"
#include "config/globals.h"
#include "config/ini_file.h"
#include "config/path_macros.h"
#include "controls/index_list_box.h"
#include "controls/labels.h"
#include "controls/memo_pad.h"
#include "desktop/play_sound.h"
#include "dialogs/message_boxes.h"
#include "qt/error_box.h"
#include "qt/text_codec.h"
#include "storage/active_page.h"
#include "storage/book_list.h"
#include "storage/page_details.h"
#include "storage/page_list.h"
#include "support/temp_dir.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace kavio::test {

using namespace kavio::qt;

// Sounds reach this list instead of the speakers: the event's file name, which the test sets to
// "<event>.wav" files that exist.
class RecordingOutput : public SoundOutput {
public:
    explicit RecordingOutput(QStringList& log) : m_log(log) {}
    bool PlayFile(const std::string& path, TPlayFlags) override
    {
        m_log.append(QString::fromStdString(std::filesystem::path(path).stem().string()));
        return true;
    }

private:
    QStringList& m_log;
};

inline std::string Sj(const char* utf8)
{
    return ToCp(QString::fromUtf8(utf8));
}

// The page file's body as the page stores it.
inline Lines BodyOf(const std::string& path)
{
    return TPageDetails(path).Body;
}

// The fixture: a program folder and a home folder with "Documents"; the window's sounds,
// error boxes and questions are recorded instead of shown.
class FormFixture : public QObject {
protected:
    std::unique_ptr<TempDir> m_dir;
    std::unique_ptr<TKavioForm> m_form;
    QStringList m_sounds;
    QStringList m_errors;
    QStringList m_questions;
    bool m_answer = true;
    SystemEnvironment m_env;

    std::string Personal() const { return m_dir->path() + "home/Documents/Kavio/"; }
    std::string AppFolder() const { return m_dir->path() + "app/"; }

    // A settings file for the coming start: the given lines, plus sound files for every event.
    void WriteSettings(const std::string& lines)
    {
        std::filesystem::create_directories(Personal());
        // No listener: other tests and programs may hold the API's port.
        std::string text = lines + "\r\n[KavioAPI]\r\nAcceptAPI=0\r\n[Sounds]\r\nEnabledSound=1\r\n";
        for (std::string_view event : settings::kSoundEvents) {
            const std::string wav = m_dir->path() + std::string(event) + ".wav";
            WriteRaw(wav, "RIFF");
            text += std::string(event) + "=" + wav + "\r\n";
        }
        WriteRaw(Personal() + "Kavio.ini", text);
    }

    void Start(bool firstStart = false)
    {
        if (!firstStart && !kavio::test::Exists(Personal() + "Kavio.ini"))
            WriteSettings("");
        m_sounds.clear();
        m_form = std::make_unique<TKavioForm>(std::make_unique<RecordingOutput>(m_sounds));
        QVERIFY(m_form->FormCreate(m_env));
    }

    void Stop()
    {
        if (m_form)
            m_form->close();
        m_form.reset();
    }

    TPageList& Pages() { return m_form->PageList(); }
    std::string PagePath(int index) { return Pages().GetFullPathOf(index); }
    void Type(const char* utf8) { m_form->MemoPad->SetSelTextCp(Sj(utf8)); }

    void InitTestCase()
    {
        SetErrorBoxHook([this](const QString& message) { m_errors.append(message); });
        SetMessageHook([this](const TMessageRequest& request, bool&) {
            m_questions.append(request.Text);
            return m_answer;
        });
    }

    void Init()
    {
        m_dir = std::make_unique<TempDir>();
        std::filesystem::create_directories(m_dir->path() + "home/Documents");
        std::filesystem::create_directories(AppFolder());
        m_env.executablePath = AppFolder() + "kavio";
        m_env.variables = {{"HOME", m_dir->path() + "home"}};
        InitPathMacros(m_env);
        m_errors.clear();
        m_questions.clear();
        m_answer = true;
    }

    void Cleanup()
    {
        Stop();
        QVERIFY2(m_errors.isEmpty(), qPrintable(m_errors.join(QLatin1Char('\n'))));
        m_dir.reset();
    }

};

}  // namespace kavio::test
