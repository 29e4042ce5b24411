#include "base/codepage.h"
#include "config/app_settings.h"
#include "dialogs/dialog_base.h"
#include "dialogs/message_boxes.h"
#include "dialogs/tool_dialogs.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <deque>
#include <functional>

using namespace kavio;
using namespace kavio::qt;
using kavio::test::ReadRaw;
using kavio::test::TempDir;
using kavio::test::WriteRaw;

namespace {

// Each modal run takes the next step; a run with no step left fails the test by rejecting.
class Script {
public:
    using Step = std::function<int(QDialog&)>;
    explicit Script(std::deque<Step> steps) : m_steps(std::move(steps))
    {
        SetDialogRunHook([this](QDialog& dialog) {
            if (m_steps.empty()) {
                ++m_unexpected;
                return int(QDialog::Rejected);
            }
            Step step = std::move(m_steps.front());
            m_steps.pop_front();
            return step(dialog);
        });
    }
    ~Script() { SetDialogRunHook({}); }
    bool Done() const { return m_steps.empty() && m_unexpected == 0; }

private:
    std::deque<Step> m_steps;
    int m_unexpected = 0;
};

// A property dialog step: fills the fields it is given and presses OK.
Script::Step FillProperty(QString title, QString file, QString arguments)
{
    return [=](QDialog& d) {
        auto& p = dynamic_cast<TKavioToolPropertyDialog&>(d);
        p.ToolTitle()->setText(title);
        p.ToolFile()->setText(file);
        p.Arguments()->setText(arguments);
        p.accept();
        return p.result();
    };
}

const std::string kSettings =
    "[Window]\r\nTopMost=1\r\n\r\n"
    "[Tools]\r\n" + "メモ帳"_sj + "\tgedit|\"$PAGE\"\r\n-\t|\r\nNoTab\r\n\r\n"
    "[Other]\r\nA=1\r\n\r\n";

void SelectRow(QTreeWidget* list, int row)
{
    list->clearSelection();
    list->topLevelItem(row)->setSelected(true);
}

}  // namespace

class ToolDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        SetDialogRunHook({});
        SetMessageHook({});
    }

    // Lines split at the first single-byte TAB and "|"; "ソ" ends in 0x5C and "ポ" in 0x7C.
    void rowsFromLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("arguments");
        QTest::newRow("full") << QByteArray("t\tp|a|b") << "t" << "p" << "a|b";
        QTest::newRow("no tab") << QByteArray("t|x") << "t|x" << "" << "";
        QTest::newRow("no bar") << QByteArray("t\tp q") << "t" << "p q" << "";
        QTest::newRow("double byte") << QByteArray(("ポ\tソ|ポ"_sj).c_str()) << "ポ" << "ソ" << "ポ";
    }
    void rowsFromLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, title);
        QFETCH(QString, program);
        QFETCH(QString, arguments);
        const TToolRow row = TToolRow::FromLine(line.toStdString());
        QCOMPARE(row, (TToolRow{title, program, arguments}));
    }

    void pickListOrder()
    {
        QStringList names;
        for (const TToolArgumentPick& pick : ToolArgumentPicks())
            names << pick.Name;
        QCOMPARE(names, (QStringList{"\"$PAGE\"", "\"$BOOK\"", "\"$TEXT\"\t", "$LINE", "$SEL",
                                     "$PORT", "$SELTOK", "#WAIT", "#REDIR", "#LOADP", "#LOADB"}));
        QCOMPARE(ToolArgumentPicks()[6].Explanation, QStringLiteral("カーソル位置の単語"));
    }

    void listLoadsTheSection()
    {
        TempDir dir;
        WriteRaw(dir / "Kavio.ini", kSettings);
        TKavioToolPreferenceDialog dialog(dir / "Kavio.ini", TAppSettings{});
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ツールの設定"));
        QCOMPARE(dialog.ToolList()->headerItem()->text(2), QStringLiteral("マクロ/コマンドライン"));
        const std::vector<TToolRow> expected{
            {"メモ帳", "gedit", "\"$PAGE\""}, {"-", "", ""}, {"NoTab", "", ""}};
        QCOMPARE(dialog.Rows(), expected);
        // Edit and remove need a selected row.
        QVERIFY(!dialog.RemoveButton()->isEnabled());
        QVERIFY(!dialog.EditButton()->isEnabled());
        SelectRow(dialog.ToolList(), 1);
        QVERIFY(dialog.RemoveButton()->isEnabled());
        QVERIFY(dialog.EditButton()->isEnabled());
    }

    // Add, edit and remove, then OK: the [Tools] section is rewritten whole in the table's
    // order, CP932 with CR LF, and the other sections are kept.
    void roundTripThroughTheSettingsFile()
    {
        TempDir dir;
        const std::string file = dir / "Kavio.ini";
        WriteRaw(file, kSettings);
        QStringList questions;
        SetMessageHook([&](const TMessageRequest& r, bool&) {
            questions << r.Text;
            return true;
        });
        Script script({
            [](QDialog& d) {
                auto& list = dynamic_cast<TKavioToolPreferenceDialog&>(d);
                list.AddButton()->click();                  // appends 検索
                SelectRow(list.ToolList(), 0);
                list.EditButton()->click();                 // renames row 0
                SelectRow(list.ToolList(), 2);
                list.RemoveButton()->click();               // removes NoTab
                list.accept();
                return list.result();
            },
            FillProperty("検索", "/usr/bin/grep", "  -n $SEL \t "),
            [](QDialog& d) {
                auto& p = dynamic_cast<TKavioToolPropertyDialog&>(d);
                // Editing starts from the selected row.
                if (p.ToolTitle()->text() != QStringLiteral("メモ帳") ||
                    p.ToolFile()->text() != QStringLiteral("gedit") ||
                    p.Arguments()->text() != QStringLiteral("\"$PAGE\""))
                    return int(QDialog::Rejected);
                p.ToolTitle()->setText(QStringLiteral("エディタ"));
                p.accept();
                return p.result();
            },
        });
        const int result = ShowDialog<TKavioToolPreferenceDialog>(0, nullptr, nullptr, file,
                                                                  TAppSettings{}, nullptr);
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(script.Done());
        QCOMPARE(questions, QStringList{"このツールを削除してもいいですか？"});
        const std::string expected =
            "[Window]\r\nTopMost=1\r\n\r\n"
            "[Other]\r\nA=1\r\n\r\n"
            "[Tools]\r\n" + "エディタ"_sj + "\tgedit|\"$PAGE\"\r\n-\t|\r\n" + "検索"_sj +
            "\t/usr/bin/grep|-n $SEL\r\n\r\n";
        QCOMPARE(ReadRaw(file), expected);
    }

    // Every change is discarded by Cancel: the file keeps its bytes.
    void cancelWritesNothing()
    {
        TempDir dir;
        const std::string file = dir / "Kavio.ini";
        WriteRaw(file, kSettings);
        SetMessageHook([](const TMessageRequest&, bool&) { return true; });
        Script script({
            [](QDialog& d) {
                auto& list = dynamic_cast<TKavioToolPreferenceDialog&>(d);
                list.AddButton()->click();
                SelectRow(list.ToolList(), 0);
                list.RemoveButton()->click();
                QTest::keyClick(&list, Qt::Key_Escape);
                return list.result();
            },
            FillProperty("x", "y", "z"),
        });
        QCOMPARE(ShowDialog<TKavioToolPreferenceDialog>(0, nullptr, nullptr, file, TAppSettings{},
                                                        nullptr),
                 int(QDialog::Rejected));
        QVERIFY(script.Done());
        QCOMPARE(ReadRaw(file), kSettings);
    }

    // Answering No keeps the row.
    void removeAnsweredNoKeepsTheRow()
    {
        TempDir dir;
        WriteRaw(dir / "Kavio.ini", kSettings);
        TKavioToolPreferenceDialog dialog(dir / "Kavio.ini", TAppSettings{});
        SetMessageHook([](const TMessageRequest&, bool&) { return false; });
        SelectRow(dialog.ToolList(), 0);
        dialog.RemoveButton()->click();
        QCOMPARE(dialog.Rows().size(), size_t(3));
    }

    // A write that fails is shown, and the dialog stays open with the user's rows.
    void failedWriteKeepsTheDialogOpen()
    {
        TempDir dir;
        const std::string file = dir / "missing-folder/Kavio.ini";
        TKavioToolPreferenceDialog dialog(file, TAppSettings{});
        SetDialogRunHook(FillProperty("t", "p", "a"));
        dialog.AddButton()->click();
        SetDialogRunHook({});
        dialog.show();
        QString errorTitle;
        QTimer::singleShot(0, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                errorTitle = box->windowTitle();
                box->close();
            }
        });
        dialog.accept();
        QCOMPARE(errorTitle, QStringLiteral("エラー"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.Rows().size(), size_t(1));
        QVERIFY(!kavio::test::Exists(file));
    }

    // A title of "-" is a separator: program and arguments are switched off, and it is saved
    // as "-", TAB, "|".
    void separatorTitle()
    {
        QTreeWidget table;
        TKavioToolPropertyDialog dialog(table);
        QCOMPARE(dialog.parentWidget(), nullptr);
        dialog.ToolTitle()->setText(QStringLiteral("-"));
        for (QWidget* w : {static_cast<QWidget*>(dialog.ToolFile()), static_cast<QWidget*>(dialog.Arguments()),
                           static_cast<QWidget*>(dialog.AddArgument()),
                           static_cast<QWidget*>(dialog.BrowseButton())})
            QVERIFY(!w->isEnabled());
        dialog.accept();
        QCOMPARE(table.topLevelItemCount(), 1);
        QCOMPARE(TToolRow({"-", table.topLevelItem(0)->text(1), table.topLevelItem(0)->text(2)}).ToLine(),
                 std::string("-\t|"));
        dialog.ToolTitle()->setText(QStringLiteral("--"));
        QVERIFY(dialog.Arguments()->isEnabled());
    }

    // The property dialog over the tool list shares the list's task-bar button even when the
    // main window has none.
    void propertyDialogHasNoTaskBarButton()
    {
        TAppSettings settings;
        settings.ShowTaskBar = false;
        TKavioToolPreferenceDialog list("/nonexistent/Kavio.ini", settings);
        QCOMPARE(list.parentWidget(), nullptr);
        TKavioToolPropertyDialog property(*list.ToolList(), &list);
        QCOMPARE(property.parentWidget(), &list);
        QCOMPARE(property.TaskBarButton(), TTaskBarButton::tbShared);
    }

    // Picks go in at the caret, one space from the text before them; the tab after "$TEXT"
    // stays between words and is trimmed off the end on OK.
    void pickInsertion_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("caret");  // -1: the end
        QTest::addColumn<QList<int>>("picks");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("first word") << "" << -1 << QList<int>{6} << "$SELTOK" << "$SELTOK";
        QTest::newRow("second word") << "" << -1 << QList<int>{6, 7} << "$SELTOK #WAIT" << "$SELTOK #WAIT";
        QTest::newRow("quoted page") << "" << -1 << QList<int>{0} << "\"$PAGE\"" << "\"$PAGE\"";
        QTest::newRow("text last") << "x" << -1 << QList<int>{2} << "x \"$TEXT\"\t" << "x \"$TEXT\"";
        QTest::newRow("after text") << "" << -1 << QList<int>{2, 7} << "\"$TEXT\"\t #WAIT"
                                    << "\"$TEXT\"\t #WAIT";
        QTest::newRow("at the start") << "a b" << 0 << QList<int>{3} << "$LINE a b" << "$LINE a b";
        QTest::newRow("in the middle") << "a b" << 1 << QList<int>{3} << "a $LINE b" << "a $LINE b";
    }
    void pickInsertion()
    {
        QFETCH(QString, start);
        QFETCH(int, caret);
        QFETCH(QList<int>, picks);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        QTreeWidget table;
        TKavioToolPropertyDialog dialog(table);
        QCOMPARE(dialog.ValueList()->currentItem(), dialog.ValueList()->topLevelItem(0));
        dialog.ToolTitle()->setText(QStringLiteral("t"));
        dialog.Arguments()->setText(start);
        if (caret >= 0)
            dialog.Arguments()->setCursorPosition(caret);
        for (int pick : picks) {
            dialog.ValueList()->setCurrentItem(dialog.ValueList()->topLevelItem(pick));
            dialog.AddArgument()->click();
        }
        QCOMPARE(dialog.Arguments()->text(), shown);
        dialog.accept();
        QCOMPARE(table.topLevelItem(0)->text(2), stored);
    }
};

QTEST_MAIN(ToolDialogsTest)
#include "tool_dialogs_test.moc"
