// The page, book, mark and clip commands of the main window on real lists and files.

#include "form_fixture.h"

#include "dialogs/dialog_base.h"
#include "dialogs/page_title_dialog.h"
#include "storage/book_details.h"

#include <QListWidget>
#include <QToolBar>

#include "controls/frame_controls.h"
#include <QSplitter>

using namespace kavio;
using namespace kavio::qt;
using namespace kavio::test;

class CommandsTest : public FormFixture {
    Q_OBJECT

    void Trigger(const char* name) { m_form->Action(QString::fromLatin1(name))->trigger(); }
    bool Enabled(const char* name)
    {
        m_form->RunIdle();
        return m_form->Action(QString::fromLatin1(name))->isEnabled();
    }

    // The open book holds pages titled by the letters of `titles`, its first page first.
    void MakePages(const std::string& titles)
    {
        while (Pages().Count() < static_cast<int>(titles.size()))
            Trigger("AddNewPage");
        for (size_t i = 0; i < titles.size(); ++i)
            Pages().SetTitle(static_cast<int>(i), std::string(1, titles[i]));
    }

    QString Titles()
    {
        QString titles;
        for (int i = 0; i < Pages().Count(); ++i)
            titles += FromCp(Pages().GetTitle(i));
        return titles;
    }

    QString BookTitles()
    {
        QString titles;
        for (int i = 0; i < m_form->BookList().Count(); ++i)
            titles += FromCp(m_form->BookList().GetTitle(i));
        return titles;
    }

    std::string RowMarksOf(int page) { return GetKeyValue(TPageDetails(PagePath(page)).Header, "RowMarks"); }

private slots:
    void initTestCase() { InitTestCase(); }
    void init()
    {
        Init();
        SetDialogRunHook({});
    }
    void cleanup()
    {
        SetDialogRunHook({});
        Cleanup();
    }

    void pageCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("order");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("move the first up: it changes places with the last")
            << "MoveUpPage" << 0 << "CBA" << 2;
        QTest::newRow("move the last down: it changes places with the first")
            << "MoveDownPage" << 2 << "CBA" << 0;
        QTest::newRow("move down") << "MoveDownPage" << 0 << "BAC" << 1;
        QTest::newRow("turn up from the last wraps to the first") << "TurnUp" << 2 << "ABC" << 0;
        QTest::newRow("turn down from the first wraps to the last") << "TurnDown" << 0 << "ABC" << 2;
        QTest::newRow("removing the last selects the new last") << "RemovePage" << 2 << "AB" << 1;
        QTest::newRow("removing the first selects the next") << "RemovePage" << 0 << "BC" << 0;
    }

    void pageCommands()
    {
        QFETCH(QString, command);
        QFETCH(int, selected);
        QFETCH(QString, order);
        QFETCH(int, selectedAfter);
        Start();
        MakePages("ABC");
        m_form->cPageList->SetItemIndex(selected);
        m_form->RunIdle();
        m_form->Action(command)->trigger();
        QCOMPARE(Titles(), order);
        QCOMPARE(m_form->cPageList->ItemIndex(), selectedAfter);
        // The book file has the new order at once.
        const Lines body = TBookDetails(m_form->BookList().GetFullPathOf(0)).Body;
        QCOMPARE(static_cast<int>(body.size()), Pages().Count());
        for (int i = 0; i < Pages().Count(); ++i)
            QCOMPARE(body[i], Pages().GetFileName(i));
    }

    void onePageDisablesTheListCommands()
    {
        Start();
        for (const char* name : {"RemovePage", "MoveUpPage", "MoveDownPage", "TurnUp", "TurnDown",
                                 "RemoveBook", "NextBook", "PrevBook", "MoveUpBook"})
            QVERIFY2(!Enabled(name), name);
        Trigger("AddNewPage");
        QVERIFY(Enabled("RemovePage"));
        QVERIFY(Enabled("TurnUp"));
    }

    // A title given in the dialog reaches the list, the label and the page file; the priority
    // commands likewise.
    void titleAndPriority()
    {
        Start();
        SetDialogRunHook([](QDialog& dialog) {
            static_cast<TKavioPageTitleDlg&>(dialog).SetTitle(QStringLiteral("買い物"));
            return int(QDialog::Accepted);
        });
        Trigger("SetTitle");
        QCOMPARE(Pages().GetTitle(0), Sj("買い物"));
        QVERIFY(m_form->PageTitleText().endsWith(QStringLiteral("買い物")));
        Trigger("HighestPriority");
        const TPageDetails details(PagePath(0));
        QCOMPARE(GetKeyValue(details.Header, "Title"), Sj("買い物"));
        QCOMPARE(GetKeyValue(details.Header, "Priority"), std::string("1"));
        QCOMPARE(m_sounds, (QStringList{"OnSetTitle", "OnSetPriority"}));
    }

    // The first book never moves and is never removed; stepping stops at the ends.
    void bookCommands()
    {
        Start();
        m_form->BookList().SetTitle(0, "A");
        for (const char* title : {"B", "C", "D"})
            m_form->BookList().SetTitle(m_form->BookList().NewBook(kavio::PersonalDir), title);
        m_form->cBookList->SetItemIndex(1);
        Trigger("MoveUpBook");
        QCOMPARE(BookTitles(), QStringLiteral("ADCB"));
        QCOMPARE(m_form->cBookList->ItemIndex(), 3);
        Trigger("MoveDownBook");
        QCOMPARE(BookTitles(), QStringLiteral("ABCD"));
        QCOMPARE(m_form->cBookList->ItemIndex(), 1);
        QCOMPARE(ReadLines(Personal() + "BookFileList.lst").size(), size_t(4));

        m_form->cBookList->SetItemIndex(3);
        m_sounds.clear();
        Trigger("NextBook");
        QCOMPARE(m_form->cBookList->ItemIndex(), 3);
        QVERIFY(m_sounds.isEmpty());
        m_form->cBookList->SetItemIndex(0);
        m_sounds.clear();
        Trigger("PrevBook");
        QCOMPARE(m_form->cBookList->ItemIndex(), 0);
        QVERIFY(m_sounds.isEmpty());

        Trigger("RemoveBook");
        QCOMPARE(m_errors, QStringList{QStringLiteral("'A'は削除できません")});
        m_errors.clear();
        QCOMPARE(m_form->BookList().Count(), 4);
    }

    // A page moved into a book kept in another folder takes its file along and is listed last;
    // the open book never stays without a page.
    void movePageToBookInAnotherFolder()
    {
        Start();
        const std::string folder = m_dir->path() + "elsewhere/";
        std::filesystem::create_directories(folder);
        m_form->BookList().NewBook(folder);
        MakePages("AB");
        m_form->cPageList->SetItemIndex(1);
        Type("moved text");
        const std::string oldPath = PagePath(1);
        const std::string name = Pages().GetFileName(1);
        m_form->MovePageToBook(1);
        QCOMPARE(Titles(), QStringLiteral("A"));
        QVERIFY(!kavio::test::Exists(oldPath));
        QVERIFY(kavio::test::Exists(folder + name));
        const Lines other = TBookDetails(m_form->BookList().GetFullPathOf(1)).Body;
        QCOMPARE(other.back(), name);

        // The only page goes too: a new empty page takes its place, and typing is kept.
        m_form->MovePageToBook(1);
        QCOMPARE(Pages().Count(), 1);
        QVERIFY(Pages().GetTitle(0) != "A");
        Type("still written");
        QCOMPARE(BodyOf(PagePath(0)), Lines{"still written"});

        m_form->cBookList->SetItemIndex(1);
        QCOMPARE(Pages().Count(), 3);  // its own first page, then the two moved ones
        m_form->cPageList->SetItemIndex(1);
        QCOMPARE(m_form->MemoPad->GetLines(), Lines{"moved text"});
    }

    // Removing a book kept in its own folder and moving its pages to the first book: the pages
    // stay readable from there.
    void removeBookMovingItsPages()
    {
        Start();
        const std::string folder = m_dir->path() + "own/";
        std::filesystem::create_directories(folder);
        m_form->cBookList->SetItemIndex(m_form->BookList().NewBook(folder));
        Type("first of its own");
        m_form->RemoveBookPages(1);
        QCOMPARE(m_form->BookList().Count(), 1);
        QCOMPARE(m_form->cBookList->ItemIndex(), 0);
        QCOMPARE(Pages().Count(), 2);
        m_form->cPageList->SetItemIndex(1);
        QVERIFY(!m_form->MemoPad->isHidden());
        QCOMPARE(m_form->MemoPad->GetLines(), Lines{"first of its own"});
    }

    // Ctrl+F6 cycles no mark, suspended, finished, no mark; each step reaches the page file.
    void markCycle()
    {
        Start();
        Type("task");
        const char* expected[] = {"0=10", "0=11", ""};
        for (const char* marks : expected) {
            Trigger("SetToggleMark");
            QCOMPARE(RowMarksOf(0), std::string(marks));
        }
        Trigger("SetSuspendedMark");
        Trigger("SetFinishedMark");
        QCOMPARE(RowMarksOf(0), std::string("0=11"));
    }

    // The command keys reach their commands from the memo pad, where the user types.
    void keysFromTheMemoPad()
    {
        Start();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        m_form->MemoPad->setFocus();
        Type("a\r\nb");
        m_form->MemoPad->SetCaretRow(0);
        QTest::keyClick(m_form->MemoPad, Qt::Key_F6, Qt::ControlModifier);
        QCOMPARE(RowMarksOf(0), std::string("0=10"));
        QTest::keyClick(m_form->MemoPad, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(m_form->MemoPad->CaretLine(), 1);
        QTest::keyClick(m_form->MemoPad, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(m_form->MemoPad, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(m_form->cPageList->ItemIndex(), 0);
        QTest::keyClick(m_form->MemoPad, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(m_form->cPageList->ItemIndex(), 1);
        // Shift+Tab arrives as Backtab.
        QTest::keyClick(m_form->MemoPad, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_form->cPageList->ItemIndex(), 0);
        m_form->BookList().NewBook(kavio::PersonalDir);
        m_form->cBookList->SetItemIndex(1);
        QTest::keyClick(m_form->MemoPad, Qt::Key_Backtab,
                        Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(m_form->cBookList->ItemIndex(), 0);
    }

    // With the panel on the right a bar opens to the left of its picture, overlapping it by
    // 10 pixels; on top the column of pictures is a row.
    void toolPanel()
    {
        Start();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        auto* source = m_form->findChild<THoverdImage*>(QStringLiteral("EditsPopup"));
        auto* bar = m_form->findChild<QToolBar*>(QStringLiteral("EditsBar"));
        QVERIFY(source && bar);
        QCOMPARE(source->pos(), QPoint(1, 32));
        emit source->mouseEntered();
        QVERIFY(bar->isVisible());
        const QRect s(source->mapTo(m_form.get(), QPoint(0, 0)), source->size());
        QCOMPARE(bar->geometry().right(), s.right() - 10);
        QCOMPARE(bar->actions().size(), 5);

        Trigger("ToolBarTop");
        QCOMPARE(source->pos(), QPoint(32, 1));
        QVERIFY(!bar->isVisible());
        Trigger("ToolBarBottom");
        QCOMPARE(source->pos(), QPoint(32, 1));
        Trigger("ToolBarHide");
        QVERIFY(source->parentWidget()->isHidden());
    }

    void markJumps_data()
    {
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("line");
        // Lines 0 … 3 are finished, finished, unmarked, suspended.
        QTest::newRow("next unchecked") << 0 << "NextUnCheckMark" << 2;
        QTest::newRow("next suspended") << 0 << "NextSuspendMark" << 3;
        QTest::newRow("back unchecked") << 3 << "BackUnCheckMark" << 2;
        QTest::newRow("back suspended finds none") << 3 << "BackSuspendMark" << 3;
        QTest::newRow("nothing after the last line") << 3 << "NextUnCheckMark" << 3;
    }

    void markJumps()
    {
        QFETCH(int, caret);
        QFETCH(QString, command);
        QFETCH(int, line);
        Start();
        Type("a\r\nb\r\nc\r\nd");
        const int marks[] = {kMarkFinished, kMarkFinished, 0, kMarkSuspended};
        for (int i = 0; i < 4; ++i) {
            m_form->MemoPad->SetCaretRow(m_form->MemoPad->FirstRowOfLine(i));
            m_form->SetLineMark(marks[i]);
        }
        m_form->MemoPad->SetCaretRow(m_form->MemoPad->FirstRowOfLine(caret));
        m_form->Action(command)->trigger();
        QCOMPARE(m_form->MemoPad->CaretLine(), line);
        QCOMPARE(m_form->MemoPad->CaretColumn(), 0);
    }

    // The clip list collapses to a pixel without files and otherwise keeps its height; the page
    // file lists the clips.
    void clipFiles()
    {
        Start();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QTRY_COMPARE(m_form->ClipFileList->height(), 1);
        const std::string outside = m_dir->path() + "report.txt";
        WriteRaw(outside, "r");
        m_form->ClipFileTake(outside, true);
        QCOMPARE(m_form->ClipFileList->height(), 81);
        QVERIFY(kavio::test::Exists(Personal() + "report.txt"));
        const TPageDetails details(PagePath(0));
        QCOMPARE(details.ColonLines, Lines{"clipfile:report.txt"});

        m_form->ClipFileList->setCurrentRow(0);
        m_form->RunIdle();
        m_answer = true;
        Trigger("ClipFileDelete");
        QCOMPARE(m_form->ClipFileList->count(), 0);
        QCOMPARE(m_form->ClipFileList->height(), 1);
        QVERIFY(TPageDetails(PagePath(0)).ColonLines.empty());
    }

    // The tools menu reads the settings file's lines; a tool with "#WAIT #REDIR" puts its
    // output into the page file as an ordinary edit.
    void toolsMenuAndCapturedRun()
    {
        WriteSettings("[Tools]\r\nLine\t/bin/echo|line $LINE #WAIT #REDIR\r\n-\r\n"
                      "Caption only\r\nMissing\t/nonexistent/tool|#WAIT #REDIR");
        Start();
        const QList<QAction*> items = m_form->ToolMenuItems();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0]->text(), QStringLiteral("Line"));
        QCOMPARE(items[1]->text(), QStringLiteral("Caption only"));

        Type("first\r\n");
        items[0]->trigger();
        QCOMPARE(BodyOf(PagePath(0)), (Lines{"first", "line 1", ""}));
        QVERIFY(m_form->isEnabled());

        // A tool that cannot start is reported; the window is usable again.
        items[2]->trigger();
        QCOMPARE(m_errors.size(), 1);
        m_errors.clear();
        QVERIFY(m_form->isEnabled());
    }
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
