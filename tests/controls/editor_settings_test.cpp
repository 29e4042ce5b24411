#include "controls/editor_settings.h"

#include "base/codepage.h"
#include "base/error.h"
#include "config/app_settings.h"
#include "controls/memo_pad.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QTest>

#include <cmath>

using kavio::operator""_sj;
using kavio::TMemIniFileEx;
using kavio::qt::MarkSetting;
using kavio::qt::TEditorExMain;
using kavio::qt::TokenColor;
using Mark = TEditorExMain::Mark;
using Token = TEditorExMain::Token;

namespace {

namespace ed = kavio::settings;

// The image of an INI file with the given code-page text.
TMemIniFileEx IniOf(const kavio::test::TempDir& dir, const std::string& text)
{
    std::string path = dir / "settings.ini";
    kavio::test::WriteRaw(path, text);
    return TMemIniFileEx(path);
}

QColor FromBgr(long value)
{
    return QColor(int(value & 0xFF), int(value >> 8 & 0xFF), int(value >> 16 & 0xFF));
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// Every key with a value other than its default, in the order they are saved.
const std::string kPreference =
    "AutoIndent=1\nFreeCaret=1\nLockScroll=1\nSelMove=1\nSoftTab=1\nTabSpaceCount=4\n"
    "ChaeactorSpan=3\nLineSpan=2\nShowLineNumber=1\nShowRuler=1\n";
const std::string kMarks =
    "DBSpace.Color=clRed\nDBSpace.Visible=1\nFindMark.Color=$00123456\nFindMark.Visible=1\n"
    "ParenMark.Color=clBlue\nParenMark.Visible=1\nSpace.Color=clGreen\nSpace.Visible=1\n"
    "TabMark.Color=clNone\nTabMark.Visible=0\nEofMark.Color=clNavy\nEofMark.Visible=1\n"
    "HideMark.Color=clPurple\nHideMark.Visible=1\nRetMark.Color=clTeal\nRetMark.Visible=1\n"
    "Underline.Color=clMaroon\nUnderline.Visible=1\nWrapMark.Color=clOlive\nWrapMark.Visible=1\n";
// Read, never written.
const std::string kHitKeys = "FindMark.BackColor=clYellow\nFindMark.Style=[fsUnderline]\n";
const std::string kTextMarkup =
    "Font=128,255,Noto Sans Mono CJK JP,12,[fsBold]\nCommenter=//\nQuotation='\n"
    "Comment.BackColor=clNone\nComment.Color=clGreen\nComment.Style=[fsItalic]\n"
    "Mail.BackColor=clSilver\nMail.Color=clBlue\nMail.Style=[fsUnderline]\n"
    "Reserve.BackColor=clNone\nReserve.Color=clRed\n"
    "Reserve.Style=[fsBold,fsItalic,fsUnderline,fsStrikeOut]\n"
    "Str.BackColor=$00E0E0E0\nStr.Color=clMaroon\nStr.Style=[]\n"
    "Url.BackColor=clNone\nUrl.Color=clNavy\nUrl.Style=[fsStrikeOut]\n";
const std::string kWordWrap = "WordWrap=1\nViewFormat=0\n"_sj + "FollowStr=、。ー\n"_sj +
                              "LeadStr=「（\n"_sj + "PunctionStr=、\n"_sj +
                              "EnglishWordWrap=1\nWrapByte=60\n";
const std::string kReserveWords = "予約語\nif\nwhile\n"_sj;

std::string FullFile()
{
    return "[Editor.Preference]\n" + kPreference + "[Editor.Marks]\n" + kMarks + kHitKeys +
           "[Editor.TextMarkup]\n" + kTextMarkup + "[Editor.WordWrap]\n" + kWordWrap +
           "[Editor.ReserveWords]\n" + kReserveWords;
}

}  // namespace

class EditorSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void missingSectionsGiveDefaults();
    void everyKeyLoadsAndSavesBack();
    void showLineNumber_data();
    void showLineNumber();
    void reserveWords_data();
    void reserveWords();
    void hitColouringIsReadNotWritten();
    void styleSets_data();
    void styleSets();
    void badColourStopsTheLoad();
    void barColors();
    void rulerMarkFollowsCaretAndScroll();
    void currentLineColor();
    void evenLinesFollowEdits();
    void findStringMarksHits();
};

// A file without editor sections resets what has a fixed default and keeps the editor's
// current tab width, wrap column and line-breaking strings.
void EditorSettingsTest::missingSectionsGiveDefaults()
{
    kavio::test::TempDir dir;
    TMemIniFileEx ini = IniOf(dir, "[Other]\nx=1\n");

    TEditorExMain fresh;
    const QString follow = fresh.FollowStr;
    kavio::qt::LoadEditorSettings(fresh, ini);
    QCOMPARE(fresh.TabSpaceCount(), 2);
    QCOMPARE(fresh.WrapByte(), 45);
    QCOMPARE(fresh.FollowStr, follow);
    QCOMPARE(fresh.LeadStr, QString::fromUtf8("（［｛「『([{｢"));
    QCOMPARE(fresh.PunctuationStr, QString::fromUtf8("、。，．,.｡､"));

    TEditorExMain used;
    used.SetTabSpaceCount(6);
    used.SetWrapByte(30);
    used.SetWordWrapEnabled(true);
    used.SetShowLineNumber(true);
    used.SetShowRuler(true);
    used.SetAutoIndentOn(true);
    used.SetLineSpan(4);
    used.ViewFormat = false;
    for (int i = 0; i < int(Mark::Count); ++i)
        used.SetMark(Mark(i), {true, Qt::red});
    used.SetTokenColor(Token::Comment, {Qt::green, Qt::black, 1});
    used.SetCommenter("#");
    used.SetReserveWordList({"kept"});
    kavio::qt::LoadEditorSettings(used, ini);

    QCOMPARE(used.TabSpaceCount(), 6);
    QCOMPARE(used.WrapByte(), 30);
    QVERIFY(!used.WordWrapEnabled());
    QVERIFY(!used.ShowLineNumber());
    QVERIFY(!used.ShowRuler());
    QVERIFY(!used.AutoIndentOn());
    QCOMPARE(used.LineSpan(), 0);
    QVERIFY(used.ViewFormat);
    for (int i = 0; i < int(Mark::Count); ++i)
        QCOMPARE(used.MarkAt(Mark(i)), (MarkSetting{false, QColor(128, 128, 128)}));
    QCOMPARE(used.TokenColorAt(Token::Comment), TokenColor{});
    QCOMPARE(used.Commenter(), QString());
    QCOMPARE(used.ReserveWordList(), QStringList{"kept"});
    QCOMPARE(int(used.SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 1)), 0);
    QCOMPARE(int(used.SendScintilla(QsciScintillaBase::SCI_GETEDGEMODE)), int(QsciScintilla::EdgeNone));
}

// Loading reaches every property, and saving writes each key back with the value read, in the
// same order; the search-hit keys are not written.
void EditorSettingsTest::everyKeyLoadsAndSavesBack()
{
    kavio::test::TempDir dir;
    TMemIniFileEx in = IniOf(dir, FullFile());
    TEditorExMain pad;
    kavio::qt::LoadEditorSettings(pad, in);

    QVERIFY(pad.AutoIndentOn() && pad.FreeCaret() && pad.LockScroll && pad.SelMove && pad.SoftTab());
    QCOMPARE(pad.TabSpaceCount(), 4);
    QCOMPARE(pad.CharacterSpan(), 3);
    QCOMPARE(pad.LineSpan(), 2);
    QVERIFY(pad.ShowLineNumber() && pad.ShowRuler());
    QCOMPARE(pad.MarkAt(Mark::DBSpace), (MarkSetting{true, QColor(255, 0, 0)}));
    QCOMPARE(pad.MarkAt(Mark::Find), (MarkSetting{true, QColor(0x56, 0x34, 0x12)}));
    QCOMPARE(pad.MarkAt(Mark::Tab), (MarkSetting{false, QColor()}));
    QCOMPARE(pad.MarkAt(Mark::Wrap),
             (MarkSetting{true, QColor(128, 128, 0)}));
    QCOMPARE(pad.EditorFont().family(), QString("Noto Sans Mono CJK JP"));
    QCOMPARE(pad.EditorFont().pointSize(), 12);
    QVERIFY(pad.EditorFont().bold());
    QCOMPARE(pad.TextColor(), QColor(255, 0, 0));  // the font's colour
    QCOMPARE(pad.Commenter(), QString("//"));
    QCOMPARE(pad.Quotation(), QString("'"));
    QCOMPARE(pad.TokenColorAt(Token::Reserve), (TokenColor{QColor(255, 0, 0), QColor(), 15}));
    QCOMPARE(pad.TokenColorAt(Token::Str),
             (TokenColor{QColor(128, 0, 0), QColor(0xE0, 0xE0, 0xE0), 0}));
    QVERIFY(pad.WordWrapEnabled() && pad.EnglishWordWrap() && !pad.ViewFormat);
    QCOMPARE(pad.WrapByte(), 60);
    QCOMPARE(pad.FollowStr, QString::fromUtf8("、。ー"));
    QCOMPARE(pad.LeadStr, QString::fromUtf8("「（"));
    QCOMPARE(pad.PunctuationStr, QString::fromUtf8("、"));
    QCOMPARE(pad.ReserveWordList(), (QStringList{QString::fromUtf8("予約語"), "if", "while"}));

    TMemIniFileEx out(dir / "saved.ini");
    kavio::qt::SaveEditorSettings(pad, out);
    QCOMPARE(out.ReadSectionValues(ed::kEditorPreference), SplitLines(kPreference));
    QCOMPARE(out.ReadSectionValues(ed::kEditorMarks), SplitLines(kMarks));
    QCOMPARE(out.ReadSectionValues(ed::kEditorTextMarkup), SplitLines(kTextMarkup));
    QCOMPARE(out.ReadSectionValues(ed::kEditorWordWrap), SplitLines(kWordWrap));
    QCOMPARE(out.ReadSectionValues(ed::kEditorReserveWords), SplitLines(kReserveWords));
}

void EditorSettingsTest::showLineNumber_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("shown");
    QTest::newRow("on") << "1" << true;
    QTest::newRow("off") << "0" << false;
}

// On: a bar of three digit columns; off: no number column at all.
void EditorSettingsTest::showLineNumber()
{
    QFETCH(QString, value);
    QFETCH(bool, shown);
    kavio::test::TempDir dir;
    TMemIniFileEx ini = IniOf(dir, "[Editor.Preference]\nShowLineNumber=" + value.toStdString() + "\n");
    TEditorExMain pad;
    pad.SetShowLineNumber(!shown);
    pad.SetLines({"a", "b"});
    kavio::qt::LoadEditorSettings(pad, ini);
    QCOMPARE(pad.ShowLineNumber(), shown);
    auto textWidth = [&pad](const char* text) {
        return int(pad.SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH,
                                     QsciScintillaBase::STYLE_LINENUMBER, text));
    };
    int width = int(pad.SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 1));
    if (!shown) {
        QCOMPARE(width, 0);
        return;
    }
    QVERIFY2(width > textWidth("000") && width < textWidth("0000"), qPrintable(QString::number(width)));
}

void EditorSettingsTest::reserveWords_data()
{
    QTest::addColumn<std::string>("section");
    QTest::addColumn<bool>("intoList");  // load into a separate list instead of the editor
    QTest::addColumn<QStringList>("expected");
    const QStringList kept{"old"};
    QTest::newRow("present") << "[Editor.ReserveWords]\nfor\n予約語\n"_sj << false
                             << QStringList{"for", QString::fromUtf8("予約語")};
    QTest::newRow("absent") << std::string() << false << kept;
    // Saving an emptied list leaves the bare section; reading it must empty the list again.
    QTest::newRow("present but empty") << std::string("[Editor.ReserveWords]\n") << false
                                       << QStringList{};
    QTest::newRow("into a list") << std::string("[Editor.ReserveWords]\nfor\n") << true
                                 << QStringList{"for"};
    QTest::newRow("absent, into a list") << std::string() << true << kept;
}

void EditorSettingsTest::reserveWords()
{
    QFETCH(std::string, section);
    QFETCH(bool, intoList);
    QFETCH(QStringList, expected);
    kavio::test::TempDir dir;
    TMemIniFileEx ini = IniOf(dir, "[Editor.Preference]\nSoftTab=0\n" + section);
    TEditorExMain pad;
    pad.SetReserveWordList({"old"});
    QStringList list{"old"};
    kavio::qt::LoadEditorSettings(pad, ini, intoList ? &list : nullptr);
    QCOMPARE(intoList ? list : pad.ReserveWordList(), expected);
    QCOMPARE(intoList ? pad.ReserveWordList() : list, QStringList{"old"});  // the other is untouched
}

// The find mark's colour key doubles as the hit text colour; background and style are read
// only. Without the colour key, hits have no text colour of their own.
void EditorSettingsTest::hitColouringIsReadNotWritten()
{
    kavio::test::TempDir dir;
    TEditorExMain pad;
    {
        TMemIniFileEx ini = IniOf(dir, "[Editor.Marks]\nFindMark.Color=clRed\n" + kHitKeys);
        kavio::qt::LoadEditorSettings(pad, ini);
    }
    QCOMPARE(pad.HitColor().text, QColor(255, 0, 0));
    QCOMPARE(pad.HitColor().back, QColor(255, 255, 0));
    QCOMPARE(pad.HitColor().style, 0);  // the hit style follows the (regular) font

    TMemIniFileEx out(dir / "saved.ini");
    kavio::qt::SaveEditorSettings(pad, out);
    QVERIFY(out.ValueExists(ed::kEditorMarks, "FindMark.Color"));
    QVERIFY(out.ValueExists(ed::kEditorMarks, "FindMark.Visible"));
    QVERIFY(!out.ValueExists(ed::kEditorMarks, "FindMark.BackColor"));
    QVERIFY(!out.ValueExists(ed::kEditorMarks, "FindMark.Style"));

    TMemIniFileEx bare = IniOf(dir, "[Editor.Marks]\nFindMark.Visible=1\n");
    kavio::qt::LoadEditorSettings(pad, bare);
    QVERIFY(!pad.HitColor().text.isValid());
    QVERIFY(!pad.HitColor().back.isValid());
    QCOMPARE(pad.MarkAt(Mark::Find), (MarkSetting{true, QColor(128, 128, 128)}));
}

void EditorSettingsTest::styleSets_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QString>("written");
    QTest::newRow("none") << "[]" << 0 << "[]";
    QTest::newRow("bold italic") << "[fsBold,fsItalic]" << 3 << "[fsBold,fsItalic]";
    QTest::newRow("order and case") << "[ fsstrikeout , FSBOLD ]" << 9 << "[fsBold,fsStrikeOut]";
    QTest::newRow("unknown name ignored") << "[fsBold,fsShadow]" << 1 << "[fsBold]";
    QTest::newRow("garbage") << "bold" << 0 << "[]";
}

void EditorSettingsTest::styleSets()
{
    QFETCH(QString, text);
    QFETCH(int, bits);
    QFETCH(QString, written);
    QCOMPARE(kavio::qt::StyleSetBits(text.toStdString()), bits);
    QCOMPARE(QString::fromStdString(kavio::qt::StyleSetText(bits)), written);
}

// An unreadable colour is reported, not read as some colour.
void EditorSettingsTest::badColourStopsTheLoad()
{
    kavio::test::TempDir dir;
    TMemIniFileEx ini = IniOf(dir, "[Editor.Marks]\nSpace.Color=reddish\n");
    TEditorExMain pad;
    QVERIFY_THROWS_EXCEPTION(kavio::EConvertError, kavio::qt::LoadEditorSettings(pad, ini));
}

// The line-number bar, the image bar and the ruler take the bar colours, and keep them when
// the editor's font and paper change.
void EditorSettingsTest::barColors()
{
    TEditorExMain pad;
    pad.resize(400, 200);
    pad.SetShowLineNumber(true);
    pad.SetShowRuler(true);
    pad.SetLines({"abc"});
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    const QColor back(10, 40, 70);
    const QColor text(200, 210, 220);
    pad.SetBarColors(back, text);
    pad.SetPaperColor(QColor(250, 250, 240));
    pad.SetEditorFont(QFont("Noto Sans Mono CJK JP", 11));
    const long numberStyle = QsciScintillaBase::STYLE_LINENUMBER;
    QCOMPARE(FromBgr(pad.SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, numberStyle)), back);
    QCOMPARE(FromBgr(pad.SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, numberStyle)), text);

    QImage view = pad.viewport()->grab().toImage();
    QCOMPARE(QColor(view.pixel(2, 2)), back);    // image bar
    QCOMPARE(QColor(view.pixel(14, 40)), back);  // number bar below the last line
    auto* ruler = pad.findChild<QWidget*>("ruler");
    QVERIFY(ruler && ruler->isVisible());
    QCOMPARE(QColor(ruler->grab().toImage().pixel(2, 2)), back);
}

// The caret's column is marked on the ruler in the ruler-mark colour, and the mark moves with
// the caret and with horizontal scrolling.
void EditorSettingsTest::rulerMarkFollowsCaretAndScroll()
{
    TEditorExMain pad;
    pad.resize(500, 200);
    pad.SetShowRuler(true);
    pad.SetLines({std::string(300, 'x')});
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    const QColor mark(200, 0, 100);
    pad.SetRulerMarkColor(mark);
    auto* ruler = pad.findChild<QWidget*>("ruler");
    QVERIFY(ruler && ruler->isVisible());
    QCOMPARE(ruler->geometry().bottom() + 1, pad.viewport()->geometry().top());

    const double column = pad.SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH,
                                            QsciScintillaBase::STYLE_DEFAULT,
                                            std::string(100, '0').c_str()) / 100.0;
    const int textLeft = int(pad.SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0) +
                             pad.SendScintilla(QsciScintillaBase::SCI_GETMARGINLEFT));
    auto markAt = [&](int col, int xOffset) {
        QImage image = ruler->grab().toImage();
        int x = int(std::lround(textLeft - xOffset + (col + 0.5) * column));
        return QColor(image.pixel(x, image.height() * 3 / 4)) == mark;
    };
    // Only the ticks of every tenth column reach the top of the ruler.
    auto tenthTickAt = [&](int col, int xOffset) {
        QImage image = ruler->grab().toImage();
        int x = int(std::floor(textLeft - xOffset + col * column));
        return QColor(image.pixel(x, 3)) == pad.BarTextColor();
    };
    pad.setCursorPosition(0, 7);
    QTRY_VERIFY(markAt(7, 0));
    QVERIFY(tenthTickAt(10, 0) && tenthTickAt(20, 0) && !tenthTickAt(15, 0));
    QVERIFY(!markAt(6, 0) && !markAt(8, 0));
    pad.setCursorPosition(0, 12);
    QTRY_VERIFY(markAt(12, 0));
    QVERIFY(!markAt(7, 0));
    const int scrolled = int(std::lround(5 * column));
    pad.SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, scrolled);
    QTRY_VERIFY(markAt(12, scrolled));
    QVERIFY(tenthTickAt(10, scrolled) && !tenthTickAt(10, 0));

    pad.SetShowRuler(false);
    QVERIFY(ruler->isHidden());
    QCOMPARE(pad.viewport()->geometry().top(), pad.contentsRect().top());
}

void EditorSettingsTest::currentLineColor()
{
    TEditorExMain pad;
    const QColor color(255, 240, 200);
    pad.SetCurrentLineColor(color);
    QVERIFY(pad.SendScintilla(QsciScintillaBase::SCI_GETCARETLINEVISIBLE));
    QVERIFY(pad.SendScintilla(QsciScintillaBase::SCI_GETCARETLINEVISIBLEALWAYS));
    QCOMPARE(FromBgr(pad.SendScintilla(QsciScintillaBase::SCI_GETCARETLINEBACK)), color);
    // The underline mark is drawn on its own; it does not switch the line colour on.
    pad.SetCurrentLineColor(QColor());
    pad.SetMark(Mark::Underline, {true, Qt::red});
    QVERIFY(!pad.SendScintilla(QsciScintillaBase::SCI_GETCARETLINEVISIBLE));
}

// Every second line in view carries the even-line background, and stays right when lines are
// added above; row marks are not disturbed.
void EditorSettingsTest::evenLinesFollowEdits()
{
    TEditorExMain pad;
    pad.resize(500, 400);
    pad.SetLines({"0", "1", "2", "3", "4", "5", "6", "7"});
    pad.AddRowMark(2, kavio::kMarkFinished);
    pad.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pad));
    const QColor even(220, 230, 255);
    pad.SetEvenLineColor(even);
    auto evenLines = [&pad] {
        QList<int> result;
        for (int line = 0; line < pad.lines(); ++line)
            if (pad.SendScintilla(QsciScintillaBase::SCI_MARKERGET, line) &
                (1L << TEditorExMain::kEvenLineMarker))
                result << line;
        return result;
    };
    QCOMPARE(evenLines(), (QList<int>{1, 3, 5, 7}));

    auto lineY = [&pad](int line) {
        long pos = pad.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
        return int(pad.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, pos) + 2);
    };
    QTRY_COMPARE(QColor(pad.viewport()->grab().toImage().pixel(300, lineY(1))), even);
    QCOMPARE(QColor(pad.viewport()->grab().toImage().pixel(300, lineY(0))), pad.PaperColor());

    pad.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, 0UL, "new\n");
    QTRY_COMPARE(evenLines(), (QList<int>{1, 3, 5, 7}));
    QCOMPARE(pad.RowMarkSet(3), uint16_t(1 << kavio::kMarkFinished));
    QCOMPARE(pad.RowMarkSet(1), uint16_t(0));
    pad.SendScintilla(QsciScintillaBase::SCI_SETSEL, 0UL, 4L);
    pad.SendScintilla(QsciScintillaBase::SCI_REPLACESEL, 0UL, "");
    QTRY_COMPARE(evenLines(), (QList<int>{1, 3, 5, 7}));

    pad.SetEvenLineColor(QColor());
    QCOMPARE(evenLines(), QList<int>{});
    QCOMPARE(pad.RowMarkSet(2), uint16_t(1 << kavio::kMarkFinished));
}

// Hits are marked in every line, follow edits and a new find string, and show only while the
// find mark is visible.
void EditorSettingsTest::findStringMarksHits()
{
    TEditorExMain pad;
    pad.SetLines({"abc xabc ab", "ab", "漢字abc"_sj});
    pad.SetFindString("abc");
    QCOMPARE(pad.FindString(), QString("abc"));
    auto hits = [&pad] {
        QList<int> starts;
        for (int pos = 0; pos < pad.length(); ++pos)
            if (pad.SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT,
                                  TEditorExMain::kFindIndicator, pos) &&
                (pos == 0 || !pad.SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT,
                                                TEditorExMain::kFindIndicator, pos - 1)))
                starts << pos;
        return starts;
    };
    const int line2 = 15;  // "abc xabc ab\n" + "ab\n"; 漢字 are 6 UTF-8 bytes
    QCOMPARE(hits(), (QList<int>{0, 5, line2 + 6}));

    pad.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, 14UL, "c");  // line 1 becomes "abc"
    QTRY_COMPARE(hits(), (QList<int>{0, 5, 12, line2 + 7}));
    pad.SetFindString("ab");
    QCOMPARE(hits(), (QList<int>{0, 5, 9, 12, line2 + 7}));
    pad.SetFindString(QString());
    QCOMPARE(hits(), QList<int>{});

    auto style = [&pad](int indicator) {
        return int(pad.SendScintilla(QsciScintillaBase::SCI_INDICGETSTYLE, indicator));
    };
    auto fore = [&pad](int indicator) {
        return FromBgr(pad.SendScintilla(QsciScintillaBase::SCI_INDICGETFORE, indicator));
    };
    const int text = TEditorExMain::kFindIndicator;
    const int back = TEditorExMain::kFindBackIndicator;
    QCOMPARE(style(text), int(QsciScintillaBase::INDIC_HIDDEN));
    pad.SetMark(Mark::Find, {true, QColor(0, 128, 0)});
    QCOMPARE(style(text), int(QsciScintillaBase::INDIC_TEXTFORE));
    QCOMPARE(fore(text), QColor(0, 128, 0));
    QCOMPARE(style(back), int(QsciScintillaBase::INDIC_HIDDEN));
    pad.SetHitColor({QColor(255, 0, 0), QColor(255, 255, 0), 0});
    QCOMPARE(fore(text), QColor(255, 0, 0));
    QCOMPARE(style(back), int(QsciScintillaBase::INDIC_STRAIGHTBOX));
    QCOMPARE(fore(back), QColor(255, 255, 0));
}

QTEST_MAIN(EditorSettingsTest)
#include "editor_settings_test.moc"
