// The main window against real files in a temporary home folder: start-up on an empty personal
// folder, the page shown and written on every change, the lists' reactions, the status line,
// the close query and what shut-down writes.

#include "form_fixture.h"

using namespace kavio;
using namespace kavio::qt;
using namespace kavio::test;

class FormTest : public FormFixture {
    Q_OBJECT

private slots:
    void initTestCase() { InitTestCase(); }
    void init() { Init(); }
    void cleanup() { Cleanup(); }

    // An empty personal folder: one book and one page titled "名称未設定", the library written
    // during start-up, the settings file only at shut-down, with its keys in order.
    void firstStartAndShutDown()
    {
        Start(true);
        // Another program may hold the API's default port; that is reported and nothing else.
        m_errors.erase(std::remove_if(m_errors.begin(), m_errors.end(),
                                      [](const QString& e) { return e.contains(QStringLiteral("ソケットエラー")); }),
                       m_errors.end());
        QCOMPARE(m_form->BookList().Count(), 1);
        QCOMPARE(Pages().Count(), 1);
        QCOMPARE(Pages().GetTitle(0), Sj("名称未設定"));
        const std::string book = m_form->BookList().GetFileName(0);
        QCOMPARE(ReadRaw(Personal() + "BookFileList.lst"), book + "\r\n");
        QVERIFY(!kavio::test::Exists(Personal() + "Kavio.ini"));
        QCOMPARE(m_form->cBookList->ItemIndex(), 0);
        QCOMPARE(m_form->cPageList->ItemIndex(), 0);
        QCOMPARE(m_form->PageTitleText(), QStringLiteral("名称未設定->名称未設定"));
        QVERIFY(!m_form->MemoPad->isHidden());
        QCOMPARE(m_form->Action(QStringLiteral("ToolBarRight"))->isChecked(), true);

        Stop();
        const Lines ini = ReadLines(Personal() + "Kavio.ini");
        QStringList keys;
        for (const std::string& line : ini)
            keys.append(QString::fromStdString(line.substr(0, line.find('='))));
        const QStringList expected = {"[Window]",  "TopMost",  "Shade",        "ToolBarPos",
                                      "ClipListSize", "FormSize", "",          "[Page]",
                                      "ListState", "BookTitleJointer", "",     "[Sounds]",
                                      "EnabledSound", ""};
        QCOMPARE(keys, expected);
        QVERIFY(std::find(ini.begin(), ini.end(), "ListState=1") != ini.end());
        QVERIFY(std::find(ini.begin(), ini.end(), "BookTitleJointer=->") != ini.end());
    }

    // Every change of the memo pad reaches the page file at once; a restart shows the page.
    void typingWritesThePageFile()
    {
        Start();
        Type("メモ\r\n二行目");
        QCOMPARE(BodyOf(PagePath(0)), (Lines{Sj("メモ"), Sj("二行目")}));
        m_form->MemoPad->undo();
        QCOMPARE(BodyOf(PagePath(0)), Lines{});
        m_form->MemoPad->redo();
        Stop();
        Start();
        QCOMPARE(m_form->MemoPad->GetLines(), (Lines{Sj("メモ"), Sj("二行目")}));
        QVERIFY(!m_form->MemoPad->Modified());
    }

    // Selecting the shown page again reads nothing and plays nothing; a page whose file is gone
    // hides the editor until a page with a file is chosen.
    void selectionFlow()
    {
        WriteSettings("");
        Start();
        m_form->Action(QStringLiteral("AddNewPage"))->trigger();
        Type("second");
        QCOMPARE(m_form->cPageList->ItemIndex(), 1);
        m_sounds.clear();

        m_form->cPageList->SetItemIndex(0);
        QCOMPARE(m_sounds, QStringList{QStringLiteral("OnTurnOver")});
        QCOMPARE(m_form->ActivePage().Page, &Pages().Pages(0));

        // The shown page is not read again: a change made on disk stays unseen.
        WriteRaw(PagePath(0), "plain text\r\n");
        m_form->cPageList->ResetIndex();
        m_form->cPageList->SetItemIndex(0);
        QCOMPARE(m_sounds.size(), 1);
        QCOMPARE(m_form->MemoPad->LineCount(), 0);

        std::filesystem::remove(PagePath(1));
        m_form->cPageList->SetItemIndex(1);
        QVERIFY(m_form->MemoPad->isHidden());
        QCOMPARE(m_form->ActivePage().Page, &Pages().Pages(0));
        m_form->cPageList->SetItemIndex(0);
        QVERIFY(!m_form->MemoPad->isHidden());
        QCOMPARE(m_form->MemoPad->GetLines(), Lines{"plain text"});
    }

    void titleFollowsFirstLine_data()
    {
        QTest::addColumn<int>("policy");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("follows while typed") << 1 << QStringList{"a", "b", "c"}
                                             << QStringList{"a", "ab", "abc"};
        QTest::newRow("empty first line keeps it")
            << 1 << QStringList{"\r\n", "x"} << QStringList{"名称未設定", "名称未設定"};
        QTest::newRow("policy 0 never follows") << 0 << QStringList{"a", "b"}
                                                << QStringList{"名称未設定", "名称未設定"};
    }

    void titleFollowsFirstLine()
    {
        QFETCH(int, policy);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, titles);
        WriteSettings("[Page]\r\nNewPageTitlePolicy=" + std::to_string(policy));
        Start();
        for (int i = 0; i < typed.size(); ++i) {
            Type(typed[i].toUtf8().constData());
            QCOMPARE(FromCp(Pages().GetTitle(0)), titles[i]);
        }
        // The page file and the title label have the title.
        TPageDetails details(PagePath(0));
        QCOMPARE(FromCp(GetKeyValue(details.Header, "Title")), titles.back());
        QVERIFY(m_form->PageTitleText().endsWith(titles.back()));
    }

    // A title the user gave stops the following.
    void userTitleStopsFollowing()
    {
        WriteSettings("[Page]\r\nNewPageTitlePolicy=1");
        Start();
        Type("abc");
        Pages().SetTitle(0, "mine");
        Type("d");
        QCOMPARE(Pages().GetTitle(0), std::string("mine"));
    }

    void statusLine()
    {
        Start();
        m_form->RunIdle();
        QCOMPARE(m_form->CaretInfo->text(), QStringLiteral("  0:  1"));
        QCOMPARE(m_form->LengthInfo->text(), QStringLiteral("    0文字"));
        Type("あa\r\nbc");
        m_form->RunIdle();
        // Two bytes for あ, one for a, CR LF after each line.
        QCOMPARE(m_form->LengthInfo->text(), QStringLiteral("    9文字"));
        QCOMPARE(m_form->CaretInfo->text(), QStringLiteral("  1:  3"));
        QCOMPARE(m_form->TextLength(), 7L);

        QCOMPARE(TKavioForm::ClockText(QTime(0, 5)), QStringLiteral("AM 12:05"));
        QCOMPARE(TKavioForm::ClockText(QTime(9, 7)), QStringLiteral("AM 9:07"));
        QCOMPARE(TKavioForm::ClockText(QTime(12, 0)), QStringLiteral("PM 12:00"));
        QCOMPARE(TKavioForm::ClockText(QTime(23, 59)), QStringLiteral("PM 11:59"));
    }

    // Idle work that changes nothing repaints nothing: a repaint would wake the event loop and
    // run the idle handlers again, keeping the processor busy while nobody does anything.
    void idleChangingNothingRepaintsNothing()
    {
        Start();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        m_form->RunIdle();
        QCoreApplication::processEvents();
        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* event) override
            {
                paints += event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest;
                return false;
            }
        } counter;
        for (QWidget* label : {static_cast<QWidget*>(m_form->CaretInfo),
                               static_cast<QWidget*>(m_form->LengthInfo)})
            label->installEventFilter(&counter);
        m_form->RunIdle();
        QCoreApplication::processEvents();
        QTest::qWait(50);
        QCOMPARE(counter.paints, 0);
    }

    // The commands that need a selection, text or more than one page follow the state at idle.
    void enablingAtIdle()
    {
        Start();
        m_form->RunIdle();
        auto enabled = [this](const char* name) {
            return m_form->Action(QString::fromLatin1(name))->isEnabled();
        };
        QVERIFY(!enabled("FileSaveAs"));
        QVERIFY(!enabled("Copy"));
        QVERIFY(enabled("AddNewPage"));
        Type("text");
        m_form->MemoPad->selectAll();
        m_form->RunIdle();
        QVERIFY(enabled("FileSaveAs"));
        QVERIFY(enabled("Copy"));
        QVERIFY(enabled("Undo"));
        // A disabled command does nothing, whatever triggers it.
        m_form->MemoPad->SetSelection(0, 0);
        m_form->RunIdle();
        QVERIFY(!enabled("Cut"));
        m_form->Action(QStringLiteral("Cut"))->trigger();
        QCOMPARE(m_form->MemoPad->GetLines(), Lines{"text"});
    }

    // The open book's file follows every list change; the library file follows the books.
    void listReactionsWriteTheBookFile()
    {
        Start();
        m_form->Action(QStringLiteral("AddNewPage"))->trigger();
        m_form->Action(QStringLiteral("AddNewPage"))->trigger();
        QCOMPARE(Pages().Count(), 3);
        QCOMPARE(m_form->cPageList->Count(), 3);
        QCOMPARE(m_form->cPageList->ItemIndex(), 2);
        const std::string bookPath = m_form->BookList().GetFullPathOf(0);
        const std::string bookFile = ReadRaw(bookPath);
        for (int i = 0; i < 3; ++i)
            QVERIFY(bookFile.find(Pages().GetFileName(i)) != std::string::npos);

        Pages().Exchange(0, 2);
        const std::string reordered = ReadRaw(bookPath);
        QVERIFY(reordered.find(Pages().GetFileName(0)) < reordered.find(Pages().GetFileName(2)));

        m_form->BookList().SetTitle(0, "Work");
        QCOMPARE(m_form->PageTitleText().left(6), QStringLiteral("Work->"));
        QCOMPARE(m_form->BookRowText(0), QStringLiteral("Work"));
        m_form->BookList().Books(0).ShortCut = kCtrl | kAlt | 'B';
        QCOMPARE(m_form->BookRowText(0), QStringLiteral("Work(Ctrl+Alt+B)"));
    }

    // Opening another book saves the first with its selected page; restarting reopens both
    // books' remembered pages.
    void openingBooksRemembersPages()
    {
        WriteSettings("[Book]\r\nSaveBookIndex=1\r\nBookIndex=99");
        Start();
        for (int i = 0; i < 2; ++i)
            m_form->BookList().NewBook(kavio::PersonalDir);
        QCOMPARE(m_form->cBookList->Count(), 3);
        m_form->Action(QStringLiteral("AddNewPage"))->trigger();
        QCOMPARE(m_form->cPageList->ItemIndex(), 1);
        m_sounds.clear();
        m_form->cBookList->SetItemIndex(1);
        // The book's own sound only: the page shown with it stays quiet.
        QCOMPARE(m_sounds, QStringList{QStringLiteral("OnChangeBook")});
        // The opened book's file keeps its own page, not the last book's selection.
        QVERIFY(ReadRaw(m_form->BookList().GetFullPathOf(1)).find("LastIndex=0") != std::string::npos);
        // Back in the first book, the page left there is shown again.
        m_form->cBookList->SetItemIndex(0);
        QCOMPARE(m_form->cPageList->ItemIndex(), 1);
        m_form->cBookList->SetItemIndex(1);
        QCOMPARE(Pages().Book(), &m_form->BookList().Books(1));
        Stop();

        // BookIndex 99 is clamped to the last book; the first book kept its page 1.
        WriteSettings("[Book]\r\nSaveBookIndex=1\r\nBookIndex=99");
        Start();
        QCOMPARE(m_form->cBookList->ItemIndex(), 2);
        m_form->cBookList->SetItemIndex(0);
        QCOMPARE(m_form->cPageList->ItemIndex(), 1);
    }

    void listCaptionToggles()
    {
        Start();
        QCOMPARE(m_form->ListState(), 0);
        QCOMPARE(m_form->PBCaption->text(), QStringLiteral("ページ"));
        QTest::mouseClick(m_form->PBCaption, Qt::LeftButton);
        QCOMPARE(m_form->ListState(), 1);
        QCOMPARE(m_form->PBCaption->text(), QStringLiteral("ブック"));
    }

    void closeQuery()
    {
        WriteSettings("[Window]\r\nAppCloseQuery=1");
        Start();
        m_form->show();
        m_answer = false;
        m_form->Action(QStringLiteral("AppExit"))->trigger();
        QCOMPARE(m_questions, QStringList{QStringLiteral("Kavioを終了しますか？")});
        QVERIFY(m_form->isVisible());
        QVERIFY(!m_form->AppSettings().ExitRequested);
        // Closing the window otherwise does not ask.
        QVERIFY(m_form->close());
        QCOMPARE(m_questions.size(), 1);
    }

    // Shut-down: the selected page as the book's last index, "mem*.tmp" gone from the program
    // folder only, and the book written even when the settings cannot be.
    void shutDownWrites()
    {
        Start();
        m_form->Action(QStringLiteral("AddNewPage"))->trigger();
        m_form->cPageList->SetItemIndex(0);
        WriteRaw(AppFolder() + "mem1a2b.tmp", "x");
        WriteRaw(Personal() + "mem1a2b.tmp", "x");
        const std::string bookPath = m_form->BookList().GetFullPathOf(0);
        // The settings file cannot be written: a folder stands in its place.
        std::filesystem::remove(Personal() + "Kavio.ini");
        std::filesystem::create_directories(Personal() + "Kavio.ini");
        Stop();
        QCOMPARE(m_errors.size(), 1);
        m_errors.clear();
        QVERIFY(!kavio::test::Exists(AppFolder() + "mem1a2b.tmp"));
        QVERIFY(kavio::test::Exists(Personal() + "mem1a2b.tmp"));
        QVERIFY(ReadRaw(bookPath).find("LastIndex=0") != std::string::npos);

        std::filesystem::remove(Personal() + "Kavio.ini");
        Start();
        m_form->cPageList->SetItemIndex(1);
        Stop();
        QVERIFY(ReadRaw(bookPath).find("LastIndex=1") != std::string::npos);
    }

    // One dropped file replaces the text after Yes and becomes a page after No; several are
    // imported in order and the last is selected.
    void drops()
    {
        Start();
        const std::string a = m_dir->path() + "a.txt";
        const std::string b = m_dir->path() + "b.txt";
        WriteRaw(a, "alpha\r\n");
        WriteRaw(b, "\xE3\x83\x99\xE3\x83\xBC\xE3\x82\xBF\n");  // UTF-8 "ベータ"
        m_answer = true;
        m_form->MemoPadDropFiles({QString::fromStdString(a)});
        QCOMPARE(Pages().Count(), 1);
        QCOMPARE(BodyOf(PagePath(0)), (Lines{"alpha", ""}));
        m_answer = false;
        m_form->MemoPadDropFiles({QString::fromStdString(b)});
        QCOMPARE(Pages().Count(), 2);
        QCOMPARE(BodyOf(PagePath(1)), Lines{Sj("ベータ")});
        m_form->MemoPadDropFiles({QString::fromStdString(a), QString::fromStdString(b)});
        QCOMPARE(Pages().Count(), 4);
        QCOMPARE(m_form->cPageList->ItemIndex(), 3);
        QCOMPARE(m_questions.size(), 2);

        m_form->ExportText(m_dir->path() + "out.txt");
        QCOMPARE(ReadRaw(m_dir->path() + "out.txt"), Sj("ベータ") + "\r\n");
    }

    // A book's shortcut opens it before any command with the same key runs.
    void bookShortcutComesFirst()
    {
        Start();
        m_form->BookList().NewBook(kavio::PersonalDir);
        m_form->BookList().Books(1).ShortCut = kCtrl | 'N';
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        m_form->MemoPad->setFocus();
        QTest::keyClick(m_form->MemoPad, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(m_form->cBookList->ItemIndex(), 1);
        QCOMPARE(Pages().Count(), 1);
        QCOMPARE(m_form->MemoPad->LineCount(), 0);
    }
};

QTEST_MAIN(FormTest)
#include "form_test.moc"
