#include "controls/memo_pad.h"
#include "qt/text_codec.h"

#include "base/codepage.h"
#include "base/line_file.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QScreen>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

#include <functional>

using kavio::Lines;
using kavio::operator""_sj;
using kavio::qt::TEditorExMain;

Q_DECLARE_METATYPE(Lines)

namespace {

// Every link run of the text as "url:token" or "mail:token", in text order.
QStringList LinkRuns(const TEditorExMain& pad)
{
    QStringList runs;
    QString last;
    int lastEnd = -2;
    for (int pos = 0; pos < pad.length(); ++pos) {
        QString token = pad.LinkAt(pos);
        if (token.isEmpty())
            continue;
        QString run = (pad.LinkKindAt(pos) == TEditorExMain::LinkKind::Url ? "url:" : "mail:") + token;
        if (run != last || pos != lastEnd + 1)
            runs << run;
        last = run;
        lastEnd = pos;
    }
    return runs;
}

int PointY(const TEditorExMain& pad, int line)
{
    long pos = pad.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
    long y = pad.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, pos);
    long h = pad.SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, line);
    return static_cast<int>(y + h / 2);
}

}  // namespace

class MemoPadTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<const void*>(); }
    void linesRoundTrip_data();
    void linesRoundTrip();
    void offsets_data();
    void offsets();
    void selectionInBytes();
    void marksFollowTheirLines_data();
    void marksFollowTheirLines();
    void setLinesDropsOldMarks();
    void firstRowUnderWrap();
    void unencodableReplaced_data();
    void unencodableReplaced();
    void pasteReplacesUnencodable();
    void typingReplacesUnencodable();
    void byteLengthFollowsEdits();
    void links_data();
    void links();
    void linksFollowEdits();
    void openLink_data();
    void openLink();
    void doubleClickOpensLink();
    void hoverReportsLink();
    void marginClickGivesLine();
    void modifiedAndChange();
    void wheelScrollsOneLineOrPage();
    void tokenStyles_data();
    void tokenStyles();
    void lineNumberBarFitsTheLineCount();
    void visibleMarksReachScintilla();
    void underlineAndEofArePainted();
    void wrapGuideFollowsWordWrap();
};

// Text must come back byte for byte: 0x5C second bytes, half-width katakana, empty lines.
void MemoPadTest::linesRoundTrip_data()
{
    QTest::addColumn<Lines>("lines");
    QTest::newRow("none") << Lines{};
    QTest::newRow("ascii") << Lines{"abc", "def"};
    QTest::newRow("5C second bytes") << Lines{"ソ表能"_sj, "\\ ポ"_sj};
    QTest::newRow("empty last line") << Lines{"a", ""};
    QTest::newRow("empty lines inside") << Lines{"a", "", "", "b"};
    QTest::newRow("half-width kana") << Lines{"ｱｲｳ"_sj, "済"_sj};
}

void MemoPadTest::linesRoundTrip()
{
    QFETCH(Lines, lines);
    TEditorExMain pad;
    pad.SetLines({"old", "text"});
    pad.SetLines(lines);
    QCOMPARE(pad.GetLines(), lines);
    QCOMPARE(pad.LineCount(), int(lines.size()));
    QCOMPARE(pad.ByteLength(), int(kavio::JoinLines(lines).size()));
    for (int i = 0; i < int(lines.size()); ++i)
        QCOMPARE(pad.GetLine(i), lines[i]);
    QVERIFY(!pad.isUndoAvailable());  // a loaded page cannot be undone into the previous one
}

// Lines "aソ", "ｱ", "漢x" joined with CR LF: bytes a0 ソ1-2 CRLF3-4 ｱ5 CRLF6-7 漢8-9 x10 end11;
// UTF-8 positions a0 ソ1 LF4 ｱ5 LF8 漢9 x12 end13.
void MemoPadTest::offsets_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("exact");  // the position maps back to the offset
    QTest::newRow("start") << 0 << 0 << true;
    QTest::newRow("after ascii") << 1 << 1 << true;
    QTest::newRow("line end") << 3 << 4 << true;
    QTest::newRow("second line") << 5 << 5 << true;
    QTest::newRow("after kana") << 6 << 8 << true;
    QTest::newRow("third line") << 8 << 9 << true;
    QTest::newRow("after kanji") << 10 << 12 << true;
    QTest::newRow("end") << 11 << 13 << true;
    QTest::newRow("inside double byte") << 2 << 1 << false;
    QTest::newRow("between CR and LF") << 4 << 4 << false;
    QTest::newRow("past the end") << 99 << 13 << false;
}

void MemoPadTest::offsets()
{
    QFETCH(int, offset);
    QFETCH(int, position);
    QFETCH(bool, exact);
    TEditorExMain pad;
    pad.SetLines({"aソ"_sj, "ｱ"_sj, "漢x"_sj});
    QCOMPARE(pad.PositionFromCpOffset(offset), position);
    if (exact)
        QCOMPARE(pad.CpOffsetFromPosition(position), offset);
}

void MemoPadTest::selectionInBytes()
{
    TEditorExMain pad;
    pad.SetLines({"aソ"_sj, "ｱ"_sj, "漢x"_sj});
    pad.SetSelection(1, 5);
    QCOMPARE(pad.SelStart(), 1);
    QCOMPARE(pad.SelLength(), 5);
    QCOMPARE(pad.SelTextCp(), "ソ\r\nｱ"_sj);
    pad.SetSelTextCp("表\r\n能"_sj);
    QCOMPARE(pad.GetLines(), (Lines{"a表"_sj, "能"_sj, "漢x"_sj}));
    QCOMPARE(pad.SelStart(), 7);  // caret after the replacement
    QCOMPARE(pad.SelLength(), 0);
}

// Inserting or removing lines above a marked line must carry the mark along.
void MemoPadTest::marksFollowTheirLines_data()
{
    QTest::addColumn<int>("editLine");
    QTest::addColumn<QString>("insert");   // replaces the whole of line editLine's start..selection
    QTest::addColumn<int>("selectLines");  // lines selected before inserting (0: none)
    QTest::addColumn<QList<int>>("suspendedLines");
    QTest::addColumn<QList<int>>("finishedLines");
    // Marks start on line 1 (suspended) and line 3 (finished) of five lines.
    QTest::newRow("two lines at the top") << 0 << "x\ny\n" << 0 << QList<int>{3} << QList<int>{5};
    QTest::newRow("at the start of a marked line") << 1 << "x\n" << 0 << QList<int>{2} << QList<int>{4};
    QTest::newRow("lines removed above") << 0 << "" << 2 << QList<int>{} << QList<int>{1};
    QTest::newRow("edit below") << 4 << "x\n" << 0 << QList<int>{1} << QList<int>{3};
}

void MemoPadTest::marksFollowTheirLines()
{
    QFETCH(int, editLine);
    QFETCH(QString, insert);
    QFETCH(int, selectLines);
    QFETCH(QList<int>, suspendedLines);
    QFETCH(QList<int>, finishedLines);
    TEditorExMain pad;
    pad.SetLines({"l0", "l1", "l2", "l3", "l4"});
    pad.AddRowMark(pad.FirstRowOfLine(1), kavio::kMarkSuspended);
    pad.AddRowMark(pad.FirstRowOfLine(3), kavio::kMarkFinished);
    if (selectLines > 0)
        pad.setSelection(editLine, 0, editLine + selectLines, 0);
    else
        pad.setCursorPosition(editLine, 0);
    pad.SetSelTextCp(insert.toStdString());

    QList<int> suspended, finished;
    for (int line = 0; line < pad.LineCount(); ++line) {
        uint16_t marks = pad.RowMarkSet(pad.FirstRowOfLine(line));
        if (marks & (1 << kavio::kMarkSuspended))
            suspended << line;
        if (marks & (1 << kavio::kMarkFinished))
            finished << line;
    }
    QCOMPARE(suspended, suspendedLines);
    QCOMPARE(finished, finishedLines);
}

// Replacing the text must not leave the old marks merged onto line 0.
void MemoPadTest::setLinesDropsOldMarks()
{
    TEditorExMain pad;
    pad.SetLines({"a", "b", "c"});
    pad.AddRowMark(2, kavio::kMarkFinished);
    pad.AddRowMark(1, 3);
    QCOMPARE(pad.RowMarkSet(1), uint16_t(1 << 3));
    pad.SetLines({"x", "y", "z"});
    for (int row = 0; row < 3; ++row)
        QCOMPARE(pad.RowMarkSet(row), uint16_t(0));
    pad.AddRowMark(0, kavio::kMarkSuspended);
    pad.Clear();
    QCOMPARE(pad.LineCount(), 0);
    QCOMPARE(pad.RowMarkSet(0), uint16_t(0));
}

void MemoPadTest::firstRowUnderWrap()
{
    TEditorExMain pad;
    pad.resize(600, 300);
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    pad.SetWordWrapEnabled(true);
    pad.SetWrapByte(20);
    // Line 1 is 60 bytes: three rows at 20 bytes.
    pad.SetLines({"short", std::string(60, 'a'), "after"});
    pad.AddRowMark(pad.FirstRowOfLine(2), kavio::kMarkFinished);
    QTRY_COMPARE(pad.FirstRowOfLine(2), 4);
    QCOMPARE(pad.FirstRowOfLine(1), 1);
    QCOMPARE(pad.LineOfRow(3), 1);
    QCOMPARE(pad.LineOfRow(4), 2);
    QCOMPARE(pad.RowMarkSet(4), uint16_t(1 << kavio::kMarkFinished));
    pad.AddRowMark(pad.FirstRowOfLine(1), kavio::kMarkSuspended);
    QCOMPARE(pad.RowMarkSet(1), uint16_t(1 << kavio::kMarkSuspended));
    QCOMPARE(pad.RowMarkSet(2), uint16_t(0));  // a continuation row carries no marks

    pad.setCursorPosition(1, 45);  // row 3, the third row of line 1
    QCOMPARE(pad.CaretLine(), 1);
    QCOMPARE(pad.CaretRow(), 3);
    QCOMPARE(pad.CaretColumn(), 5);
    pad.SetCaretRow(2);
    QCOMPARE(pad.CaretRow(), 2);
    QCOMPARE(pad.CaretColumn(), 0);
    QCOMPARE(pad.CaretLine(), 1);
    pad.SetLines({"x", "漢字ab"_sj});
    pad.setCursorPosition(1, 3);
    QCOMPARE(pad.CaretColumn(), 5);  // bytes, a full-width character counting 2
}

// Characters the code page cannot hold become "?"; CR LF becomes a line break.
void MemoPadTest::unencodableReplaced_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Lines>("expected");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("emoji") << QString::fromUtf8("a😀b") << Lines{"a?b"} << true;
    QTest::newRow("accented") << QString::fromUtf8("café") << Lines{"caf?"} << true;
    QTest::newRow("Greek and kana fit") << QString::fromUtf8("Ωソ") << Lines{"Ωソ"_sj} << false;
    QTest::newRow("CR LF and lone CR") << QString("a\r\nb\rc") << Lines{"a", "b", "c"} << false;
}

void MemoPadTest::unencodableReplaced()
{
    QFETCH(QString, typed);
    QFETCH(Lines, expected);
    QFETCH(bool, replaced);
    TEditorExMain pad;
    QSignalSpy spy(&pad, &TEditorExMain::unencodableReplaced);
    pad.BeginUpdate();
    pad.insert(typed);
    pad.EndUpdate();
    QCOMPARE(pad.GetLines(), expected);
    QCOMPARE(spy.count(), replaced ? 1 : 0);
    QCOMPARE(pad.ByteLength(), int(kavio::JoinLines(expected).size()));
}

void MemoPadTest::pasteReplacesUnencodable()
{
    TEditorExMain pad;
    QApplication::clipboard()->setText(QString::fromUtf8("x€y"));
    if (QApplication::clipboard()->text() != QString::fromUtf8("x€y"))
        QSKIP("no clipboard on this platform");
    QSignalSpy spy(&pad, &TEditorExMain::unencodableReplaced);
    pad.paste();
    QCOMPARE(pad.GetLines(), Lines{"x?y"});  // CP932 has no euro sign
    QCOMPARE(spy.count(), 1);
}

// Typed keys and input-method commits go through the same filter.
void MemoPadTest::typingReplacesUnencodable()
{
    TEditorExMain pad;
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    QSignalSpy spy(&pad, &TEditorExMain::unencodableReplaced);
    QTest::keyClicks(&pad, "a");
    QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("é"));
    QApplication::sendEvent(&pad, &key);
    QCOMPARE(spy.count(), 1);
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("漢😀"));
    QApplication::sendEvent(&pad, &commit);
    QCOMPARE(pad.GetLines(), Lines{"a?漢?"_sj});
    QCOMPARE(spy.count(), 2);
    pad.undo();  // the replacement is part of the typed text: undo cannot bring back "é"
    QVERIFY(!pad.text().contains(QString::fromUtf8("é")));
}

// The incrementally kept byte length must equal a full count after any sequence of edits.
// The byte length and the lines read after each edit agree with the whole text converted anew
// (the lines are kept converted between reads and only changed lines are converted again).
void MemoPadTest::byteLengthFollowsEdits()
{
    TEditorExMain pad;
    auto fresh = [&] {
        Lines lines;
        if (pad.length() == 0)
            return lines;
        const std::string bytes = kavio::qt::ToCp(pad.text());
        size_t start = 0;
        for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(bytes.substr(start, end - start));
        lines.push_back(bytes.substr(start));
        return lines;
    };
    auto check = [&] {
        const Lines lines = pad.GetLines();
        QCOMPARE(lines, fresh());
        QCOMPARE(pad.ByteLength(), int(kavio::JoinLines(lines).size()));
        QCOMPARE(pad.TextCp(), lines.empty() ? std::string() : kavio::JoinLines(lines).substr(0, kavio::JoinLines(lines).size() - 2));
    };
    pad.SetLines({"aソ"_sj, "ｱｲ"_sj, "end"});
    check();
    pad.setCursorPosition(0, 1);
    pad.SetSelTextCp("漢\r\n字\r\n"_sj);
    check();
    pad.setCursorPosition(3, 3);
    pad.SetSelTextCp("\r\nnew last");
    check();
    pad.setSelection(0, 0, 2, 1);
    pad.removeSelectedText();
    check();
    pad.undo();
    check();
    pad.undo();
    check();
    pad.redo();
    check();
    pad.setCursorPosition(1, 0);
    pad.SetSelTextCp("x");
    pad.SetSelTextCp("y");
    check();
    pad.selectAll();
    pad.removeSelectedText();
    QCOMPARE(pad.ByteLength(), 0);
    check();
}

void MemoPadTest::links_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("runs");
    QTest::newRow("http") << "see http://ex.com/a?b=1 now" << QStringList{"url:http://ex.com/a?b=1"};
    QTest::newRow("https and ftp") << "https://a.jp ftp://f.org/x"
                                   << QStringList{"url:https://a.jp", "url:ftp://f.org/x"};
    QTest::newRow("www") << "(www.example.jp)" << QStringList{"url:www.example.jp)"};
    QTest::newRow("after multibyte text") << QString::fromUtf8("参照http://a.jp/漢")
                                          << QStringList{"url:http://a.jp/"};
    QTest::newRow("mailto") << "mailto:me@ex.jp" << QStringList{"mail:mailto:me@ex.jp"};
    QTest::newRow("bare mail, trailing dot")
        << QString::fromUtf8("宛先a.b@ex.co.jp.") << QStringList{"mail:a.b@ex.co.jp"};
    QTest::newRow("not links") << "http:// a@b www example.com" << QStringList{};
    QTest::newRow("second line") << "plain\nx http://b.jp" << QStringList{"url:http://b.jp"};
}

void MemoPadTest::links()
{
    QFETCH(QString, text);
    QFETCH(QStringList, runs);
    TEditorExMain pad;
    pad.BeginUpdate();
    pad.insert(text);
    pad.EndUpdate();
    QCOMPARE(LinkRuns(pad), runs);
}

void MemoPadTest::linksFollowEdits()
{
    TEditorExMain pad;
    pad.SetLines({"go http://a.jp/x", "mail@ex.jp"});
    QCOMPARE(LinkRuns(pad), (QStringList{"url:http://a.jp/x", "mail:mail@ex.jp"}));
    pad.setCursorPosition(0, 11);  // into "a.jp": a blank ends the URL
    pad.SetSelTextCp(" ");
    pad.setCursorPosition(1, 4);
    pad.SetSelTextCp("\r\n");  // splits the address
    QCOMPARE(LinkRuns(pad), (QStringList{"url:http://a"}));
}

void MemoPadTest::openLink_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("url");
    QTest::newRow("http") << "http://a.jp/x" << "http://a.jp/x";
    QTest::newRow("www gets http") << "www.a.jp" << "http://www.a.jp";
    QTest::newRow("mail gets mailto") << "me@a.jp" << "mailto:me@a.jp";
    QTest::newRow("mailto kept") << "mailto:me@a.jp" << "mailto:me@a.jp";
    QTest::newRow("plain text") << "hello" << "";
}

void MemoPadTest::openLink()
{
    QFETCH(QString, text);
    QFETCH(QString, url);
    TEditorExMain pad;
    QStringList opened;
    pad.SetUrlOpener([&](const QUrl& u) { opened << u.toString(); });
    pad.SetLines({("x " + text).toStdString()});
    QCOMPARE(pad.OpenLinkAt(3), !url.isEmpty());
    QCOMPARE(opened, url.isEmpty() ? QStringList{} : QStringList{url});
}

void MemoPadTest::doubleClickOpensLink()
{
    TEditorExMain pad;
    pad.resize(400, 200);
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    QStringList opened;
    pad.SetUrlOpener([&](const QUrl& u) { opened << u.toString(); });
    pad.SetLines({"plain", "http://a.jp/x"});
    long pos = pad.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, 1) + 3;
    QPoint inText(int(pad.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, pos)) + 2,
                  PointY(pad, 1));
    QPoint onPlain(inText.x(), PointY(pad, 0));
    QWindow* window = pad.window()->windowHandle();
    QTest::mouseDClick(window, Qt::LeftButton, {}, pad.viewport()->mapTo(pad.window(), onPlain));
    QVERIFY(opened.isEmpty());
    QTest::qWait(500);  // the next click must not continue the last double click
    QTest::mouseDClick(window, Qt::LeftButton, {}, pad.viewport()->mapTo(pad.window(), inText));
    QTRY_COMPARE(opened, QStringList{"http://a.jp/x"});
}

void MemoPadTest::hoverReportsLink()
{
    TEditorExMain pad;
    pad.resize(400, 200);
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    pad.SetLines({"plain text", "me@a.jp"});
    QSignalSpy above(&pad, &TEditorExMain::aboveUrl);
    QSignalSpy leave(&pad, &TEditorExMain::leaveUrl);
    long pos = pad.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, 1) + 2;
    QPoint onLink(int(pad.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, pos)) + 2,
                  PointY(pad, 1));
    QTest::mouseMove(pad.viewport(), onLink);
    QTRY_COMPARE(above.count(), 1);
    QCOMPARE(above.at(0).at(0).toString(), QString("me@a.jp"));
    QCOMPARE(pad.viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(pad.viewport(), onLink + QPoint(3, 0));  // still the same address
    QTest::mouseMove(pad.viewport(), QPoint(onLink.x(), PointY(pad, 0)));
    QTRY_COMPARE(leave.count(), 1);
    QCOMPARE(above.count(), 1);
}

void MemoPadTest::marginClickGivesLine()
{
    TEditorExMain pad;
    pad.resize(400, 300);
    pad.SetShowLineNumber(true);
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    pad.SetLines({"0", "1", "2", "3", "4", "5", "6"});
    QSignalSpy spy(&pad, &TEditorExMain::leftMarginClicked);
    QTest::mouseClick(pad.viewport(), Qt::LeftButton, {}, QPoint(5, PointY(pad, 5)));
    QTest::mouseClick(pad.viewport(), Qt::LeftButton, {}, QPoint(20, PointY(pad, 2)));  // numbers
    QVERIFY(pad.IsInLeftMargin(QPoint(5, 0)));
    QVERIFY(!pad.IsInLeftMargin(QPoint(150, 0)));
    QTest::qWait(400);
    QTest::mouseClick(pad.viewport(), Qt::LeftButton, {}, QPoint(150, PointY(pad, 3)));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toInt(), 5);
    QCOMPARE(spy.at(1).at(0).toInt(), 2);
    QCOMPARE(pad.RowAtPoint(QPoint(5, PointY(pad, 4))), 4);
}

void MemoPadTest::modifiedAndChange()
{
    TEditorExMain pad;
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    QSignalSpy spy(&pad, &TEditorExMain::changed);
    pad.BeginUpdate();
    pad.SetLines({"a", "b"});
    pad.BeginUpdate();
    pad.SetLines({"c", "d"});
    pad.EndUpdate();
    QCOMPARE(spy.count(), 0);  // nested updates notify once, at the outermost end
    pad.EndUpdate();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<const void*>(), static_cast<const void*>(&pad));
    pad.SetModified(false);
    QVERIFY(!pad.Modified());

    spy.clear();
    QTest::keyClicks(&pad, "x");  // the handler runs as soon as the key has been handled
    QCOMPARE(spy.count(), 1);
    QVERIFY(pad.Modified());
    QCOMPARE(pad.GetLines(), (Lines{"xc", "d"}));
    pad.SetModified(false);
    QVERIFY(!pad.Modified());
    pad.SetModified(true);
    QVERIFY(pad.Modified());

    spy.clear();
    int token = 0;
    pad.DoChange(&token);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<const void*>(), static_cast<const void*>(&token));

    spy.clear();
    pad.setSelection(0, 0, 1, 1);
    pad.SetSelTextCp("yz");  // delete and insert: one notification
    QCOMPARE(spy.count(), 1);
    pad.undo();
    QCOMPARE(spy.count(), 2);
    QCOMPARE(pad.GetLines(), (Lines{"xc", "d"}));
}

void MemoPadTest::wheelScrollsOneLineOrPage()
{
    TEditorExMain pad;
    pad.resize(300, 200);
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    Lines lines;
    for (int i = 0; i < 200; ++i)
        lines.push_back(std::to_string(i));
    pad.SetLines(lines);
    auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        QPointF at(50, 50);
        QWheelEvent event(at, pad.viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pad.viewport(), &event);
        return int(pad.SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE));
    };
    int page = int(pad.SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN));
    QVERIFY(page > 1);
    QCOMPARE(wheel(-120, Qt::NoModifier), 1);
    QCOMPARE(wheel(-120, Qt::ControlModifier), 1 + page);
    QCOMPARE(wheel(120, Qt::NoModifier), page);
    QCOMPARE(wheel(60, Qt::NoModifier), page);  // half a notch waits for the other half
    QCOMPARE(wheel(60, Qt::NoModifier), page - 1);
}

// Comment start, quotation character and whole reserved words take their token styles.
void MemoPadTest::tokenStyles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("column");  // character index into text
    QTest::addColumn<int>("style");   // 0 plain, 1 comment, 2 string, 3 reserved word
    const QString line = QString::fromUtf8("予約語 'a//b' x //コメント");
    QTest::newRow("reserved word") << line << 1 << 3;
    QTest::newRow("plain") << line << 3 << 0;
    QTest::newRow("comment start inside a string") << line << 7 << 2;
    QTest::newRow("comment") << line << 16 << 1;
    QTest::newRow("word within a word") << QString("ifx if") << 0 << 0;
    QTest::newRow("whole word") << QString("ifx if") << 4 << 3;
}

void MemoPadTest::tokenStyles()
{
    QFETCH(QString, text);
    QFETCH(int, column);
    QFETCH(int, style);
    TEditorExMain pad;
    pad.SetCommenter("//");
    pad.SetQuotation("'");
    pad.SetReserveWordList({QString::fromUtf8("予約語"), "if"});
    pad.setText(text);
    pad.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    long pos = text.left(column).toUtf8().size();
    QCOMPARE(int(pad.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, pos)), style);
}

// Three digit columns at least, widened once a line number needs more, never cut off.
void MemoPadTest::lineNumberBarFitsTheLineCount()
{
    TEditorExMain pad;
    pad.SetShowLineNumber(true);
    auto width = [&pad] { return int(pad.SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 1)); };
    auto digits = [&pad](int n) {
        return int(pad.SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH, QsciScintillaBase::STYLE_LINENUMBER,
                                     std::string(n, '0').c_str()));
    };
    pad.SetLines({"a"});
    QVERIFY(width() > digits(3) && width() < digits(4));
    pad.SetLines(Lines(1500, "x"));
    QVERIFY(width() > digits(4) && width() < digits(5));
    pad.SendScintilla(QsciScintillaBase::SCI_SETSEL, 0UL, long(pad.length()));
    pad.SendScintilla(QsciScintillaBase::SCI_REPLACESEL, 0UL, "short");
    QTRY_VERIFY(width() < digits(4));
    pad.SetShowLineNumber(false);
    QCOMPARE(width(), 0);
}

// Each visible mark switches its Scintilla feature on, in the mark's colour.
void MemoPadTest::visibleMarksReachScintilla()
{
    using Mark = TEditorExMain::Mark;
    using Base = QsciScintillaBase;
    auto bgr = [](long v) { return QColor(int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF)); };
    struct Case {
        const char* name;
        Mark mark;
        std::function<bool(TEditorExMain&, const QColor&)> shown;
    };
    const Case cases[] = {
        {"space", Mark::Space, [](TEditorExMain& p, const QColor&) {
             return p.SendScintilla(Base::SCI_GETVIEWWS) == Base::SCWS_VISIBLEALWAYS; }},
        {"tab", Mark::Tab, [](TEditorExMain& p, const QColor&) {
             return p.SendScintilla(Base::SCI_GETVIEWWS) == Base::SCWS_VISIBLEALWAYS; }},
        {"line end", Mark::Ret, [&](TEditorExMain& p, const QColor& c) {
             // the line end's own style carries the mark colour
             return p.SendScintilla(Base::SCI_GETVIEWEOL) && bgr(p.SendScintilla(Base::SCI_STYLEGETFORE, 4)) == c; }},
        {"wrap", Mark::Wrap, [](TEditorExMain& p, const QColor&) {
             return p.SendScintilla(Base::SCI_GETWRAPVISUALFLAGS) != 0; }},
        {"paren", Mark::Paren, [&](TEditorExMain& p, const QColor& c) {
             return p.braceMatching() != QsciScintilla::NoBraceMatch &&
                    bgr(p.SendScintilla(Base::SCI_STYLEGETFORE, Base::STYLE_BRACELIGHT)) == c; }},
        {"full-width space", Mark::DBSpace, [&](TEditorExMain& p, const QColor& c) {
             const int ind = TEditorExMain::kDBSpaceIndicator;
             return p.SendScintilla(Base::SCI_INDICGETSTYLE, ind) == Base::INDIC_BOX &&
                    bgr(p.SendScintilla(Base::SCI_INDICGETFORE, ind)) == c &&
                    p.SendScintilla(Base::SCI_INDICATORVALUEAT, ind, 1) &&   // the U+3000 after "a"
                    !p.SendScintilla(Base::SCI_INDICATORVALUEAT, ind, 4); }},  // the "b" after it
    };
    for (const Case& c : cases) {
        TEditorExMain pad;
        pad.SetLines({"a　b (x)"_sj, "tab\there"});
        QTRY_VERIFY2(!c.shown(pad, QColor(128, 128, 128)), c.name);
        const QColor color(30, 160, 90);
        pad.SetMark(c.mark, {true, color});
        QVERIFY2(c.shown(pad, color), c.name);
        pad.SetMark(c.mark, {false, color});
        QVERIFY2(!c.shown(pad, color), c.name);
    }
}

// The current-line underline follows the caret's row; "[EOF]" is written after the text.
void MemoPadTest::underlineAndEofArePainted()
{
    TEditorExMain pad;
    pad.resize(400, 200);
    pad.SetLines({"abc", "def"});
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    const QColor underline(220, 0, 0);
    const QColor eof(0, 0, 230);
    auto rowBottom = [&pad](int line) {
        long pos = pad.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
        return int(pad.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, pos) +
                   pad.SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, line) - 1);
    };
    // What is on the screen, not a fresh rendering: a row left unrepainted keeps its old look.
    auto underlined = [&](int line) {
        QImage screen = pad.screen()->grabWindow(pad.winId()).toImage();
        QPoint at = pad.viewport()->mapTo(&pad, QPoint(200, rowBottom(line)));
        return QColor(screen.pixel(at)) == underline;
    };
    auto eofShown = [&] {
        QImage image = pad.viewport()->grab().toImage();
        long end = pad.length();
        int x0 = int(pad.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, end));
        int y0 = int(pad.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, end));
        for (int y = y0; y < y0 + 16; ++y)
            for (int x = x0; x < std::min(image.width(), x0 + 80); ++x)
                if (QColor(image.pixel(x, y)) == eof)
                    return true;
        return false;
    };
    pad.setCursorPosition(0, 1);
    pad.SetMark(TEditorExMain::Mark::Underline, {true, underline});
    QTRY_VERIFY(underlined(0));
    QVERIFY(!underlined(1));
    pad.setCursorPosition(1, 1);
    QTRY_VERIFY(underlined(1));
    QVERIFY(!underlined(0));

    QVERIFY(!eofShown());
    pad.SetMark(TEditorExMain::Mark::Eof, {true, eof});
    QTRY_VERIFY(eofShown());
    pad.SetMark(TEditorExMain::Mark::Eof, {false, eof});
    QTRY_VERIFY(!eofShown());
}

// The guide line stands at the wrap column exactly while word wrap is on.
void MemoPadTest::wrapGuideFollowsWordWrap()
{
    TEditorExMain pad;
    auto mode = [&pad] { return int(pad.SendScintilla(QsciScintillaBase::SCI_GETEDGEMODE)); };
    QCOMPARE(mode(), int(QsciScintillaBase::EDGE_NONE));
    pad.SetWordWrapEnabled(true);
    pad.SetWrapByte(60);
    QCOMPARE(mode(), int(QsciScintillaBase::EDGE_LINE));
    QCOMPARE(int(pad.SendScintilla(QsciScintillaBase::SCI_GETEDGECOLUMN)), 60);
    pad.SetWordWrapEnabled(false);
    QCOMPARE(mode(), int(QsciScintillaBase::EDGE_NONE));
}

QTEST_MAIN(MemoPadTest)
#include "memo_pad_test.moc"
