#include "dialogs/message_boxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

using namespace kavio::qt;

Q_DECLARE_METATYPE(TMsgDlgBtn)
Q_DECLARE_METATYPE(std::vector<TMsgDlgBtn>)

namespace {

// Runs `act` on the modal box as soon as it is up.
void OnModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act = std::move(act)]() mutable {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) {
            OnModal(std::move(act));
            return;
        }
        act(box);
    });
}

}  // namespace

class MessageBoxesTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SetMessageHook({}); }

    void titles()
    {
        QCOMPARE(MessageTitle(TMsgDlgType::mtWarning), QStringLiteral("警告"));
        QCOMPARE(MessageTitle(TMsgDlgType::mtError), QStringLiteral("エラー"));
        QCOMPARE(MessageTitle(TMsgDlgType::mtInformation), QStringLiteral("情報"));
        QCOMPARE(MessageTitle(TMsgDlgType::mtConfirmation), QStringLiteral("確認"));
        QCOMPARE(MessageTitle(TMsgDlgType::mtCustom), QGuiApplication::applicationDisplayName());
    }

    // The hook sees what the user would see, and its answer comes back unchanged.
    void hookAnswersTheHelpers()
    {
        QList<TMessageRequest> seen;
        SetMessageHook([&](const TMessageRequest& r, bool& checked) {
            seen.append(r);
            checked = !r.CheckBoxCaption.isEmpty();
            return r.Text.startsWith(QStringLiteral("yes"));
        });
        QVERIFY(ConfirmYesNo(QStringLiteral("yes?")));
        QVERIFY(!ConfirmYesNo(QStringLiteral("no?")));
        ShowInformation(QStringLiteral("info"));
        const TCheckedAnswer a = ConfirmWithCheckBox(QStringLiteral("yes, remove"),
                                                     QStringLiteral("ファイルを共に削除"));
        QVERIFY(a.Yes);
        QVERIFY(a.Checked);

        QCOMPARE(seen.size(), 4);
        QCOMPARE(seen[0].Type, TMsgDlgType::mtConfirmation);
        QVERIFY(seen[0].CheckBoxCaption.isEmpty());
        QCOMPARE(seen[2].Type, TMsgDlgType::mtInformation);
        QCOMPARE(seen[2].Text, QStringLiteral("info"));
        QCOMPARE(seen[3].CheckBoxCaption, QStringLiteral("ファイルを共に削除"));
    }

    // Enter picks the default button and Esc the cancel button by the fixed precedence.
    void hookPicksDefaultAndCancelButtons_data()
    {
        QTest::addColumn<std::vector<TMsgDlgBtn>>("buttons");
        QTest::addColumn<TMsgDlgBtn>("onYes");
        QTest::addColumn<TMsgDlgBtn>("onNo");
        using B = TMsgDlgBtn;
        using V = std::vector<TMsgDlgBtn>;
        QTest::newRow("yes/no") << V{B::mbYes, B::mbNo} << B::mbYes << B::mbNo;
        QTest::newRow("ok/cancel") << V{B::mbOK, B::mbCancel} << B::mbOK << B::mbCancel;
        QTest::newRow("yes/no/cancel") << V{B::mbYes, B::mbNo, B::mbCancel} << B::mbYes << B::mbNo;
        QTest::newRow("abort/retry/ignore")
            << V{B::mbAbort, B::mbRetry, B::mbIgnore} << B::mbRetry << B::mbAbort;
        QTest::newRow("all/no-to-all/yes-to-all")
            << V{B::mbAll, B::mbNoToAll, B::mbYesToAll} << B::mbYesToAll << B::mbNoToAll;
        QTest::newRow("retry/ignore") << V{B::mbRetry, B::mbIgnore} << B::mbRetry << B::mbIgnore;
    }
    void hookPicksDefaultAndCancelButtons()
    {
        QFETCH(std::vector<TMsgDlgBtn>, buttons);
        QFETCH(TMsgDlgBtn, onYes);
        QFETCH(TMsgDlgBtn, onNo);
        for (bool yes : {true, false}) {
            SetMessageHook([yes](const TMessageRequest&, bool&) { return yes; });
            QCOMPARE(MessageDlg(QStringLiteral("t"), TMsgDlgType::mtWarning, buttons),
                     yes ? onYes : onNo);
        }
    }

    // A real box: the captions, the order of the buttons, and Esc answering No.
    void realConfirmationEscIsNo()
    {
        QString title, yesText, noText;
        bool yesLeftOfNo = false;
        OnModal([&](QWidget* box) {
            title = box->windowTitle();
            auto* yes = box->findChild<QPushButton*>(QStringLiteral("Yes"));
            auto* no = box->findChild<QPushButton*>(QStringLiteral("No"));
            if (yes && no) {
                yesText = yes->text();
                noText = no->text();
                yesLeftOfNo = yes->mapTo(box, QPoint()).x() < no->mapTo(box, QPoint()).x();
            }
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QVERIFY(!ConfirmYesNo(QStringLiteral("Kavioを終了しますか？")));
        QCOMPARE(title, QStringLiteral("確認"));
        QCOMPARE(yesText, QStringLiteral("はい(&Y)"));
        QCOMPARE(noText, QStringLiteral("いいえ(&N)"));
        QVERIFY(yesLeftOfNo);
    }

    void realConfirmationEnterIsYesAndCloseIsNo()
    {
        OnModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
        QVERIFY(ConfirmYesNo(QStringLiteral("q")));
        OnModal([](QWidget* box) { box->close(); });
        QVERIFY(!ConfirmYesNo(QStringLiteral("q")));
    }

    void realCheckBoxIsReported()
    {
        QString caption;
        OnModal([&](QWidget* box) {
            auto* check = box->findChild<QCheckBox*>();
            if (check) {
                caption = check->text();
                check->setChecked(true);
            }
            QTest::keyClick(box, Qt::Key_Return);
        });
        const TCheckedAnswer a = ConfirmWithCheckBox(QStringLiteral("クリップから取り除きますか？"),
                                                     QStringLiteral("ファイルを共に削除"));
        QCOMPARE(caption, QStringLiteral("ファイルを共に削除"));
        QVERIFY(a.Yes);
        QVERIFY(a.Checked);
    }

    void realInformationClosesWithEsc()
    {
        QString okText;
        OnModal([&](QWidget* box) {
            if (auto* ok = box->findChild<QPushButton*>(QStringLiteral("OK")))
                okText = ok->text();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        ShowInformation(QStringLiteral("Kavioはもう起動しています。"));
        QCOMPARE(okText, QStringLiteral("OK"));
    }
};

QTEST_MAIN(MessageBoxesTest)
#include "message_boxes_test.moc"
