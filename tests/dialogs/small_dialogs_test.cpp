#include "config/app_settings.h"
#include "controls/labels.h"
#include "dialogs/about_dialog.h"
#include "dialogs/book_shortcut_dialog.h"
#include "dialogs/delete_book_dialog.h"
#include "dialogs/dialog_base.h"
#include "dialogs/message_boxes.h"
#include "dialogs/page_title_dialog.h"
#include "dialogs/shortcut_edit.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include <stdexcept>

using namespace kavio;
using namespace kavio::qt;

namespace {

QStringList g_log;

// A dialog that reports its life to the log.
class LoggingDialog : public TKavioDialogBase {
public:
    explicit LoggingDialog(int value) { g_log << QStringLiteral("create %1").arg(value); }
    ~LoggingDialog() override { g_log << QStringLiteral("destroy"); }
};

TAppSettings SubFormSettings(bool showTaskBar, uint8_t alpha)
{
    TAppSettings settings;
    settings.ShowTaskBar = showTaskBar;
    settings.AlphaValueSubForm = alpha;
    return settings;
}

}  // namespace

class SmallDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        SetDialogRunHook({});
        SetMessageHook({});
        g_log.clear();
    }

    // The runner's order: create, tag, before, run, after only on a positive result, destroy.
    void showDialogOrder_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("accepted") << int(QDialog::Accepted)
                                  << QStringList{"create 5", "before tag 7", "run", "after", "destroy"};
        QTest::newRow("rejected") << int(QDialog::Rejected)
                                  << QStringList{"create 5", "before tag 7", "run", "destroy"};
    }
    void showDialogOrder()
    {
        QFETCH(int, result);
        QFETCH(QStringList, expected);
        SetDialogRunHook([&](QDialog&) {
            g_log << QStringLiteral("run");
            return result;
        });
        const int got = ShowDialog<LoggingDialog>(
            7, [](LoggingDialog&) { g_log << QStringLiteral("after"); },
            [](LoggingDialog& d) { g_log << QStringLiteral("before tag %1").arg(d.Tag()); }, 5);
        QCOMPARE(got, result);
        QCOMPARE(g_log, expected);
    }

    void showDialogDestroysWhenAHandlerThrows()
    {
        SetDialogRunHook([](QDialog&) { return int(QDialog::Accepted); });
        QVERIFY_THROWS_EXCEPTION(
            std::runtime_error,
            ShowDialog<LoggingDialog>(0, [](LoggingDialog&) { throw std::runtime_error("x"); },
                                      nullptr, 1));
        QCOMPARE(g_log, (QStringList{"create 1", "destroy"}));
    }

    // Fixed size, no minimise or maximise, the dialog font, centred over the owner.
    void baseLook()
    {
        QWidget owner;
        owner.setGeometry(100, 100, 600, 400);
        owner.show();
        TKavioDialogBase base(&owner);
        auto* filler = new QLabel(QStringLiteral("text"), &base);
        filler->resize(120, 40);
        base.show();
        QCOMPARE(base.minimumSize(), base.maximumSize());
        QVERIFY(!(base.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(base.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(base.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(base.font().pixelSize(), 12);
        const QPoint ownerCentre = owner.frameGeometry().center();
        QVERIFY(qAbs(base.frameGeometry().center().x() - ownerCentre.x()) <= 1);
        QVERIFY(qAbs(base.frameGeometry().center().y() - ownerCentre.y()) <= 1);
        QCOMPARE(base.windowOpacity(), 1.0);
    }

    // Without the main window's task-bar button a dialog is a window of its own (no transient
    // parent); the tool property dialog is tested with the tool dialogs.
    void taskBarButton()
    {
        QWidget owner;
        TKavioPageTitleDlg own(QStringLiteral("ページ"), {}, SubFormSettings(false, 255), &owner);
        QCOMPARE(own.parentWidget(), nullptr);
        QCOMPARE(own.windowType(), Qt::Window);
        QCOMPARE(own.Owner(), &owner);
        TKavioPageTitleDlg shared(QStringLiteral("ページ"), {}, SubFormSettings(true, 255), &owner);
        QCOMPARE(shared.parentWidget(), &owner);
        QCOMPARE(shared.windowType(), Qt::Dialog);
    }

    void titleItemsForAFixedClock()
    {
        const QLocale japan(QLocale::Japanese, QLocale::Japan);
        const QDateTime at(QDate(2004, 3, 5), QTime(9, 7, 2));
        const QStringList expected{
            "2004/03/05", "04年3月5日", "平成16年3月5日", "09:07", "09:07:02", "9時7分",
            "9時7分2秒", "午前 9時7分",
            japan.toString(at.date(), QLocale::ShortFormat) + " " +
                japan.toString(at.time(), QStringLiteral("H時mm分ss秒")),
        };
        QCOMPARE(TitleDateItems(at, japan), expected);
    }

    // The designator goes with the 12-hour clock: noon and midnight are 12, not 0.
    void titleItemsTwelveHourClock_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("expected");
        QTest::newRow("midnight") << QTime(0, 30) << QStringLiteral("午前 12時30分");
        QTest::newRow("noon") << QTime(12, 0) << QStringLiteral("午後 12時0分");
        QTest::newRow("afternoon") << QTime(13, 5) << QStringLiteral("午後 1時5分");
    }
    void titleItemsTwelveHourClock()
    {
        QFETCH(QTime, time);
        QFETCH(QString, expected);
        const QLocale japan(QLocale::Japanese, QLocale::Japan);
        QCOMPARE(TitleDateItems(QDateTime(QDate(2000, 1, 2), time), japan).at(7), expected);
    }

    // The first and last day of each era.
    void eraBoundaries_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("era");
        QTest::addColumn<int>("year");
        QTest::newRow("meiji first") << QDate(1868, 1, 25) << "明治" << 1;
        QTest::newRow("meiji last") << QDate(1912, 7, 29) << "明治" << 45;
        QTest::newRow("taisho first") << QDate(1912, 7, 30) << "大正" << 1;
        QTest::newRow("taisho last") << QDate(1926, 12, 24) << "大正" << 15;
        QTest::newRow("showa first") << QDate(1926, 12, 25) << "昭和" << 1;
        QTest::newRow("showa last") << QDate(1989, 1, 7) << "昭和" << 64;
        QTest::newRow("heisei first") << QDate(1989, 1, 8) << "平成" << 1;
        QTest::newRow("heisei last") << QDate(2019, 4, 30) << "平成" << 31;
        QTest::newRow("reiwa first") << QDate(2019, 5, 1) << "令和" << 1;
        QTest::newRow("reiwa 2024") << QDate(2024, 12, 31) << "令和" << 6;
        QTest::newRow("before the table") << QDate(1868, 1, 24) << "" << 1868;
    }
    void eraBoundaries()
    {
        QFETCH(QDate, date);
        QFETCH(QString, era);
        QFETCH(int, year);
        const TJapaneseEraDate got = JapaneseEra(date);
        QCOMPARE(got.Era, era);
        QCOMPARE(got.Year, year);
    }

    void titleDialog()
    {
        const QLocale japan(QLocale::Japanese, QLocale::Japan);
        const QDateTime at(QDate(2004, 3, 5), QTime(9, 7, 2));
        TKavioPageTitleDlg dialog(QStringLiteral("ブック"), QStringLiteral("買い物"),
                                  SubFormSettings(true, 128), nullptr, at, japan);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ブックタイトル"));
        QCOMPARE(dialog.Title(), QStringLiteral("買い物"));
        QCOMPARE(dialog.AlphaValue(), 128);
        QCOMPARE(dialog.TitleEditor()->count(), 9);
        QCOMPARE(dialog.TitleEditor()->itemText(2), QStringLiteral("平成16年3月5日"));
        QVERIFY(!dialog.TitleEditor()->completer());
        dialog.TitleEditor()->setCurrentIndex(0);
        QCOMPARE(dialog.Title(), QStringLiteral("2004/03/05"));
    }

    // A real modal run: typing a title and pressing Enter accepts it.
    void titleDialogRealRun()
    {
        QTimer::singleShot(0, [] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                auto* dialog = static_cast<TKavioPageTitleDlg*>(box);
                QTest::keyClicks(dialog->TitleEditor()->lineEdit(), QStringLiteral("memo"));
                QTest::keyClick(dialog->TitleEditor()->lineEdit(), Qt::Key_Return);
            }
        });
        TKavioPageTitleDlg dialog(QStringLiteral("ページ"), QStringLiteral("名称未設定"),
                                  SubFormSettings(false, 255));
        QCOMPARE(RunModal(dialog), int(QDialog::Accepted));
        QCOMPARE(dialog.Title(), QStringLiteral("memo"));  // the preset title was selected
    }

    // Keys typed into the field; a clash with a command's shortcut shows the warning.
    void shortcutClashWarning()
    {
        QAction newPage;
        newPage.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
        QAction other;
        other.setShortcuts({QKeySequence(Qt::Key_F2), QKeySequence(Qt::ALT | Qt::Key_X)});
        TKavioBookShortCutDlg dialog(kAlt | 'X', {&newPage, &other}, SubFormSettings(true, 200));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ブックのショートカット"));
        QCOMPARE(dialog.AlphaValue(), 200);
        QVERIFY(!dialog.WarnLabel()->isHidden());  // the preset value clashes already
        QVERIFY(dialog.WarnLabel()->font().bold());

        struct Step {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            TShortCut value;
            bool warned;
        };
        const Step steps[] = {
            {Qt::Key_N, Qt::ControlModifier, TShortCut(kCtrl | 'N'), true},
            {Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier, TShortCut(kCtrl | kShift | 'N'), false},
            {Qt::Key_Control, Qt::ControlModifier, TShortCut(kCtrl | kShift | 'N'), false},
            {Qt::Key_F2, Qt::NoModifier, TShortCut(0x71), true},
            {Qt::Key_Backspace, Qt::NoModifier, TShortCut(0), false},
        };
        for (const Step& step : steps) {
            QTest::keyClick(dialog.HotkeyEditor(), step.key, step.modifiers);
            QCOMPARE(dialog.ShortCut(), step.value);
            QCOMPARE(!dialog.WarnLabel()->isHidden(), step.warned);
        }
        QCOMPARE(dialog.HotkeyEditor()->text(), QStringLiteral("なし"));
    }

    void deleteDialog()
    {
        TKavioDeleteCommandDialog dialog(12, QStringLiteral("仕事&家"), SubFormSettings(true, 255));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ブックの削除"));
        const QStringList lines = dialog.InfoLabel()->text().split(u'\n');
        QCOMPARE(lines, (QStringList{"ブックを削除します。", "中に12個のページがありますが、",
                                     "これらのページをどうしますか？"}));
        QCOMPARE(dialog.DeleteCommand(), 0);
        QCOMPARE(dialog.Choices()->button(1)->text(), QStringLiteral("全部'仕事&&家'ブックに移動"));  // "&" is no accelerator

        dialog.show();
        QString helpText;
        SetMessageHook([&](const TMessageRequest& r, bool&) {
            helpText = r.Text;
            return true;
        });
        dialog.findChild<QPushButton*>(QStringLiteral("Help"))->click();
        QVERIFY(helpText.contains(QStringLiteral("35")));
        QVERIFY(dialog.isVisible());  // help does not close the dialog
    }

    // Run as the book command runs it: the after handler reads the user's choice.
    void deleteDialogChoiceThroughTheRunner()
    {
        SetDialogRunHook([](QDialog& d) {
            static_cast<QRadioButton*>(static_cast<TKavioDeleteCommandDialog&>(d).Choices()->button(2))
                ->click();
            d.accept();
            return d.result();
        });
        int chosen = -1;
        const TAppSettings settings;
        const int result = ShowDialog<TKavioDeleteCommandDialog>(
            0, [&](TKavioDeleteCommandDialog& d) { chosen = d.DeleteCommand(); }, nullptr, 3,
            QStringLiteral("A&B"), settings, nullptr);
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(chosen, 2);
    }

    // Addresses that are missing are hidden with their captions; with both gone OK is centred.
    void aboutBox_data()
    {
        QTest::addColumn<QString>("mail");
        QTest::addColumn<QString>("web");
        QTest::addColumn<bool>("mailShown");
        QTest::addColumn<bool>("webShown");
        QTest::newRow("both") << "me@example.org" << "example.org/kavio" << true << true;
        QTest::newRow("no web") << "me@example.org\nsecond line" << "" << true << false;
        QTest::newRow("none") << "" << "" << false << false;
    }
    void aboutBox()
    {
        QFETCH(QString, mail);
        QFETCH(QString, web);
        QFETCH(bool, mailShown);
        QFETCH(bool, webShown);
        TAboutInfo info = BuiltInAboutInfo();
        info.MailAddress = mail;
        info.HomePage = web;
        TKavioAbout about(SubFormSettings(true, 180), nullptr, info);
        about.show();
        QCOMPARE(about.windowTitle(), QStringLiteral("バージョン情報"));
        QCOMPARE(about.AlphaValue(), 180);
        QCOMPARE(about.ProductName()->text(), QStringLiteral("Kavio"));
        QCOMPARE(about.MailAddressLabel()->isVisible(), mailShown);
        QCOMPARE(about.MailCaption()->isVisible(), mailShown);
        QCOMPARE(about.HomePageLabel()->isVisible(), webShown);
        QCOMPARE(about.HomePageCaption()->isVisible(), webShown);
        if (mailShown) {
            QCOMPARE(about.MailAddressLabel()->text(), QStringLiteral("me@example.org"));
            QCOMPARE(about.MailAddressLabel()->LinkUrl(), QUrl(QStringLiteral("mailto:me@example.org")));
        }
        const int okCentre = about.OkButton()->geometry().center().x();
        if (!mailShown && !webShown)
            QVERIFY(qAbs(okCentre - about.width() / 2) <= 1);
        else
            QVERIFY(okCentre > about.width() / 2);
    }

    void aboutBoxShowsTheBuiltVersion()
    {
        const TAboutInfo info = BuiltInAboutInfo();
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(info.Version).hasMatch());
        QVERIFY(!info.LegalCopyright.isEmpty());
        TKavioAbout about(TAppSettings{});
        QCOMPARE(about.Version()->text(), info.Version);
    }
};

QTEST_MAIN(SmallDialogsTest)
#include "small_dialogs_test.moc"
