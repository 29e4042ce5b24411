// The window's commands: one named action each, with its caption, hint, shortcut and handler,
// and the idle-time rules that enable them. Menus, buttons and keys only trigger actions, so a
// disabled command does nothing from any route.

#include "app/kavio_form.h"

#include "controls/command_images.h"
#include "controls/frame_controls.h"
#include "controls/index_list_box.h"
#include "controls/labels.h"
#include "controls/memo_pad.h"
#include "desktop/play_sound.h"
#include "qt/text_codec.h"
#include "storage/book_data.h"
#include "storage/book_list.h"
#include "storage/page_list.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QListWidget>
#include <QMimeData>

namespace kavio::qt {
namespace {

constexpr int kMaxListCount = 32767;
const QString kTextFilter = QStringLiteral("テキストファイル(*.txt);;すべてのファイル(*)");

}  // namespace

QAction* TKavioForm::AddAction(const QString& name, const QString& caption, const QString& hint,
                               const QKeySequence& shortcut, std::function<void()> execute)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    // A hint is "tooltip|status text"; one without "|" serves as both.
    const QString tip = hint.section(QLatin1Char('|'), 0, 0);
    const QString status = hint.contains(QLatin1Char('|')) ? hint.section(QLatin1Char('|'), 1) : hint;
    action->setProperty("tooltip", tip);
    action->setToolTip(tip.isEmpty() ? caption : tip);
    action->setStatusTip(status);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    if (execute)
        connect(action, &QAction::triggered, this,
                [this, execute = std::move(execute)] { Safely(execute); });
    addAction(action);
    m_actions.insert(name, action);
    return action;
}

void TKavioForm::CreateActions()
{
    auto key = [](QKeyCombination combination) { return QKeySequence(combination); };
    const QKeySequence none;

    // Text files in and out.
    AddAction(QStringLiteral("FileOpen"), QStringLiteral("テキストファイルの取り込み(&O)..."),
              QStringLiteral("テキストファイルを読み込みます。"), none, [this] { FileOpenExecute(); })
        ->setIcon(CommandImage(10));
    AddAction(QStringLiteral("FileSaveAs"), QStringLiteral("テキストファイルに保存(&S)..."),
              QStringLiteral("現在のページをファイルに保存します。"), none,
              [this] { FileSaveAsExecute(); })
        ->setIcon(CommandImage(11));

    // New pages and the page's text.
    AddAction(QStringLiteral("AddNewPage"), QStringLiteral("新規ページ(&N)"),
              QStringLiteral("新しいページ|新しいページを作成します。"), key(Qt::CTRL | Qt::Key_N),
              [this] { AddNewPageExecute(); })
        ->setIcon(TitleButtonImage(TitleButton::NewPage));
    AddAction(QStringLiteral("AddNewPageWithCopy"), QStringLiteral("新規ページにコピー(&W)"),
              QStringLiteral("新しいページにコピー|新しいページにコピーします。"),
              key(Qt::CTRL | Qt::Key_W), [this] { AddNewPageWithCopyExecute(); })
        ->setIcon(TitleButtonImage(TitleButton::PasteNewPage));
    AddAction(QStringLiteral("PageWithCopy"), QStringLiteral("このページをコピー(&D)"),
              QStringLiteral("このページをコピー|このページをコピーします。"),
              key(Qt::CTRL | Qt::Key_D), [this] { PageWithCopyExecute(); })
        ->setIcon(TitleButtonImage(TitleButton::CopyPage));

    // Editing.
    AddAction(QStringLiteral("Cut"), QStringLiteral("切り取り(&T)"),
              QStringLiteral("選択範囲を切り取る|選択範囲をクリップボードに切り取ります。"),
              key(Qt::CTRL | Qt::Key_X), [this] { MemoPad->cut(); })
        ->setIcon(CommandImage(4));
    AddAction(QStringLiteral("Copy"), QStringLiteral("コピー(&C)"),
              QStringLiteral("選択範囲をコピー|選択範囲をクリップボードにコピーします。"),
              key(Qt::CTRL | Qt::Key_C), [this] { MemoPad->copy(); })
        ->setIcon(CommandImage(5));
    AddAction(QStringLiteral("Paste"), QStringLiteral("貼り付け(&P)"),
              QStringLiteral("クリップボードから貼り付け|クリップボードから文字列を貼り付けます。"),
              key(Qt::CTRL | Qt::Key_V), [this] { MemoPad->paste(); })
        ->setIcon(CommandImage(6));
    AddAction(QStringLiteral("Undo"), QStringLiteral("元に戻す(&U)"),
              QStringLiteral("元に戻す|直前の動作を元に戻す"), key(Qt::CTRL | Qt::Key_Z),
              [this] { MemoPad->undo(); })
        ->setIcon(CommandImage(7));
    AddAction(QStringLiteral("Redo"), QStringLiteral("やり直す(&R)"),
              QStringLiteral("やり直す|元に戻した動作をやり直します"), key(Qt::CTRL | Qt::Key_Y),
              [this] { MemoPad->redo(); })
        ->setIcon(CommandImage(8));
    AddAction(QStringLiteral("Delete"), QStringLiteral("削除(&D)"),
              QStringLiteral("選択範囲を削除|選択範囲を削除します。"), none,
              [this] { MemoPad->SetSelTextCp(std::string()); });
    AddAction(QStringLiteral("SelectAll"), QStringLiteral("すべて選択(&A)"),
              QStringLiteral("全体を選択|全体を選択します"), key(Qt::CTRL | Qt::Key_A),
              [this] { MemoPad->selectAll(); });

    // The list panel.
    AddAction(QStringLiteral("ToggleListState"), QStringLiteral("ToggleListState"), QString(), none,
              [this] { ToggleListState(); });

    // Window.
    AddAction(QStringLiteral("AppExit"), QStringLiteral("終了(&E)"),
              QStringLiteral("Kavioの終了|Kavioを終了します。"), key(Qt::ALT | Qt::Key_F4),
              [this] { AppExitExecute(); })
        ->setIcon(TitleButtonImage(TitleButton::Exit));
    QAction* topMost = AddAction(
        QStringLiteral("TopMost"), QStringLiteral("常に手前に表示(&T)"),
        QStringLiteral("常に手前に表示する|フォームを常に手前に表示する状態にします。"),
        key(Qt::CTRL | Qt::Key_T), nullptr);
    topMost->setCheckable(true);
    connect(topMost, &QAction::triggered, this, [this](bool on) { SetTopMost(on); });
    AddAction(QStringLiteral("ShowHideWindow"), QStringLiteral("ウィンドウを非表示/表示"),
              QStringLiteral("フォームの表示状態の切り替え|フォームの表示状態を切り替えます。"), none,
              [this] { SetWindowHidden(!IsWindowHidden(), true); })
        ->setIcon(TitleButtonImage(TitleButton::Hide));
    AddAction(QStringLiteral("Maximizewindow"), QStringLiteral("最大化(&M)"),
              QStringLiteral("フォームの最大化/元に戻す|フォームの最大化/最大化状態を元に戻します。"),
              none, [this] { MaximizewindowExecute(); })
        ->setIcon(FormStateImage(0));
    QAction* sound = AddAction(
        QStringLiteral("EnabledSound"), QStringLiteral("サウンド再生(&X)"),
        QStringLiteral("イベントサウンドを再生する|イベントサウンドを再生するかどうかを切り替えます。"),
        none, nullptr);
    sound->setCheckable(true);
    sound->setChecked(true);
    connect(sound, &QAction::toggled, this, [this](bool on) { m_playSound->Enabled = on; });

    // The radio groups whose item order is the index the settings store.
    auto group = [this](std::initializer_list<std::pair<const char*, const char*>> items,
                        std::initializer_list<const char*> hints) {
        auto* actionGroup = new QActionGroup(this);
        auto hint = hints.begin();
        for (const auto& [name, caption] : items) {
            QAction* action = AddAction(QString::fromUtf8(name), QString::fromUtf8(caption),
                                        QString::fromUtf8(*hint++), QKeySequence(), nullptr);
            action->setCheckable(true);
            actionGroup->addAction(action);
        }
        actionGroup->actions().front()->setChecked(true);
        return actionGroup;
    };
    m_toolBarPosGroup = group({{"ToolBarHide", "非表示(&H)"},
                               {"ToolBarRight", "右(&R)"},
                               {"ToolBarBottom", "下(&B)"},
                               {"ToolBarLeft", "左(&L)"},
                               {"ToolBarTop", "上(&T)"}},
                              {"ツールバーを非表示|ツールバーを非表示にします",
                               "ツールバーを右に表示|ツールバーをフォーム右に表示します",
                               "ツールバーを下に表示|ツールバーをフォーム下に表示します",
                               "ツールバーを左に表示|ツールバーをフォーム左に表示します",
                               "ツールバーを上に表示|ツールバーをフォーム上に表示します"});
    m_toolBarPosGroup->actions().at(1)->setChecked(true);
    connect(m_toolBarPosGroup, &QActionGroup::triggered, this, [this](QAction* action) {
        DockToolPanel(m_toolBarPosGroup->actions().indexOf(action));
    });
    m_shadeGroup = group(
        {{"ShadeDisable", "シェードしない(&D)"},
         {"ShadeWhenDisactive", "非アクティブ(&A)"},
         {"ShadeWhenMouseLeave", "マウスが離れた(&M)"},
         {"ShadeWhenTitleBar", "バークリック(&B)"}},
        {"ウィンドウシェードをしない|ウィンドウシェード機能を無効にします",
         "Kavio非アクティブでシェード|Kavio が非アクティブになったときに、ウィンドウシェードを行います",
         "", "タイトルバークリックでシェード|タイトルバークリックで、ウィンドウシェードを行います"});
    Action(QStringLiteral("ShadeDisable"))->setIcon(CommandImage(13));
    m_pageListPosGroup = group({{"PageListHide", "非表示(&H)"},
                                {"PageListLeft", "左(&L)"},
                                {"PageListRight", "右(&R)"}},
                               {"ページリストを非表示|ページリストを非表示にします",
                                "ページリストを左に表示する|ページリストをフォーム左に表示します。",
                                "ページリストを右に表示する|ページリストをフォーム右に表示します。"});
    m_pageListPosGroup->actions().at(1)->setChecked(true);
    Action(QStringLiteral("PageListLeft"))->setShortcut(QKeySequence(Qt::Key_F4));
    Action(QStringLiteral("PageListLeft"))->setIcon(CommandImage(3));
    connect(m_pageListPosGroup, &QActionGroup::triggered, this, [this](QAction* action) {
        Safely([this, action] { SetPageListPosition(m_pageListPosGroup->actions().indexOf(action)); });
    });

    // The clipboard is asked once per change, not at every idle moment.
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        m_clipboardHasText = data && data->hasText();
    });
    const QMimeData* data = QApplication::clipboard()->mimeData();
    m_clipboardHasText = data && data->hasText();
}

void TKavioForm::RunIdle()
{
    if (!m_created || m_destroyed)
        return;
    AppEventsIdle();
    ActionChangingIdle();
}

// Every rule costs the same on any page: the text length is kept by the memo pad.
void TKavioForm::ActionChangingIdle()
{
    auto enable = [this](const char* name, bool on) {
        if (QAction* action = m_actions.value(QString::fromLatin1(name)))
            action->setEnabled(on);
    };
    const bool hasText = MemoPad->length() > 0;
    const bool selection = MemoPad->HasSelection();
    const int pages = m_pageList->Count();
    const int books = m_bookList->Count();
    const int book = cBookList->ItemIndex();
    const TBookData* open = m_pageList->Book();
    enable("FileSaveAs", hasText);
    enable("PageWithCopy", hasText);
    enable("Cut", selection);
    enable("Copy", selection);
    enable("Delete", selection);
    enable("Paste", m_clipboardHasText);
    enable("Undo", MemoPad->isUndoAvailable());
    enable("Redo", MemoPad->isRedoAvailable());
    enable("AddNewPage", open && pages < kMaxListCount);
    enable("AddNewPageWithCopy", open && pages < kMaxListCount);
    enable("AddNewBook", books < kMaxListCount);
    enable("AddNewBookAppointDirectory", books < kMaxListCount);
    for (const char* name : {"RemovePage", "MoveUpPage", "MoveDownPage", "TurnUp", "TurnDown"})
        enable(name, pages > 1);
    for (const char* name : {"RemoveBook", "NextBook", "PrevBook"})
        enable(name, books > 1);
    enable("MoveUpBook", books > 1 && book > 0);
    enable("MoveDownBook", books > 1 && book > 0);
    enable("OpenBookDir", open && !open->Directory.empty());
    const bool clipSelected = ClipFileList->currentRow() >= 0 && !ClipFileList->selectedItems().isEmpty();
    enable("ClipFileDelete", clipSelected);
    enable("ClipFileOpen", clipSelected);
}

void TKavioForm::AppExitExecute()
{
    m_settings.ExitRequested = true;
    close();
    // A refused close leaves no request behind.
    m_settings.ExitRequested = false;
}

void TKavioForm::FileOpenExecute()
{
    const QString file = QFileDialog::getOpenFileName(this, QString(), QString(), kTextFilter);
    if (!file.isEmpty())
        ImportTextFile(ToCp(file));
}

void TKavioForm::FileSaveAsExecute()
{
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(kTextFilter);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        ExportText(ToCp(dialog.selectedFiles().front()));
}

void TKavioForm::AddNewPageExecute()
{
    m_playSound->Play("OnNewPage");
    m_playSound->SkipNext = true;
    cPageList->SetItemIndex(m_pageList->NewPage(std::string()));
}

void TKavioForm::AddNewPageWithCopyExecute()
{
    m_playSound->Play("OnNewPage");
    m_playSound->SkipNext = true;
    const std::string text = ToCp(QApplication::clipboard()->text());
    cPageList->SetItemIndex(m_pageList->NewPage(text));
    const int index = cPageList->ItemIndex();
    if (index >= 0) {
        m_pageList->SetTitle(index, MemoPad->LineCount() > 0 ? MemoPad->GetLine(0) : std::string());
        SaveActivePage();
    }
}

void TKavioForm::PageWithCopyExecute()
{
    QApplication::clipboard()->setText(FromCp(MemoPad->TextCp()));
}

}  // namespace kavio::qt
