// The notebook's commands (pages, books, marks, clips, focus) and the context menus that
// offer them: the main menu, the page list's, the book list's, the memo pad's and the clip
// list's.

#include "app/kavio_form.h"

#include "config/globals.h"
#include "controls/command_images.h"
#include "controls/drop_target.h"
#include "controls/index_list_box.h"
#include "controls/memo_pad.h"
#include "dialogs/about_dialog.h"
#include "dialogs/dialog_base.h"
#include "qt/text_codec.h"
#include "storage/book_list.h"
#include "tools/process_runner.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QCursor>
#include <QListWidget>
#include <QMenu>

namespace kavio::qt {
namespace {

QKeySequence Keys(QKeyCombination combination)
{
    return QKeySequence(combination);
}

}  // namespace

void TKavioForm::CreateNotebookActions()
{
    const QKeySequence none;
    // Pages.
    AddAction(QStringLiteral("RemovePage"), QStringLiteral("ページの削除(&R)"),
              QStringLiteral("ページを削除|ページを削除します。"), Keys(Qt::CTRL | Qt::Key_Delete),
              [this] { RemovePageExecute(); })
        ->setIcon(CommandImage(9));
    AddAction(QStringLiteral("SetTitle"), QStringLiteral("ページタイトル(&T)..."),
              QStringLiteral("ページタイトルを設定|ページタイトルを設定します。"), Keys(Qt::Key_F2),
              [this] { SetTitleExecute(); })
        ->setIcon(CommandImage(0));
    AddAction(QStringLiteral("MoveUpPage"), QStringLiteral("上に移動(&M)"),
              QStringLiteral("ページを上に移動|ページを上に移動させます。"), Keys(Qt::CTRL | Qt::Key_Up),
              [this] { MovePageExecute(-1); });
    AddAction(QStringLiteral("MoveDownPage"), QStringLiteral("下に移動(&D)"),
              QStringLiteral("ページを下に移動|ページを下に移動させます。"),
              Keys(Qt::CTRL | Qt::Key_Down), [this] { MovePageExecute(1); });
    AddAction(QStringLiteral("TurnUp"), QStringLiteral("次のページ(&X)"),
              QStringLiteral("次のページを開く|次(リスト上の一つ下の)ページを開きます。"),
              Keys(Qt::CTRL | Qt::Key_Tab), [this] { TurnPageExecute(1); })
        ->setIcon(CommandImage(1));
    AddAction(QStringLiteral("TurnDown"), QStringLiteral("前のページ(&P)"),
              QStringLiteral("前のページを開く|前(リスト上の一つ上の)ページを開きます。"),
              Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), [this] { TurnPageExecute(-1); })
        ->setIcon(CommandImage(2));
    m_priorityGroup = new QActionGroup(this);
    const char* levels[] = {"最高", "高", "普通", "低", "最低"};
    const char* names[] = {"HighestPriority", "HighPriority", "NormalPriority", "LowPriority",
                           "LowestPriority"};
    for (int p = 1; p <= 5; ++p) {
        const QString level = QString::fromUtf8(levels[p - 1]);
        QAction* action = AddAction(
            QString::fromLatin1(names[p - 1]), QStringLiteral("重要度[%1]").arg(level),
            QStringLiteral("重要度を\"%1\"にする|このページの重要度を\"%1\"に設定します。").arg(level),
            Keys(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + p)), [this, p] { SetPriority(p); });
        action->setCheckable(true);
        m_priorityGroup->addAction(action);
    }
    Action(QStringLiteral("NormalPriority"))->setChecked(true);
    AddAction(QStringLiteral("AppendNewLine"), QStringLiteral("新しい行に貼り付け(&T)"),
              QStringLiteral("新しい行に貼り付け|文字列を新しい行に貼り付けます。"), none,
              [this] { AppendNewLineExecute(); });
    AddAction(QStringLiteral("InsertDate"), QStringLiteral("日付の挿入(&Y)"),
              QStringLiteral("日付を挿入|現在の日付を挿入します"), Keys(Qt::Key_F6),
              [this] { InsertDateTime(true); });
    AddAction(QStringLiteral("InsertTime"), QStringLiteral("時刻の挿入(&Z)"),
              QStringLiteral("時刻を挿入|現在の時刻を挿入します"), Keys(Qt::Key_F7),
              [this] { InsertDateTime(false); });

    // Books.
    AddAction(QStringLiteral("AddNewBook"), QStringLiteral("新規ブック(&B)"),
              QStringLiteral("新規ブックを作成|新規ブックを作成します"),
              Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_N), [this] { AddNewBookExecute(kavio::PersonalDir); });
    AddAction(QStringLiteral("AddNewBookAppointDirectory"),
              QStringLiteral("フォルダを指定してブックを作成(&A)..."),
              QStringLiteral("個人用フォルダ以外にブックを作成|個人用フォルダ以外にブックを作成します"),
              none, [this] { AddNewBookAppointDirectoryExecute(); });
    AddAction(QStringLiteral("RemoveBook"), QStringLiteral("ブックを破棄(&W)..."),
              QStringLiteral("開いているブックを破棄する|現在開いているブックを破棄します"),
              Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete), [this] { RemoveBookExecute(); });
    AddAction(QStringLiteral("SetBookTitle"), QStringLiteral("ブックタイトル(&I)..."),
              QStringLiteral("ブックのタイトルを設定する|ブックのタイトルを設定します"),
              Keys(Qt::SHIFT | Qt::Key_F2), [this] { SetBookTitleExecute(); });
    AddAction(QStringLiteral("SetBookShorCutKey"), QStringLiteral("ショートカットキーの設定(&S)..."),
              QStringLiteral("ショートカットキー|ブックにショートカットキーを設定します"), none,
              [this] { SetBookShortCutExecute(); });
    AddAction(QStringLiteral("MoveUpBook"), QStringLiteral("ブックを上に(&U)"),
              QStringLiteral("ブックを上に移動|ブックを上に移動させます。"),
              Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Up), [this] { MoveBookExecute(-1); });
    AddAction(QStringLiteral("MoveDownBook"), QStringLiteral("ブックを下に(&D)"),
              QStringLiteral("ブックを下に移動|ブックを下に移動させます。"),
              Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Down), [this] { MoveBookExecute(1); });
    AddAction(QStringLiteral("NextBook"), QStringLiteral("次のブック(&X)"),
              QStringLiteral("次のブックを開く|次のブックを開きます"), Keys(Qt::CTRL | Qt::ALT | Qt::Key_Tab),
              [this] { StepBookExecute(1); });
    AddAction(QStringLiteral("PrevBook"), QStringLiteral("前のブック(&P)"),
              QStringLiteral("前のブックを開く|前のブックを開きます"),
              Keys(Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_Backtab), [this] { StepBookExecute(-1); });
    AddAction(QStringLiteral("OpenBookDir"), QStringLiteral("現在のブックフォルダを開く(&O)"), QString(),
              none, [this] { OpenBookDirExecute(); });
    AddAction(QStringLiteral("OpenPersonalDir"), QStringLiteral("個人フォルダを開く(&D)"),
              QStringLiteral("個人フォルダを開く|個人用フォルダを開きます。"), none,
              [] { ShellOpen(kavio::PersonalDir); });

    // Line marks.
    AddAction(QStringLiteral("SetFinishedMark"), QStringLiteral("済(&F)"),
              QStringLiteral("済|現在行に済マークを付けます。"), none,
              [this] { SetLineMark(kMarkFinished); });
    AddAction(QStringLiteral("SetSuspendedMark"), QStringLiteral("保留(&S)"),
              QStringLiteral("保留|現在行に保留マークを付けます"), none,
              [this] { SetLineMark(kMarkSuspended); });
    AddAction(QStringLiteral("SetCancelMark"), QStringLiteral("解除(&C)"),
              QStringLiteral("解除|行マークをはずします"), none, [this] { SetLineMark(0); });
    AddAction(QStringLiteral("SetToggleMark"), QStringLiteral("マークの切り替え(&T)"),
              QStringLiteral("マークのトグル|行マークをトグルします。"), Keys(Qt::CTRL | Qt::Key_F6),
              [this] { SetToggleMarkExecute(); });
    AddAction(QStringLiteral("NextUnCheckMark"), QStringLiteral("次の未チェックへ(&N)"),
              QStringLiteral("次の未チェックへ|次の未チェック項目に移動します。"),
              Keys(Qt::ALT | Qt::Key_Down), [this] { JumpToUnchecked(1); });
    AddAction(QStringLiteral("BackUnCheckMark"), QStringLiteral("前の未チェックへ(&N)"),
              QStringLiteral("前の未チェックへ|前の未チェック項目に移動します。"),
              Keys(Qt::ALT | Qt::Key_Up), [this] { JumpToUnchecked(-1); });
    AddAction(QStringLiteral("NextSuspendMark"), QStringLiteral("次の保留へ(&S)"),
              QStringLiteral("次の保留へ|次の保留項目へ移動します。"),
              Keys(Qt::SHIFT | Qt::ALT | Qt::Key_Down), [this] { JumpToSuspended(1); });
    AddAction(QStringLiteral("BackSuspendMark"), QStringLiteral("前の保留へ(&S)"),
              QStringLiteral("前の保留へ|前の保留項目へ移動します。"),
              Keys(Qt::SHIFT | Qt::ALT | Qt::Key_Up), [this] { JumpToSuspended(-1); });

    // Clip files.
    AddAction(QStringLiteral("ClipFileNewFile"), QStringLiteral("ファイルを新規作成(&N)..."), QString(),
              none, [this] { ClipFileNewFileExecute(); });
    AddAction(QStringLiteral("ClipFileAdd"), QStringLiteral("ファイルを追加(&A)..."), QString(), none,
              [this] { ClipFileAddExecute(); });
    AddAction(QStringLiteral("ClipFileDelete"), QStringLiteral("ファイルを削除(&D)..."), QString(),
              none, [this] { ClipFileDeleteExecute(); });
    AddAction(QStringLiteral("ClipFileOpen"), QStringLiteral("ファイルを開く(&O)"), QString(), none,
              [this] { ClipFileOpenExecute(); });

    // Focus, menus and the rest of the main menu.
    auto popup = [this](QMenu* menu) { menu->popup(QCursor::pos()); };
    AddAction(QStringLiteral("SetFocusPageList"), QStringLiteral("ページリスト(&P)"),
              QStringLiteral("ページリストにフォーカス移動|ページリストにフォーカスを移動"),
              Keys(Qt::Key_F8), [this] { SetListState(0); cPageList->setFocus(); });
    AddAction(QStringLiteral("PageListMenuPopup"), QStringLiteral("ページリストメニュー(&L)"),
              QStringLiteral("ページリストメニュー|ページリストのメニューを表示する"),
              Keys(Qt::CTRL | Qt::Key_F8), [this, popup] { PageMenuPopup(); popup(m_pageMenu); });
    AddAction(QStringLiteral("SetFocusBookList"), QStringLiteral("ブックリスト(&B)"),
              QStringLiteral("ブックリストにフォーカス移動|ブックリストにフォーカスを移動"),
              Keys(Qt::Key_F9), [this] { SetListState(1); cBookList->setFocus(); });
    AddAction(QStringLiteral("BookListMenuPopup"), QStringLiteral("ブックリストメニュー(&K)"),
              QStringLiteral("ブックリストメニュー|ブックリストのメニューを表示する"),
              Keys(Qt::CTRL | Qt::Key_F9), [this, popup] { popup(m_bookMenu); });
    AddAction(QStringLiteral("SetFocusMemoPad"), QStringLiteral("パッド(&A)"),
              QStringLiteral("パッドにフォーカス移動|パッドにフォーカスを移動"), Keys(Qt::Key_F10),
              [this] { MemoPad->setFocus(); });
    AddAction(QStringLiteral("MemoPadMenuPopup"), QStringLiteral("パッドメニュー(&D)"),
              QStringLiteral("メモパッドメニュー|メモパッドのメニューを表示する"),
              Keys(Qt::CTRL | Qt::Key_F10), [this, popup] { popup(m_editorMenu); });
    AddAction(QStringLiteral("MainMenuPopup"), QStringLiteral("メインメニュー(&M)"),
              QStringLiteral("メインメニュー表示|メインメニューを表示する"), Keys(Qt::Key_F11),
              [this, popup] { popup(m_popupMenu); });
    AddAction(QStringLiteral("About"), QStringLiteral("Kavio のバージョン情報(&A)..."),
              QStringLiteral("バージョン情報|バージョン情報を見ます。"), none,
              [this] { ShowDialog<TKavioAbout>(0, {}, {}, m_settings, this); })
        ->setIcon(CommandImage(15));
    // There is no help file on this desktop: help stays disabled.
    QAction* help = AddAction(QStringLiteral("HelpContents"), QStringLiteral("ヘルプ(&H)"),
                              QStringLiteral("ヘルプを表示|ヘルプを表示します。"), Keys(Qt::Key_F1), nullptr);
    help->setIcon(CommandImage(16));
    help->setEnabled(false);
}

void TKavioForm::BuildMenus()
{
    auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (!*name)
                menu->addSeparator();
            else
                menu->addAction(Action(QString::fromLatin1(name)));
        }
    };
    m_popupMenu = new QMenu(this);
    add(m_popupMenu->addMenu(QStringLiteral("ページ操作(&P)")),
        {"AddNewPage", "AddNewPageWithCopy", "PageWithCopy", "SetTitle", "", "TurnUp", "TurnDown",
         "RemovePage"});
    add(m_popupMenu->addMenu(QStringLiteral("ページリスト(&G)")),
        {"PageListHide", "PageListLeft", "PageListRight"});
    add(m_popupMenu->addMenu(QStringLiteral("ツールバー(&B)")),
        {"ToolBarHide", "ToolBarRight", "ToolBarBottom", "ToolBarLeft", "ToolBarTop"});
    add(m_popupMenu, {"", "FileOpen", "FileSaveAs", "", "EnabledSound"});
    // MainMenuPopup stays out of every menu; its key works all the same.
    add(m_popupMenu->addMenu(QStringLiteral("フォーカス(&F)")),
        {"SetFocusPageList", "PageListMenuPopup", "SetFocusBookList", "BookListMenuPopup",
         "SetFocusMemoPad", "MemoPadMenuPopup"});
    m_toolMenu = m_popupMenu->addMenu(CommandImage(12), QStringLiteral("ツール(&T)"));
    m_toolMenu->setObjectName(QStringLiteral("ToolMenus"));
    m_toolMenu->setToolTip(QStringLiteral("ツールメニューを表示"));
    m_toolMenu->menuAction()->setStatusTip(QStringLiteral("ツールメニューを表示します"));
    QMenu* shade = m_popupMenu->addMenu(CommandImage(13), QStringLiteral("ウィンドウシェード(&W)"));
    shade->setObjectName(QStringLiteral("WindowShadeMenus"));
    shade->menuAction()->setStatusTip(QStringLiteral("シェード状態を変更します"));
    add(shade, {"ShadeDisable", "ShadeWhenDisactive", "ShadeWhenMouseLeave", "ShadeWhenTitleBar"});
    add(m_popupMenu, {"TopMost", "", "About", "HelpContents", "OpenPersonalDir", "AppExit"});

    m_pageMenu = new QMenu(this);
    add(m_pageMenu, {"AddNewPage", "MoveUpPage", "MoveDownPage", "RemovePage", "", "SetTitle"});
    add(m_pageMenu->addMenu(QStringLiteral("重要度(&P)")),
        {"HighestPriority", "HighPriority", "NormalPriority", "LowPriority", "LowestPriority"});
    m_movePagesMenu = m_pageMenu->addMenu(QStringLiteral("ページの移動(&Y)"));
    m_movePagesMenu->setObjectName(QStringLiteral("MovePages"));
    add(m_pageMenu, {"", "TurnUp", "TurnDown"});
    connect(m_pageMenu, &QMenu::aboutToShow, this, [this] { PageMenuPopup(); });

    m_bookMenu = new QMenu(this);
    add(m_bookMenu, {"AddNewBook", "AddNewBookAppointDirectory", "MoveUpBook", "MoveDownBook",
                     "OpenBookDir", "RemoveBook", "", "SetBookTitle", "SetBookShorCutKey", "",
                     "NextBook", "PrevBook"});

    m_editorMenu = new QMenu(this);
    add(m_editorMenu, {"Undo", "Redo", "", "Cut", "Copy", "Paste", "Delete", ""});
    // SetToggleMark stays out of the menu; Ctrl+F6 works all the same.
    add(m_editorMenu->addMenu(QStringLiteral("マーク(&M)")),
        {"SetFinishedMark", "SetSuspendedMark", "SetCancelMark", "", "NextUnCheckMark",
         "BackUnCheckMark", "NextSuspendMark", "BackSuspendMark"});
    add(m_editorMenu->addMenu(QStringLiteral("クリップ(&L)")),
        {"ClipFileNewFile", "ClipFileAdd", "ClipFileDelete", "ClipFileOpen"});
    add(m_editorMenu, {"", "SelectAll", "", "InsertDate", "InsertTime"});

    m_clipFilesMenu = new QMenu(this);
    add(m_clipFilesMenu, {"ClipFileNewFile", "ClipFileAdd", "ClipFileDelete", "ClipFileOpen"});

    // Right-clicks open the menus of the controls, anywhere else the main menu.
    MemoPad->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(MemoPad, &QWidget::customContextMenuRequested, this,
            [this] { RunIdle(); m_editorMenu->popup(QCursor::pos()); });
    for (auto [list, menu] : {std::pair<QWidget*, QMenu**>{cPageList, &m_pageMenu},
                              std::pair<QWidget*, QMenu**>{cBookList, &m_bookMenu},
                              std::pair<QWidget*, QMenu**>{ClipFileList, &m_clipFilesMenu}}) {
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QWidget::customContextMenuRequested, this, [this, menu = menu] {
            RunIdle();
            (*menu)->popup(QCursor::pos());
        });
    }
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this] { RunIdle(); m_popupMenu->popup(QCursor::pos()); });

    connect(ClipFileList, &QListWidget::itemDoubleClicked, this,
            [this] { Action(QStringLiteral("ClipFileOpen"))->trigger(); });
    ClipFileList->setToolTip(QStringLiteral("ダブルクリックでファイルを開く"));
    ClipFileList->setStatusTip(QStringLiteral("このページにクリップされているファイルの一覧です"));
    m_clipFileDrop = new TDropDst(ClipFileList, this);
    m_clipFileDrop->SetOnFileDrop(
        [this](QObject*, const QStringList& files, int, int) { ClipFileDropFiles(files); });
    connect(MemoPad, &TEditorExMain::leftMarginClicked, this,
            [this](int line) { Safely([this, line] { MemoPadMarginClick(line); }); });
}

// The submenu "ページの移動(&Y)": one item per book, the open one disabled.
void TKavioForm::PageMenuPopup()
{
    m_movePagesMenu->clear();
    for (int i = 0; i < m_bookList->Count(); ++i) {
        QAction* item = m_movePagesMenu->addAction(BookRowText(i));
        item->setObjectName(QStringLiteral("Menus") + QString::asprintf("%02X", i));
        item->setData(i);
        item->setEnabled(i != cBookList->ItemIndex());
        connect(item, &QAction::triggered, this, [this, i] { Safely([this, i] { MovePageToBook(i); }); });
    }
}

}  // namespace kavio::qt
