#include "controls/command_images.h"
#include "controls/drop_target.h"
#include "controls/frame_controls.h"
#include "controls/gradient.h"

#include "base/error.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

using kavio::qt::FormStateImage;
using kavio::qt::GradientFill;
using kavio::qt::TBevelKind;
using kavio::qt::TBorderdPanel;
using kavio::qt::TDropDst;
using kavio::qt::TFormState;
using kavio::qt::TitleButton;
using kavio::qt::TitleButtonImage;
using kavio::qt::TNoCaptiondSpeedBtn;
using kavio::qt::ToQColor;
using kavio::qt::TResizePart;
using kavio::qt::TSizeBox;
using kavio::qt::TSizeRec;
using kavio::qt::TTitleLabel;

Q_DECLARE_METATYPE(TResizePart)

namespace {

// A colour the gradient never paints, marking positions left alone.
const QColor kUnpainted(1, 2, 250);

// A shown top-level window of 300 × 200 that may not get smaller than 200 × 150.
struct FormFixture {
    FormFixture()
    {
        form.setWindowFlags(Qt::FramelessWindowHint);
        form.setMinimumSize(200, 150);
        form.setGeometry(100, 100, 300, 200);
        form.show();
        started = QTest::qWaitForWindowExposed(&form);
    }
    QWidget form;
    bool started = false;
};

struct DropRecord {
    int calls = 0;
    QObject* sender = nullptr;
    QStringList files;
    QPoint point;
};

// A drag of `urls` entering `target` at `pos` and dropped there, as the desktop delivers it:
// the drop reaches only a widget that took the drag when it entered.
struct DragAndDrop {
    DragAndDrop(QWidget* target, const QList<QUrl>& urls, QPoint pos)
    {
        mime.setUrls(urls);
        QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(target, &enter);
        entered = enter.isAccepted();
        QDropEvent drop(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        drop.ignore();
        QApplication::sendEvent(target, &drop);
        dropped = drop.isAccepted();
    }
    QMimeData mime;
    bool entered = false;
    bool dropped = false;
};

// The bounding box of the pixels `match` picks.
template <typename Match>
QRect PixelBox(const QImage& image, Match match)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(image.pixelColor(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

class FrameControlsTest : public QObject {
    Q_OBJECT
private slots:
    void gradientFill_data();
    void gradientFill();
    void colorValues_data();
    void colorValues();

    void sizeRecFollowsNormalBounds();
    void sizeRecHoldsMaximisedRect();
    void sizeRecToggleRestoresExactly();

    void sizeBoxFollowsMouse_data();
    void sizeBoxFollowsMouse();
    void sizeBoxFollowsHandedOnPress();
    void sizeBoxDoubleClick();

    void titleLabelShadow();
    void borderdPanelBevels_data();
    void borderdPanelBevels();
    void speedButtonShowsNoCaption();

    void dropKeepsOrderPointAndWholePaths();
    void dropOnScrollAreaViewport();
    void dropAcceptanceAndNoHandler();
    void dropHandlerErrorIsShownNotThrown();

    void picturesExist();
};

// Positions are counted along the direction; every position is checked at both ends of the
// line that crosses the rectangle, so a short line shows up too.
void FrameControlsTest::gradientFill_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<QColor>>("colors");
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<QList<QColor>>("expected");

    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    const QColor violet(170, 85, 255);
    // 9 positions per segment; steps 170/8, 85/8 and 255/8 land on the end colour exactly.
    QTest::newRow("18 px, two segments") << QRect(0, 0, 18, 3) << 0 << 2
                                         << QList<QColor>{black, violet, black}
                                         << QList<int>{0, 4, 8, 9, 13, 17}
                                         << QList<QColor>{black, QColor(85, 42, 127), violet,
                                                          violet, QColor(85, 43, 128), black};
    QTest::newRow("19 px leaves the last position") << QRect(0, 0, 19, 3) << 0 << 2
                                                    << QList<QColor>{black, violet, black}
                                                    << QList<int>{0, 17, 18}
                                                    << QList<QColor>{black, black, kUnpainted};
    QTest::newRow("vertical, two segments") << QRect(0, 0, 3, 18) << 1 << 2
                                            << QList<QColor>{black, violet, black}
                                            << QList<int>{0, 8, 9, 17}
                                            << QList<QColor>{black, violet, violet, black};
    QTest::newRow("count 0 fills with the first colour")
        << QRect(0, 0, 5, 2) << 0 << 0 << QList<QColor>{violet, white}
        << QList<int>{0, 4} << QList<QColor>{violet, violet};
    // 255/9 rounds to a step of 28.3333: the last position falls one short of white.
    QTest::newRow("count 1 ends") << QRect(0, 0, 10, 2) << 0 << 1 << QList<QColor>{black, white}
                                  << QList<int>{0, 1, 9}
                                  << QList<QColor>{black, QColor(28, 28, 28), QColor(254, 254, 254)};
    QTest::newRow("rounded step, truncated value")
        << QRect(0, 0, 4, 2) << 0 << 1 << QList<QColor>{black, QColor(1, 2, 3)}
        << QList<int>{1, 2, 3} << QList<QColor>{QColor(0, 0, 1), QColor(0, 1, 2), QColor(0, 2, 3)};
    QTest::newRow("falling channel truncates towards zero")
        << QRect(0, 0, 4, 2) << 0 << 1 << QList<QColor>{QColor(10, 10, 10), QColor(9, 8, 7)}
        << QList<int>{2, 3} << QList<QColor>{QColor(10, 9, 8), QColor(10, 8, 7)};
    QTest::newRow("extent 1 takes the start colour")
        << QRect(0, 0, 1, 2) << 0 << 1 << QList<QColor>{violet, white} << QList<int>{0, 1}
        << QList<QColor>{violet, kUnpainted};
    QTest::newRow("rectangle away from the origin")
        << QRect(3, 0, 4, 2) << 0 << 1 << QList<QColor>{black, QColor(3, 3, 3)}
        << QList<int>{2, 3, 6, 7}
        << QList<QColor>{kUnpainted, black, QColor(3, 3, 3), kUnpainted};
    QTest::newRow("a segment without its end colour stays unpainted")
        << QRect(0, 0, 4, 2) << 0 << 2 << QList<QColor>{black, white} << QList<int>{0, 1, 2}
        << QList<QColor>{black, white, kUnpainted};
}

void FrameControlsTest::gradientFill()
{
    QFETCH(QRect, rect);
    QFETCH(int, direction);
    QFETCH(int, count);
    QFETCH(QList<QColor>, colors);
    QFETCH(QList<int>, positions);
    QFETCH(QList<QColor>, expected);

    QImage image(24, 24, QImage::Format_RGB32);
    image.fill(kUnpainted);
    {
        QPainter painter(&image);
        QVERIFY(GradientFill(painter, rect, direction, count, {colors.begin(), colors.end()}) >= 0);
    }
    for (qsizetype i = 0; i < positions.size(); ++i) {
        const int at = positions[i];
        const QPoint first = direction == 0 ? QPoint(at, rect.top()) : QPoint(rect.left(), at);
        const QPoint last = direction == 0 ? QPoint(at, rect.bottom()) : QPoint(rect.right(), at);
        QCOMPARE(image.pixelColor(first), expected[i]);
        QCOMPARE(image.pixelColor(last), expected[i]);
    }
}

void FrameControlsTest::colorValues_data()
{
    QTest::addColumn<uint>("value");
    QTest::addColumn<QColor>("expected");

    QTest::newRow("explicit: red in the low byte") << uint(0x00332211) << QColor(0x11, 0x22, 0x33);
    QTest::newRow("none") << uint(kavio::clNone) << QColor();
    QTest::newRow("default") << uint(kavio::clDefault) << QColor();
    QTest::newRow("window") << uint(kavio::clWindow) << QColor(1, 1, 1);
    QTest::newRow("button face") << uint(kavio::clBtnFace) << QColor(2, 2, 2);
    QTest::newRow("highlight") << uint(0xFF00000D) << QColor(3, 3, 3);
    QTest::newRow("no such system colour") << uint(0xFF000019) << QColor();
}

void FrameControlsTest::colorValues()
{
    QFETCH(uint, value);
    QFETCH(QColor, expected);
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(1, 1, 1));
    palette.setColor(QPalette::Button, QColor(2, 2, 2));
    palette.setColor(QPalette::Highlight, QColor(3, 3, 3));
    QCOMPARE(ToQColor(value, palette), expected);
}

void FrameControlsTest::sizeRecFollowsNormalBounds()
{
    // A window that starts hidden never sees a move event, yet its bounds are what is stored.
    QWidget hidden;
    TSizeRec hiddenRec(&hidden);
    hidden.setGeometry(40, 50, 360, 210);
    QCOMPARE(hiddenRec.NormalRect(), QRect(40, 50, 360, 210));

    FormFixture f;
    QVERIFY(f.started);
    TSizeRec rec(&f.form);
    f.form.move(140, 120);
    f.form.resize(320, 210);
    QTRY_COMPARE(f.form.geometry(), QRect(140, 120, 320, 210));
    QCOMPARE(rec.NormalRect(), QRect(140, 120, 320, 210));
}

// The window may move while maximised only back onto the maximised rectangle, and the normal
// bounds stay as they were before maximising.
void FrameControlsTest::sizeRecHoldsMaximisedRect()
{
    FormFixture f;
    QVERIFY(f.started);
    TSizeRec rec(&f.form);
    const QRect normal = f.form.geometry();
    const QRect maximum(10, 20, 400, 300);
    rec.SetMaximumRect(maximum);
    rec.SetFormState(TFormState::mfMaximize);
    QTRY_COMPARE(f.form.geometry(), maximum);

    f.form.move(200, 200);
    QTest::qWait(20);
    QTRY_COMPARE(f.form.geometry(), maximum);
    f.form.resize(250, 180);
    QTest::qWait(20);
    QTRY_COMPARE(f.form.geometry(), maximum);
    QCOMPARE(rec.NormalRect(), normal);

    const QRect larger(0, 0, 500, 400);
    rec.SetMaximumRect(larger);
    QTRY_COMPARE(f.form.geometry(), larger);
}

void FrameControlsTest::sizeRecToggleRestoresExactly()
{
    FormFixture f;
    QVERIFY(f.started);
    TSizeRec rec(&f.form);
    QCOMPARE(rec.MaximumRect(), QGuiApplication::primaryScreen()->availableGeometry());
    rec.SetMaximumRect(QRect(0, 0, 640, 480));
    f.form.setGeometry(123, 77, 311, 222);
    QTRY_COMPARE(f.form.geometry(), QRect(123, 77, 311, 222));

    // Both switches before the window system answers either.
    rec.SetFormState(TFormState::mfMaximize);
    rec.SetFormState(TFormState::mfNormal);
    QTest::qWait(20);
    QTRY_COMPARE(f.form.geometry(), QRect(123, 77, 311, 222));
    QCOMPARE(rec.NormalRect(), QRect(123, 77, 311, 222));

    rec.SetFormState(TFormState::mfMaximize);
    QTRY_COMPARE(f.form.geometry(), QRect(0, 0, 640, 480));
    rec.SetFormState(TFormState::mfNormal);
    QTRY_COMPARE(f.form.geometry(), QRect(123, 77, 311, 222));
}

void FrameControlsTest::sizeBoxFollowsMouse_data()
{
    QTest::addColumn<TResizePart>("part");
    QTest::addColumn<QRect>("area");  // in the 300 × 200 window at (100, 100)
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("drag");
    QTest::addColumn<QRect>("expected");

    const int left = int(Qt::LeftButton);
    QTest::newRow("title bar moves") << TResizePart::rpTitleBar << QRect(0, 0, 300, 18) << left
                                     << QPoint(30, -20) << QRect(130, 80, 300, 200);
    QTest::newRow("left edge widens") << TResizePart::rpSizeW << QRect(0, 0, 6, 200) << left
                                      << QPoint(-20, 7) << QRect(80, 100, 320, 200);
    QTest::newRow("left edge stops at the minimum width")
        << TResizePart::rpSizeW << QRect(0, 0, 6, 200) << left << QPoint(150, 0)
        << QRect(200, 100, 200, 200);
    QTest::newRow("top edge stops at the minimum height")
        << TResizePart::rpSizeN << QRect(0, 0, 300, 6) << left << QPoint(0, 90)
        << QRect(100, 150, 300, 150);
    QTest::newRow("bottom-right corner") << TResizePart::rpSizeSE << QRect(294, 194, 6, 6) << left
                                         << QPoint(40, 30) << QRect(100, 100, 340, 230);
    QTest::newRow("top-left corner") << TResizePart::rpSizeNW << QRect(0, 0, 6, 6) << left
                                     << QPoint(-10, -15) << QRect(90, 85, 310, 215);
    QTest::newRow("size box grows from the bottom right")
        << TResizePart::rpSizeBox << QRect(280, 180, 20, 20) << left << QPoint(-120, 10)
        << QRect(100, 100, 200, 210);
    QTest::newRow("right button moves nothing") << TResizePart::rpTitleBar << QRect(0, 0, 300, 18)
                                                << int(Qt::RightButton) << QPoint(30, 20)
                                                << QRect(100, 100, 300, 200);
    QTest::newRow("close part moves nothing") << TResizePart::rpClose << QRect(280, 0, 20, 18)
                                              << left << QPoint(-200, 20)
                                              << QRect(100, 100, 300, 200);
}

// Without a window manager the window follows the mouse by hand. The release comes where the
// pointer is after the window followed it, as a real pointer would be.
void FrameControlsTest::sizeBoxFollowsMouse()
{
    QFETCH(TResizePart, part);
    QFETCH(QRect, area);
    QFETCH(int, button);
    QFETCH(QPoint, drag);
    QFETCH(QRect, expected);

    FormFixture f;
    QVERIFY(f.started);
    TSizeBox box(&f.form, part);
    box.setGeometry(area);
    box.show();
    QSignalSpy pressed(&box, &TSizeBox::pressed);
    QWindow* handle = f.form.windowHandle();
    const auto mouseButton = Qt::MouseButton(button);

    const QPoint start = box.mapToGlobal(box.rect().center());
    QTest::mousePress(handle, mouseButton, {}, handle->mapFromGlobal(start));
    QCOMPARE(pressed.size(), 1);
    const QPoint target = start + drag;
    QTest::mouseMove(handle, handle->mapFromGlobal(target));
    QTRY_COMPARE(f.form.geometry(), expected);
    QTRY_COMPARE(handle->geometry(), expected);
    QTest::mouseRelease(handle, mouseButton, {}, handle->mapFromGlobal(target));
    QTest::qWait(20);
    QCOMPARE(f.form.geometry(), expected);
    QVERIFY(!box.Following());
}

// The title label hands its press on to the title bar; the window follows all the same.
void FrameControlsTest::sizeBoxFollowsHandedOnPress()
{
    FormFixture f;
    QVERIFY(f.started);
    TSizeBox title(&f.form);
    title.setGeometry(0, 0, 300, 18);
    QLabel label(QStringLiteral("title"), &f.form);
    label.setGeometry(20, 2, 100, 14);
    title.show();
    label.show();

    struct HandOn : QObject {
        TSizeBox* box = nullptr;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::MouseButtonPress) {
                auto* mouse = static_cast<QMouseEvent*>(event);
                box->MouseDown(mouse->button(), mouse->globalPosition().toPoint());
                return true;
            }
            return false;
        }
    } handOn;
    handOn.box = &title;
    label.installEventFilter(&handOn);

    QWindow* handle = f.form.windowHandle();
    const QPoint start = label.mapToGlobal(QPoint(10, 7));
    QTest::mousePress(handle, Qt::LeftButton, {}, handle->mapFromGlobal(start));
    QVERIFY(title.Following());
    QTest::mouseMove(handle, handle->mapFromGlobal(start + QPoint(-40, 25)));
    QTRY_COMPARE(handle->geometry(), QRect(60, 125, 300, 200));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromGlobal(start + QPoint(-40, 25)));
    QVERIFY(!title.Following());
    QCOMPARE(f.form.geometry(), QRect(60, 125, 300, 200));
}

void FrameControlsTest::sizeBoxDoubleClick()
{
    FormFixture f;
    QVERIFY(f.started);
    TSizeBox title(&f.form, TResizePart::rpTitleBar);
    title.setGeometry(0, 0, 300, 18);
    TSizeBox edge(&f.form, TResizePart::rpSizeE);
    edge.setGeometry(294, 18, 6, 182);
    title.show();
    edge.show();
    QWindow* handle = f.form.windowHandle();

    QSignalSpy titleToggles(&title, &TSizeBox::maximizeToggleRequested);
    QSignalSpy titleDoubles(&title, &TSizeBox::doubleClicked);
    QTest::mouseDClick(handle, Qt::LeftButton, {}, QPoint(150, 9));
    QCOMPARE(titleDoubles.size(), 1);
    QCOMPARE(titleToggles.size(), 1);
    QCOMPARE(f.form.geometry(), QRect(100, 100, 300, 200));

    QSignalSpy edgeToggles(&edge, &TSizeBox::maximizeToggleRequested);
    QSignalSpy edgeDoubles(&edge, &TSizeBox::doubleClicked);
    QTest::mouseDClick(handle, Qt::LeftButton, {}, QPoint(297, 100));
    QCOMPARE(edgeDoubles.size(), 1);
    QCOMPARE(edgeToggles.size(), 0);
}

// The shadow lies one pixel right and down of the text, and there is none without a colour.
void FrameControlsTest::titleLabelShadow()
{
    QWidget back;
    back.setAutoFillBackground(true);
    QPalette palette = back.palette();
    palette.setColor(QPalette::Window, Qt::green);
    palette.setColor(QPalette::WindowText, Qt::black);
    back.setPalette(palette);
    back.resize(140, 24);
    TTitleLabel label(&back);
    label.setGeometry(0, 0, 140, 24);
    QFont font = label.font();
    font.setPixelSize(14);
    font.setStyleStrategy(QFont::NoAntialias);
    label.setFont(font);
    label.setText(QStringLiteral("IHI & H"));

    const auto isText = [](const QColor& c) { return c == QColor(Qt::black); };
    const auto isShadow = [](const QColor& c) { return c == QColor(Qt::red); };
    const auto isOther = [](const QColor& c) {
        return c != QColor(Qt::black) && c != QColor(Qt::red) && c != QColor(Qt::green);
    };

    QImage plain = back.grab().toImage();
    const QRect text = PixelBox(plain, isText);
    QVERIFY(!text.isEmpty());
    QVERIFY(PixelBox(plain, isShadow).isEmpty());
    QVERIFY(PixelBox(plain, isOther).isEmpty());  // nothing but text on the parent's background

    label.SetShadowColor(Qt::red);
    QImage shadowed = back.grab().toImage();
    QCOMPARE(PixelBox(shadowed, isText), text);
    const QRect shadow = PixelBox(shadowed, isShadow);
    QVERIFY(!shadow.isEmpty());
    QCOMPARE(shadow.right(), text.right() + 1);
    QCOMPARE(shadow.bottom(), text.bottom() + 1);

    label.SetShadowColor(QColor());
    QVERIFY(PixelBox(back.grab().toImage(), isShadow).isEmpty());
}

void FrameControlsTest::borderdPanelBevels_data()
{
    QTest::addColumn<int>("outer");
    QTest::addColumn<int>("inner");
    QTest::addColumn<QList<QPoint>>("points");
    QTest::addColumn<QList<QColor>>("expected");
    QTest::addColumn<int>("margin");

    const QColor dark(10, 10, 10), light(240, 240, 240), border(200, 0, 0), face(0, 0, 200);
    QTest::newRow("space bevel in the border colour")
        << int(TBevelKind::Space) << int(TBevelKind::None)
        << QList<QPoint>{{0, 0}, {19, 0}, {0, 19}, {19, 19}, {1, 1}}
        << QList<QColor>{border, border, border, border, face} << 1;
    QTest::newRow("lowered: dark on the top and left")
        << int(TBevelKind::Lowered) << int(TBevelKind::None)
        << QList<QPoint>{{0, 0}, {5, 0}, {0, 5}, {19, 5}, {5, 19}, {1, 1}}
        << QList<QColor>{dark, dark, dark, light, light, face} << 1;
    QTest::newRow("raised outside, space inside")
        << int(TBevelKind::Raised) << int(TBevelKind::Space)
        << QList<QPoint>{{0, 5}, {19, 5}, {1, 5}, {18, 5}, {2, 5}}
        << QList<QColor>{light, dark, border, border, face} << 2;
}

void FrameControlsTest::borderdPanelBevels()
{
    QFETCH(int, outer);
    QFETCH(int, inner);
    QFETCH(QList<QPoint>, points);
    QFETCH(QList<QColor>, expected);
    QFETCH(int, margin);

    TBorderdPanel panel;
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Dark, QColor(10, 10, 10));
    palette.setColor(QPalette::Light, QColor(240, 240, 240));
    palette.setColor(QPalette::Window, QColor(0, 0, 200));
    panel.setPalette(palette);
    panel.resize(20, 20);
    panel.SetBorderColor(QColor(200, 0, 0));
    panel.SetBevelOuter(TBevelKind(outer));
    panel.SetBevelInner(TBevelKind(inner));

    const QImage image = panel.grab().toImage();
    for (qsizetype i = 0; i < points.size(); ++i)
        QCOMPARE(image.pixelColor(points[i]), expected[i]);
    QCOMPARE(panel.contentsMargins(), QMargins(margin, margin, margin, margin));
}

// Whatever caption the command carries, the button looks exactly like one without caption.
void FrameControlsTest::speedButtonShowsNoCaption()
{
    QAction captioned(TitleButtonImage(TitleButton::NewPage), QStringLiteral("新規ページ(&N)"));
    captioned.setToolTip(QStringLiteral("新しいページ"));
    captioned.setStatusTip(QStringLiteral("新しいページを作ります"));
    QAction bare(TitleButtonImage(TitleButton::NewPage), QString());

    TNoCaptiondSpeedBtn button;
    button.setDefaultAction(&captioned);
    TNoCaptiondSpeedBtn reference;
    reference.setDefaultAction(&bare);

    QCOMPARE(button.size(), QSize(14, 14));
    QVERIFY(button.text().isEmpty());
    QCOMPARE(button.toolTip(), QStringLiteral("新しいページ"));
    QCOMPARE(button.statusTip(), QStringLiteral("新しいページを作ります"));
    QCOMPARE(button.grab().toImage(), reference.grab().toImage());

    captioned.setText(QStringLiteral("別の名前(&X)"));
    QVERIFY(button.text().isEmpty());
    QCOMPARE(button.grab().toImage(), reference.grab().toImage());

    QSignalSpy triggered(&captioned, &QAction::triggered);
    button.click();
    QCOMPARE(triggered.size(), 1);
}

void FrameControlsTest::dropKeepsOrderPointAndWholePaths()
{
    QWidget control;
    control.resize(200, 100);
    TDropDst dst(&control);
    QVERIFY(control.acceptDrops());
    DropRecord record;
    dst.SetOnFileDrop([&](QObject* sender, const QStringList& files, int x, int y) {
        ++record.calls;
        record.sender = sender;
        record.files = files;
        record.point = QPoint(x, y);
    });
    QSignalSpy signalled(&dst, &TDropDst::fileDrop);

    const QString deep = QStringLiteral("/tmp/") + QString(300, u'd') + QStringLiteral("/メモ.txt");
    DragAndDrop drag(&control,
                     {QUrl::fromLocalFile(QStringLiteral("/tmp/c.txt")),
                      QUrl(QStringLiteral("https://example.org/not-a-file")),
                      QUrl::fromLocalFile(QStringLiteral("/tmp/a b.txt")), QUrl::fromLocalFile(deep)},
                     QPoint(12, 34));

    QVERIFY(drag.entered);
    QVERIFY(drag.dropped);
    QCOMPARE(record.calls, 1);
    QCOMPARE(record.sender, &dst);
    QCOMPARE(record.files, (QStringList{QStringLiteral("/tmp/c.txt"), QStringLiteral("/tmp/a b.txt"), deep}));
    QCOMPARE(record.point, QPoint(12, 34));
    QCOMPARE(signalled.size(), 1);
}

// A list takes the drop on its viewport; the point is given in the list's own coordinates.
void FrameControlsTest::dropOnScrollAreaViewport()
{
    QListWidget list;
    list.resize(200, 100);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    TDropDst dst(&list);
    QPoint point;
    QStringList files;
    dst.SetOnFileDrop([&](QObject*, const QStringList& f, int x, int y) {
        files = f;
        point = QPoint(x, y);
    });

    DragAndDrop drag(list.viewport(), {QUrl::fromLocalFile(QStringLiteral("/tmp/x"))}, QPoint(5, 6));
    QCOMPARE(files, QStringList{QStringLiteral("/tmp/x")});
    QCOMPARE(point, list.viewport()->mapTo(&list, QPoint(5, 6)));
    QVERIFY(point != QPoint(5, 6));
}

void FrameControlsTest::dropAcceptanceAndNoHandler()
{
    QWidget control;
    control.resize(100, 100);
    TDropDst dst(&control);
    const QList<QUrl> urls{QUrl::fromLocalFile(QStringLiteral("/tmp/a"))};

    // No handler: the drop is taken and nothing else happens.
    DragAndDrop unheard(&control, urls, QPoint(1, 1));
    QVERIFY(unheard.dropped);

    int calls = 0;
    dst.SetOnFileDrop([&](QObject*, const QStringList&, int, int) { ++calls; });
    dst.SetAcceptDrop(false);
    QVERIFY(!control.acceptDrops());
    DragAndDrop refused(&control, urls, QPoint(1, 1));
    QVERIFY(!refused.entered);
    QVERIFY(!refused.dropped);
    QCOMPARE(calls, 0);

    dst.SetAcceptDrop(true);
    QVERIFY(control.acceptDrops());
    DragAndDrop taken(&control, urls, QPoint(1, 1));
    QVERIFY(taken.entered);
    QCOMPARE(calls, 1);

    // A drag without local files is left to the widget.
    DragAndDrop foreign(&control, {QUrl(QStringLiteral("https://example.org/"))}, QPoint(1, 1));
    QVERIFY(!foreign.entered);
    QCOMPARE(calls, 1);
}

void FrameControlsTest::dropHandlerErrorIsShownNotThrown()
{
    QWidget control;
    TDropDst dst(&control);
    QStringList shown;
    dst.SetErrorReporter([&](const QString& message) { shown << message; });
    dst.SetOnFileDrop([](QObject*, const QStringList&, int, int) {
        throw kavio::EKavioError("取り込めません");
    });

    DragAndDrop drag(&control, {QUrl::fromLocalFile(QStringLiteral("/tmp/a"))}, QPoint(1, 1));
    QCOMPARE(shown, QStringList{QStringLiteral("取り込めません")});
    QVERIFY(drag.dropped);
}

// Every picture exists at its design size and draws something.
void FrameControlsTest::picturesExist()
{
    const auto drawn = [](const QIcon& icon, int size) {
        const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
        return image.size() == QSize(size, size) && !PixelBox(image, [](const QColor& c) {
                                                          return c.alpha() > 0;
                                                      }).isEmpty();
    };
    for (int i = 0; i < kavio::qt::kCommandImageCount; ++i)
        QVERIFY2(drawn(kavio::qt::CommandImage(i), 16), qPrintable(QString::number(i)));
    QVERIFY(kavio::qt::CommandImage(kavio::qt::kCommandImageCount).isNull());
    for (int b = 0; b <= int(TitleButton::Exit); ++b)
        QVERIFY2(drawn(TitleButtonImage(TitleButton(b)), 12), qPrintable(QString::number(b)));
    QVERIFY(drawn(FormStateImage(0), 12));
    QVERIFY(drawn(FormStateImage(1), 12));
    QVERIFY(FormStateImage(0).pixmap(12, 12).toImage() != FormStateImage(1).pixmap(12, 12).toImage());
    QVERIFY(FormStateImage(2).isNull());
}

QTEST_MAIN(FrameControlsTest)
#include "frame_controls_test.moc"
