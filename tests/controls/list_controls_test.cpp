#include "controls/index_list_box.h"
#include "controls/labels.h"

#include <QDialog>
#include <QEnterEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using kavio::qt::ShortenText;
using kavio::qt::TBevelKind;
using kavio::qt::TBevelLabel;
using kavio::qt::TEllipsisKind;
using kavio::qt::TEllipsisLabel;
using kavio::qt::TGradientLabel;
using kavio::qt::TIndexListBox;
using kavio::qt::TLinkLabel;
using kavio::qt::TLinkType;

namespace {

const QString kEllipsis = QStringLiteral("\u2026");

// A list of `count` rows with `selected` selected and remembered, and a spy on its reports.
struct ListFixture {
    explicit ListFixture(int count, int selected = -1)
    {
        list.setFrameShape(QFrame::NoFrame);
        list.resize(120, 12 * 8);
        list.SetDataHandler([](int i) { return QStringLiteral("row %1").arg(i); });
        list.SetCount(count);
        list.SetItemIndex(selected);
        spy.emplace(&list, &TIndexListBox::indexChanged);
    }
    TIndexListBox list;
    std::optional<QSignalSpy> spy;
};

}  // namespace

class ListControlsTest : public QObject {
    Q_OBJECT
private slots:
    void setItemIndexReportsOnlyChanges();
    void resetIndexAlwaysReports();
    void clearReportsOnlyRememberedIndex();
    void deleteString_data();
    void deleteString();
    void setCountNeverReports_data();
    void setCountNeverReports();
    void mouseClicks();
    void keys_data();
    void keys();
    void ownerSuppliesTextAndPainting();

    void shortenText_data();
    void shortenText();
    void shortenWithoutBlanksStillShowsText();
    void ellipsisLabelShortensToItsWidth();
    void bevelSpaceAndAutoSize_data();
    void bevelSpaceAndAutoSize();
    void bevelTextRectFollowsAlignment_data();
    void bevelTextRectFollowsAlignment();
    void gradientShowRange();
    void linkUrl_data();
    void linkUrl();
    void linkClickOpensAndClosesWindow();
    void linkColoursFollowMouse();
};

void ListControlsTest::setItemIndexReportsOnlyChanges()
{
    ListFixture f(5);
    f.list.SetItemIndex(2);
    QCOMPARE(f.spy->count(), 1);
    QCOMPARE(f.spy->at(0).at(0).value<TIndexListBox*>(), &f.list);
    QCOMPARE(f.list.PrevItemIndex(), -1);
    QCOMPARE(f.list.LastItemIndex(), 2);

    f.list.SetItemIndex(2);
    QCOMPARE(f.spy->count(), 1);

    f.list.SetItemIndex(4);
    QCOMPARE(f.spy->count(), 2);
    QCOMPARE(f.list.PrevItemIndex(), 2);
    QCOMPARE(f.list.ItemIndex(), 4);

    // An index past the end selects nothing and must not be remembered as if it were a row.
    f.list.SetItemIndex(99);
    QCOMPARE(f.spy->count(), 3);
    QCOMPARE(f.list.ItemIndex(), -1);
    QCOMPARE(f.list.LastItemIndex(), -1);
    QCOMPARE(f.list.PrevItemIndex(), 4);
}

void ListControlsTest::resetIndexAlwaysReports()
{
    ListFixture f(5, 3);
    f.list.ResetIndex();
    QCOMPARE(f.spy->count(), 1);
    QCOMPARE(f.list.PrevItemIndex(), -1);
    QCOMPARE(f.list.LastItemIndex(), -1);
    QCOMPARE(f.list.ItemIndex(), 3);  // the selection itself stays

    // Re-selecting the row that is still selected reports again after a reset.
    f.list.SetItemIndex(3);
    QCOMPARE(f.spy->count(), 2);
    QCOMPARE(f.list.PrevItemIndex(), -1);

    f.list.ResetIndex();
    f.list.ResetIndex();
    QCOMPARE(f.spy->count(), 4);
}

void ListControlsTest::clearReportsOnlyRememberedIndex()
{
    ListFixture empty(5);
    empty.list.Clear();
    QCOMPARE(empty.spy->count(), 0);
    QCOMPARE(empty.list.Count(), 0);

    ListFixture f(5, 2);
    f.list.Clear();
    QCOMPARE(f.spy->count(), 1);
    QCOMPARE(f.list.PrevItemIndex(), 2);
    QCOMPARE(f.list.LastItemIndex(), -1);
    QCOMPARE(f.list.ItemIndex(), -1);
    QCOMPARE(f.list.Count(), 0);
}

void ListControlsTest::deleteString_data()
{
    QTest::addColumn<int>("deleted");
    QTest::addColumn<int>("index");    // selection afterwards
    QTest::addColumn<int>("reports");

    QTest::newRow("after selection") << 4 << 2 << 0;
    QTest::newRow("before selection") << 0 << 1 << 1;
    QTest::newRow("selected row") << 2 << -1 << 1;
    QTest::newRow("past the end") << 9 << 2 << 0;
}

void ListControlsTest::deleteString()
{
    QFETCH(int, deleted);
    QFETCH(int, index);
    QFETCH(int, reports);
    ListFixture f(5, 2);
    f.list.DeleteString(deleted);
    QCOMPARE(f.list.Count(), deleted < 5 ? 4 : 5);
    QCOMPARE(f.list.ItemIndex(), index);
    QCOMPARE(f.list.LastItemIndex(), index);
    QCOMPARE(f.spy->count(), reports);
    if (reports)
        QCOMPARE(f.list.PrevItemIndex(), 2);
}

void ListControlsTest::setCountNeverReports_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");

    QTest::newRow("grows") << 2 << 10 << 2;
    QTest::newRow("shrinks past selection") << 4 << 3 << 2;
    QTest::newRow("becomes empty") << 4 << 0 << -1;
    QTest::newRow("over the limit") << 1 << 100000 << 1;
}

void ListControlsTest::setCountNeverReports()
{
    QFETCH(int, selected);
    QFETCH(int, count);
    QFETCH(int, index);
    ListFixture f(5, selected);
    f.list.SetCount(count);
    QCOMPARE(f.list.Count(), std::min(count, TIndexListBox::kMaxCount));
    QCOMPARE(f.list.ItemIndex(), index);
    QCOMPARE(f.spy->count(), 0);
    QCOMPARE(f.list.LastItemIndex(), selected);

    // The remembered index is kept, so confirming a moved selection reports it.
    f.list.SetItemIndex(index);
    QCOMPARE(f.spy->count(), index == selected ? 0 : 1);
}

void ListControlsTest::mouseClicks()
{
    ListFixture f(5);
    f.list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    QWidget* viewport = f.list.viewport();
    const auto rowPoint = [&](int row) { return f.list.ItemRect(row).center(); };

    QTest::mouseClick(viewport, Qt::LeftButton, {}, rowPoint(1));
    QCOMPARE(f.list.ItemIndex(), 1);
    QCOMPARE(f.spy->count(), 1);
    QCOMPARE(f.list.PrevItemIndex(), -1);

    // The selected row again, and the empty area below the rows: nothing.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, rowPoint(1));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(5, 12 * 7 + 3));
    QCOMPARE(f.list.ItemIndex(), 1);
    QCOMPARE(f.spy->count(), 1);

    // A right click leaves the selection for a context menu.
    QTest::mouseClick(viewport, Qt::RightButton, {}, rowPoint(3));
    QCOMPARE(f.list.ItemIndex(), 1);
    QCOMPARE(f.spy->count(), 1);

    // The report comes at the release, with the row then under the mouse.
    QTest::mousePress(viewport, Qt::LeftButton, {}, rowPoint(3));
    QCOMPARE(f.spy->count(), 1);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowPoint(3));
    QCOMPARE(f.spy->count(), 2);
    QCOMPARE(f.list.PrevItemIndex(), 1);
    QCOMPARE(f.list.LastItemIndex(), 3);
}

void ListControlsTest::keys_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("index");

    QTest::newRow("down") << 1 << int(Qt::Key_Down) << 2;
    QTest::newRow("down from none") << -1 << int(Qt::Key_Down) << 0;
    QTest::newRow("up at the top") << 0 << int(Qt::Key_Up) << 0;
    QTest::newRow("down at the end") << 19 << int(Qt::Key_Down) << 19;
    QTest::newRow("end") << 3 << int(Qt::Key_End) << 19;
    QTest::newRow("home") << 3 << int(Qt::Key_Home) << 0;
    QTest::newRow("page down") << 0 << int(Qt::Key_PageDown) << 7;
    QTest::newRow("other key") << 3 << int(Qt::Key_A) << 3;
}

void ListControlsTest::keys()
{
    QFETCH(int, selected);
    QFETCH(int, key);
    QFETCH(int, index);
    ListFixture f(20, selected);
    f.list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.list));
    QTest::keyClick(&f.list, Qt::Key(key));
    QCOMPARE(f.list.ItemIndex(), index);
    QCOMPARE(f.spy->count(), index == selected ? 0 : 1);
    QCOMPARE(f.list.LastItemIndex(), index);
    // The selection is scrolled into view.
    QVERIFY(f.list.viewport()->rect().contains(f.list.ItemRect(index).bottomLeft()));
}

void ListControlsTest::ownerSuppliesTextAndPainting()
{
    ListFixture f(3, 1);
    QCOMPARE(f.list.ItemText(2), QStringLiteral("row 2"));
    QCOMPARE(f.list.ItemText(3), QString());

    QList<std::pair<int, bool>> painted;
    f.list.SetDrawItemHandler([&](QPainter& painter, int index, const QRect& rect, bool selected) {
        painted.append({index, selected});
        QCOMPARE(rect.height(), TIndexListBox::kDefaultItemHeight);
        painter.fillRect(rect, Qt::red);
    });
    f.list.grab();
    const QList<std::pair<int, bool>> expected{{0, false}, {1, true}, {2, false}};
    QCOMPARE(painted, expected);
}

void ListControlsTest::shortenText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("room");  // the label is as wide as this text
    QTest::addColumn<QString>("shown");

    const QString sentence = QStringLiteral("alpha beta gamma delta");
    QTest::newRow("fits") << sentence << int(TEllipsisKind::Word) << sentence << sentence;
    QTest::newRow("word: last whole word")
        << sentence << int(TEllipsisKind::Word) << QStringLiteral("alpha beta gam\u2026")
        << QStringLiteral("alpha beta\u2026");
    QTest::newRow("none: unchanged")
        << sentence << int(TEllipsisKind::None) << QStringLiteral("alpha") << sentence;
    QTest::newRow("ampersand literal")
        << QStringLiteral("A&B C&D") << int(TEllipsisKind::Word) << QStringLiteral("A&B C\u2026")
        << QStringLiteral("A&B\u2026");
}

void ListControlsTest::shortenText()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(QString, room);
    QFETCH(QString, shown);
    const QFontMetrics metrics(QFont{});
    QCOMPARE(ShortenText(text, metrics, metrics.horizontalAdvance(room),
                         static_cast<TEllipsisKind>(kind)),
             shown);
}

void ListControlsTest::shortenWithoutBlanksStillShowsText()
{
    const QFontMetrics metrics(QFont{});
    const QString text = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    const int width = metrics.horizontalAdvance(QStringLiteral("abcdefghij"));
    for (TEllipsisKind kind : {TEllipsisKind::Word, TEllipsisKind::End}) {
        const QString shown = ShortenText(text, metrics, width, kind);
        QVERIFY2(shown.size() > 3 && shown.endsWith(kEllipsis), qPrintable(shown));
        QVERIFY(text.startsWith(shown.chopped(1)));
        QVERIFY(metrics.horizontalAdvance(shown) <= width);
    }

    const QString path = QStringLiteral("/home/user/some/long/folder/notes.txt");
    const QString shownPath = ShortenText(path, metrics,
        metrics.horizontalAdvance(QStringLiteral("/home/user/\u2026/notes.txt")), TEllipsisKind::Path);
    QVERIFY2(shownPath.startsWith(QStringLiteral("/home/")), qPrintable(shownPath));
    QVERIFY2(shownPath.endsWith(kEllipsis + QStringLiteral("/notes.txt")), qPrintable(shownPath));
}

void ListControlsTest::ellipsisLabelShortensToItsWidth()
{
    TEllipsisLabel label;
    QCOMPARE(label.Ellipsis(), TEllipsisKind::Path);
    label.SetEllipsis(TEllipsisKind::Word);
    label.setText(QStringLiteral("one two three four five six"));
    label.resize(label.fontMetrics().horizontalAdvance(QStringLiteral("one two thr\u2026")), 16);
    QCOMPARE(label.ShownText(), QStringLiteral("one two\u2026"));
    label.resize(1000, 16);
    QCOMPARE(label.ShownText(), label.text());
}

void ListControlsTest::bevelSpaceAndAutoSize_data()
{
    QTest::addColumn<int>("outer");
    QTest::addColumn<int>("inner");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("space");  // per side

    QTest::newRow("no bevels") << int(TBevelKind::None) << int(TBevelKind::None) << 1 << 0;
    QTest::newRow("raised, default") << int(TBevelKind::None) << int(TBevelKind::Raised) << 1 << 2;
    QTest::newRow("lowered and raised, 2") << int(TBevelKind::Lowered) << int(TBevelKind::Raised) << 2 << 8;
    QTest::newRow("space, 3") << int(TBevelKind::Space) << int(TBevelKind::None) << 3 << 3;
}

void ListControlsTest::bevelSpaceAndAutoSize()
{
    QFETCH(int, outer);
    QFETCH(int, inner);
    QFETCH(int, width);
    QFETCH(int, space);
    TBevelLabel label;
    label.setText(QStringLiteral("12:34"));
    label.SetBevelOuter(static_cast<TBevelKind>(outer));
    label.SetBevelInner(static_cast<TBevelKind>(inner));
    label.SetBevelWidth(width);
    const QFontMetrics metrics = label.fontMetrics();
    const QSize text(metrics.horizontalAdvance(label.text()), metrics.height());
    QCOMPARE(label.BevelSpace(), space);
    QCOMPARE(label.size(), text + QSize(2 * space, 2 * space));

    // The size follows a longer text.
    label.setText(QStringLiteral("12:34:56"));
    QCOMPARE(label.width(), metrics.horizontalAdvance(label.text()) + 2 * space);
}

void ListControlsTest::bevelTextRectFollowsAlignment_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QRect>("textRect");  // in a 100 × 30 label with 2 pixels of bevel

    QTest::newRow("top left") << int(Qt::AlignTop | Qt::AlignLeft) << QRect(2, 2, 98, 28);
    QTest::newRow("bottom right") << int(Qt::AlignBottom | Qt::AlignRight) << QRect(0, 0, 98, 28);
    QTest::newRow("centred") << int(Qt::AlignCenter) << QRect(0, 0, 100, 30);
    QTest::newRow("left, v-centred") << int(Qt::AlignLeft | Qt::AlignVCenter) << QRect(2, 0, 98, 30);
}

void ListControlsTest::bevelTextRectFollowsAlignment()
{
    QFETCH(int, alignment);
    QFETCH(QRect, textRect);
    TBevelLabel label;
    label.SetAutoSize(false);
    label.resize(100, 30);
    label.setAlignment(Qt::Alignment(alignment));
    QCOMPARE(label.TextRect(), textRect);

    label.SetBevelInner(TBevelKind::None);
    QCOMPARE(label.TextRect(), label.rect());
}

void ListControlsTest::gradientShowRange()
{
    TGradientLabel label;
    label.SetAutoSize(false);
    label.SetBevelInner(TBevelKind::None);
    label.resize(50, 10);
    QCOMPARE(label.GradientStart(), QColor(0, 0, 255));
    QCOMPARE(label.ShowRange(), -1);
    label.SetGradientStart(QColor(255, 0, 0));
    label.SetGradientFinish(QColor(255, 0, 0));
    QPalette pal = label.palette();
    pal.setColor(QPalette::Window, Qt::white);
    label.setPalette(pal);

    label.SetShowRange(80);
    QCOMPARE(label.ShowRange(), 50);
    label.SetShowRange(-7);
    QCOMPARE(label.ShowRange(), -1);

    const auto pixel = [&](int x) { return label.grab().toImage().pixelColor(x, 5); };
    QCOMPARE(pixel(1), QColor(255, 0, 0));
    QCOMPARE(pixel(48), QColor(255, 0, 0));
    label.SetShowRange(10);
    QCOMPARE(pixel(1), QColor(255, 0, 0));
    QCOMPARE(pixel(20), QColor(Qt::white));
    label.SetShowRange(0);
    QCOMPARE(pixel(1), QColor(Qt::white));
}

void ListControlsTest::linkUrl_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QUrl>("url");

    QTest::newRow("caption") << int(TLinkType::Caption) << QStringLiteral("https://example.org/x")
                             << QUrl(QStringLiteral("https://example.org/x"));
    QTest::newRow("mail") << int(TLinkType::MailTo) << QStringLiteral("me@example.org")
                          << QUrl(QStringLiteral("mailto:me@example.org"));
    QTest::newRow("http") << int(TLinkType::HTTP) << QStringLiteral("example.org/a&b")
                          << QUrl(QStringLiteral("http://example.org/a&b"));
    QTest::newRow("no face") << int(TLinkType::NoFace) << QStringLiteral("example.org") << QUrl();
    QTest::newRow("empty caption") << int(TLinkType::HTTP) << QString() << QUrl();
}

void ListControlsTest::linkUrl()
{
    QFETCH(int, type);
    QFETCH(QString, caption);
    QFETCH(QUrl, url);
    TLinkLabel label;
    label.SetLinkType(static_cast<TLinkType>(type));
    label.setText(caption);
    QCOMPARE(label.LinkUrl(), url);
}

void ListControlsTest::linkClickOpensAndClosesWindow()
{
    for (bool closes : {true, false}) {
        QDialog dialog;
        auto* label = new TLinkLabel(&dialog);
        label->SetLinkType(TLinkType::MailTo);
        label->setText(QStringLiteral("me@example.org"));
        label->resize(label->sizeHint());
        label->SetClickOnClose(closes);
        QList<QUrl> opened;
        label->SetUrlOpener([&](const QUrl& url) { opened.append(url); });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
        QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("mailto:me@example.org"))});
        QCOMPARE(dialog.isVisible(), !closes);
    }
}

void ListControlsTest::linkColoursFollowMouse()
{
    TLinkLabel label;
    label.setText(QStringLiteral("example.org"));
    label.SetUrlOpener([](const QUrl&) {});
    label.SetClickOnClose(false);
    QVERIFY(label.font().underline());
    QCOMPARE(label.palette().color(QPalette::WindowText), label.NormalColor());
    QCOMPARE(label.CurrentColor(), QColor(0, 0, 255));

    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&label, &enter);
    QCOMPARE(label.CurrentColor(), QColor(255, 0, 255));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&label, &leave);
    QCOMPARE(label.CurrentColor(), QColor(0, 0, 255));

    // The active colour holds for exactly one paint.
    label.Click();
    QCOMPARE(label.CurrentColor(), QColor(255, 0, 0));
    label.grab();
    QCOMPARE(label.State(), TLinkLabel::LinkState::None);
    QCOMPARE(label.CurrentColor(), QColor(0, 0, 255));
}

QTEST_MAIN(ListControlsTest)
#include "list_controls_test.moc"
