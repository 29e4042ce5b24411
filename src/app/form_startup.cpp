// Start-up and shut-down of the main window. The order matters: the lists exist before their
// events are connected, the library is read before a book is opened, and the open book is
// written after everything else when the window closes.

#include "app/kavio_form.h"

#include "api/api_server.h"
#include "base/codepage.h"
#include "base/file_system.h"
#include "base/trace.h"
#include "config/globals.h"
#include "config/personal_folder.h"
#include "controls/editor_settings.h"
#include "controls/frame_controls.h"
#include "controls/gradient.h"
#include "controls/index_list_box.h"
#include "controls/labels.h"
#include "controls/memo_pad.h"
#include "desktop/play_sound.h"
#include "dialogs/message_boxes.h"
#include "qt/error_box.h"
#include "qt/text_codec.h"
#include "storage/active_page.h"
#include "storage/book_list.h"
#include "storage/page_list.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QTimer>

namespace kavio::qt {

TKavioForm::TKavioForm(std::unique_ptr<SoundOutput> sound, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    m_playSound = std::make_unique<TPlaySound>(sound ? std::move(sound) : MakeDesktopSoundOutput());
    AddMainWindowSoundEvents(*m_playSound);
    setWindowTitle(QStringLiteral("Kavio"));
    BuildWidgets();
    CreateActions();
    CreateNotebookActions();
    CreateToolActions();
    AddTitleButtons();
    BuildMenus();
    BuildToolPanel();
    m_apiServer = new TApiServer(*this, this);
    connect(m_apiServer, &TApiServer::listenFailed, this,
            [this](const QString& message) { ShowErrorBox(message, this); });
}

TKavioForm::~TKavioForm()
{
    if (m_created && !m_destroyed)
        FormDestroy();
    // The active page refers to the page list and the memo pad: free it first.
    m_activePage.reset();
    m_pageList.reset();
    m_bookList.reset();
}

bool TKavioForm::FormCreate(const SystemEnvironment& env)
{
    // 1. The personal folder; when it cannot be made nothing below runs and nothing is written.
    try {
        InitPersonalDirectory(env);
    } catch (const std::exception& e) {
        ShowErrorBox(QString::fromStdString(e.what()), this);
        return false;
    }
    // 2.-3.
    HintLabel->clear();
    SetListState(0);

    // 5. The library and the open book's page list. A library that cannot be read ends the
    // program before anything could overwrite it.
    try {
        m_bookList = std::make_unique<TBookList>(nullptr, kavio::PersonalDir);
        m_pageList = std::make_unique<TPageList>(m_bookList.get());
        m_bookList->SetPageList(m_pageList.get());
    } catch (const std::exception& e) {
        ShowErrorBox(QString::fromStdString(e.what()), this);
        m_pageList.reset();
        m_bookList.reset();
        return false;
    }
    m_activePage = std::make_unique<TActivePage>(*m_pageList, *MemoPad, *this);
    m_created = true;
    for (const TLoadProblem& problem : m_bookList->LoadProblems())
        ShowErrorBox(FromCp(problem.FileName) + QStringLiteral("\n") +
                         QString::fromStdString(problem.Message), this);

    // 6.-7. The list reactions, then the book list written and its control filled; no book
    // is open yet.
    ConnectListEvents();
    Safely([this] {
        m_bookList->OnChange(*m_bookList);
        m_bookList->OnChangeCount(*m_bookList);
    });

    // 9.-10. Window state, then the settings, scheme and editor settings from the same file.
    // Each step that fails is reported and the rest still run, so the window is fully set up.
    std::unique_ptr<TMemIniFileEx> ini;
    Safely([&] { ini = std::make_unique<TMemIniFileEx>(kavio::SettingsFile); });
    if (!ini)
        ini = std::make_unique<TMemIniFileEx>(std::string());
    Safely([&] { ReadWindowState(*ini); });
    Safely([&] { ApplySettings(*ini); });
    Safely([&] { ApplyScheme(SchemeDir + m_settings.Scheme); });
    Safely([&] {
        LoadEditorSettings(*MemoPad, *ini);
        MemoPad->SetTextColor(ToQColor(m_scheme.TextColor));
    });
    Safely([&] { BuildToolsMenu(*ini); });

    // 11.-13.
    ApplyActivation(QApplication::applicationState() == Qt::ApplicationActive);
    Safely([this] {
        if (m_pageList->OnChange)
            m_pageList->OnChange(*m_pageList);
    });
    UpdateClipListHeight();

    // 14.-16. A skip asked for while the book was opened must not swallow the first sound.
    TraceTime("初期化処理完了"_sj);
    TraceSeparator();
    m_playSound->SkipNext = false;
    m_initialized = true;
    return true;
}

bool TKavioForm::FormCloseQuery()
{
    bool close = true;
    if (m_settings.ExitRequested && m_settings.AppCloseQuery)
        close = ConfirmYesNo(QStringLiteral("Kavioを終了しますか？"), this);
    m_settings.ExitRequested = false;
    return close;
}

void TKavioForm::closeEvent(QCloseEvent* event)
{
    if (!m_destroyed && !FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormDestroy();
    event->accept();
    emit shutDown();
}

void TKavioForm::FormDestroy()
{
    if (m_destroyed || !m_created)
        return;
    m_destroyed = true;
    m_clock->stop();
    TraceSeparator();
    TraceTime("終了処理"_sj);
    // Each step is reported on its own; the open book is written in any case, and last.
    Safely([this] { m_apiServer->Close(); });
    Safely([this] {
        TMemIniFileEx ini(kavio::SettingsFile);
        WriteWindowState(ini);
        ini.UpdateFile();
    });
    Safely([this] { RemoveToolTempFiles(); });
    Safely([this] {
        if (m_pageList->Book())
            m_pageList->Save();
    });
    // Nothing may write after this point: the lists stay only for the widgets still painting.
    m_pageList->OnBookChanging = nullptr;
    m_pageList->OnBookChanged = nullptr;
    m_pageList->OnChange = nullptr;
    m_pageList->OnChangeCount = nullptr;
    m_bookList->OnChange = nullptr;
    m_bookList->OnChangeCount = nullptr;
    m_activePage->Page = nullptr;
}

// The text files the tools leave for "$TEXT": "mem*.tmp" in the program-data folder.
void TKavioForm::RemoveToolTempFiles()
{
    for (const std::string& name : fs::ListFiles(ProgramDataDir, "mem*.tmp"))
        fs::RemoveFile(ProgramDataDir + name);
}

void TKavioForm::Safely(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const std::exception& e) {
        ShowErrorBox(QString::fromStdString(e.what()), this);
    }
}

}  // namespace kavio::qt
