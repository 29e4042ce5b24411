// Qt's keys and the stored shortcut values (key code, 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt).

#include "qt/key_codes.h"

#include <QKeyEvent>
#include <QTest>

using namespace kavio;
using namespace kavio::qt;

class KeyCodesTest : public QObject {
    Q_OBJECT

private slots:
    void fromKeyEvent_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("shortcut");
        QTest::newRow("Ctrl+N") << int(Qt::Key_N) << int(Qt::ControlModifier) << (kCtrl | 'N');
        QTest::newRow("Shift+Tab arrives as Backtab")
            << int(Qt::Key_Backtab) << int(Qt::ShiftModifier | Qt::ControlModifier)
            << (kShift | kCtrl | 0x09);
        QTest::newRow("Shift+1 arrives as !") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier)
                                               << (kShift | '1');
        QTest::newRow("Ctrl+F6") << int(Qt::Key_F6) << int(Qt::ControlModifier) << (kCtrl | 0x75);
        QTest::newRow("keypad 5") << int(Qt::Key_5) << int(Qt::KeypadModifier) << 0x65;
        QTest::newRow("Alt+Down") << int(Qt::Key_Down) << int(Qt::AltModifier) << (kAlt | 0x28);
        QTest::newRow("a lone modifier is no shortcut")
            << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << 0;
    }

    void fromKeyEvent()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, shortcut);
        const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(int(ShortCutFromKeyEvent(event)), shortcut);
    }

    void toKeySequence()
    {
        QCOMPARE(KeySequenceFromShortCut(kCtrl | kAlt | 'B'), QKeySequence(QStringLiteral("Ctrl+Alt+B")));
        QCOMPARE(KeySequenceFromShortCut(kShift | 0x74), QKeySequence(QStringLiteral("Shift+F5")));
        QVERIFY(KeySequenceFromShortCut(0).isEmpty());
    }
};

QTEST_MAIN(KeyCodesTest)
#include "key_codes_test.moc"
