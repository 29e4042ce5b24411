#pragma once

#include "api/api_host.h"
#include "config/app_settings.h"
#include "config/color_scheme.h"
#include "desktop/play_sound.h"
#include "storage/memo_pad_port.h"
#include "tools/tool_context_port.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QAction;
class QGridLayout;
class QToolBar;
class QActionGroup;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QStackedWidget;
class QTimer;

namespace kavio {
class TActivePage;
class TBookData;
class TBookList;
class TPageList;
struct SystemEnvironment;
}  // namespace kavio

namespace kavio::qt {

class TApiServer;
class TBevelLabel;
class TBorderdPanel;
class TDropDst;
class TEditorExMain;
class TEllipsisLabel;
class TGradientLabel;
class TIndexListBox;
class TNoCaptiondSpeedBtn;
class TSizeBox;
class TSizeRec;
class TTitleLabel;

// The main window: a borderless frame with its own title strip, the page list or the book list
// on the left, the memo pad with the clipped files under it, and a status bar. It owns the
// library, the open book's page list, the active page, the API server and the event sounds for
// the whole run; every keystroke in the memo pad is written to the page file at once.
//
// The code is split by concern: start-up and shut-down (form_startup.cpp), the widgets
// (form_layout.cpp), the active page and status line (form_active_page.cpp), the lists, titles
// and opening books (form_lists.cpp), settings and scheme (form_settings.cpp), the commands and
// their idle enabling (form_commands.cpp, form_menus.cpp), page and book commands
// (form_pages.cpp), line marks and clip files (form_marks.cpp), the tools (form_tools.cpp), the
// tool panel (form_toolpanel.cpp), window behaviour (form_window.cpp) and the API's view of the
// window (form_api.cpp).
class TKavioForm : public QWidget, public MainWindowPort, public ApiHost, public ToolContextPort {
    Q_OBJECT
public:
    // `sound` plays the event sounds; null for the desktop's sound library.
    explicit TKavioForm(std::unique_ptr<SoundOutput> sound = nullptr, QWidget* parent = nullptr);
    ~TKavioForm() override;

    // The start-up steps after the widgets exist. False when the personal folder cannot be made:
    // the message has been shown and nothing was written; the caller ends the program. A failure
    // in a later step is shown and the window runs with what was set up.
    bool FormCreate(const SystemEnvironment& env);
    // Whether the window may close now; asks "Kavioを終了しますか？" after the exit command when
    // the settings say so. Clears the exit request in every case.
    bool FormCloseQuery();
    // The shut-down steps: API connections closed, window state written, "mem*.tmp" removed,
    // the open book written last even when an earlier step failed. Runs once.
    void FormDestroy();
    bool Initialized() const { return m_initialized; }
    // Whether the window starts hidden (the settings ask to start minimised).
    bool StartHidden() const { return m_startHidden; }

    // The memo pad and the controls around it.
    TEditorExMain* MemoPad = nullptr;
    TIndexListBox* cPageList = nullptr;
    TIndexListBox* cBookList = nullptr;
    QListWidget* ClipFileList = nullptr;
    TGradientLabel* PBCaption = nullptr;
    TTitleLabel* PageTitle = nullptr;
    TEllipsisLabel* HintLabel = nullptr;
    TBevelLabel* CaretInfo = nullptr;
    TBevelLabel* LengthInfo = nullptr;
    TBevelLabel* TimerLabel = nullptr;

    TPageList& PageList() const { return *m_pageList; }
    TBookList& BookList() const { return *m_bookList; }
    TActivePage& ActivePage() const { return *m_activePage; }
    TAppSettings& AppSettings() { return m_settings; }
    const TColorScheme& ColorScheme() const { return m_scheme; }
    TPlaySound& PlaySound() const { return *m_playSound; }
    TApiServer& ApiServer() const { return *m_apiServer; }
    TSizeRec& SizeRec() const { return *m_sizeRec; }

    // Every command by its name ("AppExit", "FileOpen", ...); null for an unknown name.
    QAction* Action(const QString& name) const { return m_actions.value(name); }
    QList<QAction*> Actions() const { return m_actions.values(); }

    // The active page and autosave.
    // The memo pad's change handler (also the API's): the title rule, then the page is written.
    void MemoPadChange() override;
    void SaveActivePage();
    void ImportTextFile(const std::string& path);
    // Files dropped on the editor: one file replaces the text after a question (or is imported
    // when the answer is No); several are imported in order.
    void MemoPadDropFiles(const QStringList& files);
    void PageListDropFiles(const QStringList& files);
    void ExportText(const std::string& path);

    // Page and book commands that take an argument.
    void MovePageToBook(int book);
    // 0 deletes the open book's pages, 1 moves them to the first book, 2 leaves them; then the
    // open book is removed.
    void RemoveBookPages(int option);
    // Line marks: kMarkFinished, kMarkSuspended or 0 on the caret's line.
    void SetLineMark(int mark);
    // Clip files: one file, or a copy of it in the personal folder with `fetch`; dropped files.
    void ClipFileTake(const std::string& path, bool fetch);
    void ClipFileDropFiles(const QStringList& files);

    // The user's tools: the menu from the settings file's [Tools] section, and one run of the
    // tool whose line has `hint` after its TAB (program "|" template).
    void BuildToolsMenu(const TMemIniFileEx& ini);
    QList<QAction*> ToolMenuItems() const;
    void RunTool(const std::string& hint);

    // Lists and titles.
    void SetListState(int state);
    int ListState() const { return m_listState; }
    void ToggleListState();
    QString PageTitleText() const;
    // The book list row text: the title and, with a shortcut, "(" shortcut ")".
    QString BookRowText(int index) const;

    // Settings and scheme.
    void ApplySettings(TMemIniFileEx& ini);
    void ApplyScheme(const std::string& path);

    // The status line and the enabling of commands, as at every idle moment.
    void RunIdle();
    // The clock label, as the 100 ms timer sets it.
    void TimerTimer();
    static QString ClockText(const QTime& time);

    // Window behaviour.
    void SetWindowHidden(bool hide, bool sound);
    bool IsWindowHidden() const;
    void SetTopMost(bool on);
    // Runs `fn` as the program's top-level handler does: an error is shown in the error box and
    // the program goes on.
    void Safely(const std::function<void()>& fn);

    // MainWindowPort.
    void ClipFilesClear() override;
    void ClipFilesAdd(const std::string& path) override;
    int ClipFilesCount() const override;
    std::string ClipFileItem(int index) const override;
    void ShowPageTitle(const std::string& title) override;
    void UpdateClipListHeight() override;

    // ApiHost.
    std::string AppDir() const override;
    std::string PersonalDir() const override;
    std::string Text() const override;
    void SetText(const std::string& text) override;
    long TextLength() const override;
    std::string SelText() const override;
    void ReplaceSelection(const std::string& text) override;
    long SelStart() const override;
    long SelLength() const override;
    void SetSelection(long start, long length) override;
    std::string SelToken() const override;
    std::string FindString() const override;
    void SetFindString(const std::string& text) override;
    int BookCount() const override;
    void ReloadBook() override;
    void ReloadPage() override;
    void ShowInformation(const std::string& text) override;

    // ToolContextPort.
    std::optional<std::string> SelectedPagePath() const override;
    std::optional<std::string> SelectedBookPath() const override;
    std::string PageText() const override;
    std::string SelectedText() const override;
    std::string TokenAtCaret() const override;
    int CaretLine() const override;
    int ApiPort() const override;

signals:
    // The shut-down steps have run; the program may end.
    void shutDown();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // form_layout.cpp
    void BuildWidgets();
    QWidget* BuildTitleBar();
    QWidget* BuildPadPanel();
    QWidget* BuildPanelBar();
    void LayoutTitleBar();
    void AddTitleButtons();
    void PaintTitleBar();
    void PaintPageSquare();
    // form_commands.cpp
    void CreateActions();
    QAction* AddAction(const QString& name, const QString& caption, const QString& hint,
                       const QKeySequence& shortcut, std::function<void()> execute);
    void ActionChangingIdle();
    void AppExitExecute();
    void FileOpenExecute();
    void FileSaveAsExecute();
    void AddNewPageExecute();
    void AddNewPageWithCopyExecute();
    void PageWithCopyExecute();
    void MaximizewindowExecute();
    void UpdateHint(const QString& hint);
    // form_pages.cpp
    int SelectedPage() const;
    void RemovePageExecute();
    void SetTitleExecute();
    void MovePageExecute(int step);
    void TurnPageExecute(int step);
    void SetPriority(int priority);
    void AppendNewLineExecute();
    void InsertDateTime(bool date);
    void AddNewBookExecute(const std::string& directory);
    void AddNewBookAppointDirectoryExecute();
    void RemoveBookExecute();
    void SetBookTitleExecute();
    void SetBookShortCutExecute();
    void MoveBookExecute(int step);
    void StepBookExecute(int step);
    void OpenBookDirExecute();
    // form_marks.cpp
    int CaretMarkRow() const;
    void SetToggleMarkExecute();
    void JumpToMark(int step, const std::function<bool(uint16_t marks)>& wanted);
    void JumpToUnchecked(int step);
    void JumpToSuspended(int step);
    void MemoPadMarginClick(int line);
    void AddClipFile(const std::string& path);
    void ClipFileNewFileExecute();
    void ClipFileAddExecute();
    void ClipFileDeleteExecute();
    void ClipFileOpenExecute();
    // form_tools.cpp
    void CreateToolActions();
    void ToolSettingsExecute();
    // form_toolpanel.cpp
    void BuildToolPanel();
    void ShowPopupBar(int index);
    void CheckPopupBars();
    void DockToolPanel(int side);
    // form_menus.cpp
    void CreateNotebookActions();
    void BuildMenus();
    void PageMenuPopup();
    // form_active_page.cpp
    void cPageListChangeIndex();
    void AppEventsIdle();
    // form_lists.cpp
    void ConnectListEvents();
    void cBookListChangeIndex();
    // Opens `book` in the page list; the selection of the book before stays out of its file.
    void LoadBookInPageList(TBookData& book);
    void cPageListDrawItem(QPainter& painter, int index, const QRect& rect, bool selected);
    void cBookListDrawItem(QPainter& painter, int index, const QRect& rect, bool selected);
    bool FormShortCut(const QKeyEvent& event);
    void SaveOpenBook();
    // form_settings.cpp
    void ReadWindowState(TMemIniFileEx& ini);
    void WriteWindowState(TMemIniFileEx& ini);
    TScreenDefaults ScreenDefaults() const;
    void ClickToolBarPos(int index);
    int CheckedIndex(const QActionGroup* group) const;
    // form_startup.cpp
    void RemoveToolTempFiles();
    // form_window.cpp
    void SetTranslucent(bool on);
    void ApplyActivation(bool active);
    void SetPageListPosition(int position);

    std::unique_ptr<TPlaySound> m_playSound;
    std::unique_ptr<TBookList> m_bookList;
    std::unique_ptr<TPageList> m_pageList;
    std::unique_ptr<TActivePage> m_activePage;
    TApiServer* m_apiServer = nullptr;
    TSizeRec* m_sizeRec = nullptr;
    TAppSettings m_settings;
    TColorScheme m_scheme;

    QHash<QString, QAction*> m_actions;
    QActionGroup* m_toolBarPosGroup = nullptr;
    QActionGroup* m_shadeGroup = nullptr;
    QActionGroup* m_pageListPosGroup = nullptr;
    QActionGroup* m_priorityGroup = nullptr;
    QMenu* m_popupMenu = nullptr;
    QMenu* m_pageMenu = nullptr;
    QMenu* m_bookMenu = nullptr;
    QMenu* m_editorMenu = nullptr;
    QMenu* m_clipFilesMenu = nullptr;
    QMenu* m_movePagesMenu = nullptr;
    QMenu* m_toolMenu = nullptr;
    QGridLayout* m_padLayout = nullptr;
    QWidget* m_toolPanel = nullptr;
    QList<QWidget*> m_popupSources;
    QList<QToolBar*> m_popupBars;
    QTimer* m_popupTimer = nullptr;
    int m_toolPanelSide = 1;  // the tool-bar position menu's index: 1 right, 2 bottom, 3 left, 4 top

    QWidget* m_titleBar = nullptr;
    TSizeBox* m_titleSizeBox = nullptr;
    QWidget* m_pageSquare = nullptr;
    QList<TNoCaptiondSpeedBtn*> m_titleButtons;
    QWidget* m_padPanel = nullptr;
    QWidget* m_listPanel = nullptr;
    QStackedWidget* m_listStack = nullptr;
    QSplitter* m_hSplitter = nullptr;
    QSplitter* m_vSplitter = nullptr;
    QWidget* m_panelBar = nullptr;
    TDropDst* m_pageListDrop = nullptr;
    TDropDst* m_clipFileDrop = nullptr;
    QTimer* m_clock = nullptr;

    std::string m_lastFirstLine;
    int m_listState = 0;
    bool m_initialized = false;
    bool m_destroyed = false;
    bool m_created = false;
    bool m_translucent = false;
    bool m_startHidden = false;
    bool m_shownOnce = false;
    bool m_clipListLaidOut = false;
    bool m_openingBook = false;
    bool m_clipboardHasText = false;
    int m_swallowKey = 0;  // the key press after a book shortcut
    QString m_hint;
};

}  // namespace kavio::qt
