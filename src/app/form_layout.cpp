// The widgets of the main window, top to bottom: the title strip (18 pixels), the pad panel
// with the list panel, the memo pad and the clip list between thin resizing edges, and the
// status bar (20 pixels). Design width 593, minimum size 357 × 205.

#include "app/kavio_form.h"

#include "api/api_server.h"
#include "controls/drop_target.h"
#include "controls/frame_controls.h"
#include "controls/gradient.h"
#include "controls/index_list_box.h"
#include "controls/labels.h"
#include "controls/memo_pad.h"
#include "qt/text_codec.h"
#include "storage/book_list.h"
#include "storage/page_list.h"

#include <QAbstractEventDispatcher>
#include <QFontMetrics>
#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPainter>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace kavio::qt {
namespace {

constexpr int kDesignWidth = 593;
constexpr int kDesignHeight = 330;
constexpr int kTitleHeight = 18;
constexpr int kStatusHeight = 20;
constexpr int kEdge = 3;
// Left edges of the six title-bar buttons at the design width, kept from the right edge.
constexpr int kTitleButtonLefts[] = {470, 487, 503, 523, 539, 557};
constexpr int kPageTitleLeft = 32;

QFont WindowFont()
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    return font;
}

TBevelLabel* StatusLabel(QWidget* parent, int width)
{
    auto* label = new TBevelLabel(parent);
    label->SetAutoSize(false);
    label->SetBevelOuter(TBevelKind::None);
    label->SetBevelInner(TBevelKind::None);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFixedWidth(width);
    return label;
}

}  // namespace

void TKavioForm::BuildWidgets()
{
    setObjectName(QStringLiteral("KavioForm"));
    setFont(WindowFont());
    setMinimumSize(357, 205);
    resize(kDesignWidth, kDesignHeight);
    setAutoFillBackground(true);

    auto* outer = new QGridLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // Corners and edges resize the window; the title strip moves it.
    auto sizeBox = [this](TResizePart part) {
        auto* box = new TSizeBox(this, part);
        connect(box, &TSizeBox::maximizeToggleRequested, this,
                [this] { Action(QStringLiteral("Maximizewindow"))->trigger(); });
        return box;
    };
    auto* topEdge = new QWidget(this);
    auto* topLayout = new QHBoxLayout(topEdge);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);
    for (TResizePart part : {TResizePart::rpSizeNW, TResizePart::rpSizeN, TResizePart::rpSizeNE}) {
        TSizeBox* box = sizeBox(part);
        box->setFixedHeight(2);
        if (part != TResizePart::rpSizeN)
            box->setFixedWidth(8);
        topLayout->addWidget(box, part == TResizePart::rpSizeN ? 1 : 0);
    }
    outer->addWidget(topEdge, 0, 0, 1, 3);
    outer->addWidget(BuildTitleBar(), 1, 0, 1, 3);
    TSizeBox* west = sizeBox(TResizePart::rpSizeW);
    west->setFixedWidth(kEdge);
    west->setObjectName(QStringLiteral("SizeBoxW"));
    TSizeBox* east = sizeBox(TResizePart::rpSizeE);
    east->setFixedWidth(kEdge);
    east->setObjectName(QStringLiteral("SizeBoxE"));
    outer->addWidget(west, 2, 0);
    outer->addWidget(BuildPadPanel(), 2, 1);
    outer->addWidget(east, 2, 2);
    outer->addWidget(BuildPanelBar(), 3, 0, 1, 3);
    outer->setRowStretch(2, 1);
    outer->setColumnStretch(1, 1);

    m_sizeRec = new TSizeRec(this);

    // The clock every 100 ms, and the idle handlers whenever the event loop is about to wait.
    m_clock = new QTimer(this);
    m_clock->setInterval(100);
    connect(m_clock, &QTimer::timeout, this, [this] { TimerTimer(); });
    m_clock->start();
    TimerTimer();
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { RunIdle(); });
    qApp->installEventFilter(this);
}

QWidget* TKavioForm::BuildTitleBar()
{
    m_titleBar = new QWidget(this);
    m_titleBar->setObjectName(QStringLiteral("TitleBar"));
    m_titleBar->setFixedHeight(kTitleHeight);
    m_titleBar->installEventFilter(this);
    m_titleSizeBox = new TSizeBox(m_titleBar, TResizePart::rpTitleBar);
    m_titleSizeBox->setAttribute(Qt::WA_TranslucentBackground);
    connect(m_titleSizeBox, &TSizeBox::maximizeToggleRequested, this,
            [this] { Action(QStringLiteral("Maximizewindow"))->trigger(); });

    m_pageSquare = new QWidget(m_titleBar);
    m_pageSquare->setObjectName(QStringLiteral("PageSquare"));
    m_pageSquare->setGeometry(10, 4, 10, 10);
    m_pageSquare->installEventFilter(this);

    PageTitle = new TTitleLabel(m_titleBar);
    PageTitle->setObjectName(QStringLiteral("PageTitle"));
    QFont titleFont = WindowFont();
    titleFont.setBold(true);
    PageTitle->setFont(titleFont);
    PageTitle->installEventFilter(this);
    return m_titleBar;
}

void TKavioForm::LayoutTitleBar()
{
    if (!m_titleBar)
        return;
    const int width = m_titleBar->width();
    m_titleSizeBox->setGeometry(0, 0, width, kTitleHeight);
    for (int i = 0; i < m_titleButtons.size(); ++i)
        m_titleButtons[i]->move(width - (kDesignWidth - kTitleButtonLefts[i]), 2);
    const int titleRight = m_titleButtons.isEmpty() ? width : m_titleButtons.front()->x() - 2;
    PageTitle->setGeometry(kPageTitleLeft, 0, std::max(0, titleRight - kPageTitleLeft), kTitleHeight);
}

// The title strip's background: white at the edges, the finish colour in the middle, framed in
// the border colour.
void TKavioForm::PaintTitleBar()
{
    QPainter painter(m_titleBar);
    const QRect rect = m_titleBar->rect();
    GradientFill(painter, rect, gdVertical, 2,
                 {ToQColor(m_scheme.TBarStartColor), ToQColor(m_scheme.TBarFinishColor),
                  ToQColor(m_scheme.TBarStartColor)});
    painter.setPen(ToQColor(m_scheme.BorderColor));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

void TKavioForm::PaintPageSquare()
{
    QPainter painter(m_pageSquare);
    painter.setPen(ToQColor(m_scheme.SquareColor));
    painter.setBrush(ToQColor(m_scheme.WindowColor));
    painter.drawRect(m_pageSquare->rect().adjusted(0, 0, -1, -1));
}

void TKavioForm::AddTitleButtons()
{
    for (const char* name : {"AddNewPage", "AddNewPageWithCopy", "PageWithCopy", "ShowHideWindow",
                             "Maximizewindow", "AppExit"}) {
        auto* button = new TNoCaptiondSpeedBtn(m_titleBar);
        button->setDefaultAction(Action(QString::fromLatin1(name)));
        button->setFocusPolicy(Qt::NoFocus);
        m_titleButtons.append(button);
    }
    LayoutTitleBar();
}

QWidget* TKavioForm::BuildPadPanel()
{
    auto* pad = new TBorderdPanel(this);
    pad->setObjectName(QStringLiteral("PadPanel"));
    pad->SetBevelOuter(TBevelKind::Space);
    pad->SetBevelInner(TBevelKind::None);
    m_padPanel = pad;
    // The splitter in the middle; the tool panel docks on one of the four sides around it.
    m_padLayout = new QGridLayout(pad);
    m_padLayout->setContentsMargins(0, 0, 0, 0);
    m_padLayout->setSpacing(0);

    m_hSplitter = new QSplitter(Qt::Horizontal, pad);
    m_hSplitter->setObjectName(QStringLiteral("HSplitter"));
    m_hSplitter->setChildrenCollapsible(false);
    m_padLayout->addWidget(m_hSplitter, 1, 1);
    m_padLayout->setRowStretch(1, 1);
    m_padLayout->setColumnStretch(1, 1);

    // The list panel: the caption, then the page list or the book list in the same place.
    m_listPanel = new QWidget(m_hSplitter);
    m_listPanel->setObjectName(QStringLiteral("ListPanel"));
    auto* listLayout = new QVBoxLayout(m_listPanel);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(0);
    PBCaption = new TGradientLabel(m_listPanel);
    PBCaption->setObjectName(QStringLiteral("PBCaption"));
    PBCaption->SetAutoSize(false);
    PBCaption->SetBevelOuter(TBevelKind::None);
    PBCaption->SetBevelInner(TBevelKind::None);
    QFont captionFont = WindowFont();
    captionFont.setBold(true);
    PBCaption->setFont(captionFont);
    PBCaption->setFixedHeight(14);
    PBCaption->setCursor(Qt::PointingHandCursor);
    PBCaption->installEventFilter(this);
    listLayout->addWidget(PBCaption);
    m_listStack = new QStackedWidget(m_listPanel);
    listLayout->addWidget(m_listStack);
    cPageList = new TIndexListBox(m_listStack);
    cPageList->setObjectName(QStringLiteral("cPageList"));
    cBookList = new TIndexListBox(m_listStack);
    cBookList->setObjectName(QStringLiteral("cBookList"));
    for (TIndexListBox* list : {cPageList, cBookList}) {
        list->setFont(WindowFont());
        // Rows of 12 pixels, or as tall as the font the desktop gives for the window's font.
        list->SetItemHeight(std::max(12, list->fontMetrics().height()));
        list->setFrameShape(QFrame::NoFrame);
        m_listStack->addWidget(list);
    }
    cPageList->SetDataHandler([this](int i) {
        return m_pageList && i < m_pageList->Count() ? FromCp(m_pageList->GetTitle(i)) : QString();
    });
    cPageList->SetDrawItemHandler([this](QPainter& painter, int i, const QRect& rect, bool selected) {
        if (m_pageList)
            cPageListDrawItem(painter, i, rect, selected);
    });
    cBookList->SetDataHandler([this](int i) {
        return m_bookList && i < m_bookList->Count() ? BookRowText(i) : QString();
    });
    cBookList->SetDrawItemHandler([this](QPainter& painter, int i, const QRect& rect, bool selected) {
        if (m_bookList)
            cBookListDrawItem(painter, i, rect, selected);
    });
    connect(cPageList, &TIndexListBox::indexChanged, this, [this] {
        if (m_created && !m_destroyed)
            Safely([this] { cPageListChangeIndex(); });
    });
    connect(cBookList, &TIndexListBox::indexChanged, this, [this] {
        if (m_created && !m_destroyed)
            Safely([this] { cBookListChangeIndex(); });
    });
    m_pageListDrop = new TDropDst(cPageList, this);
    m_pageListDrop->SetOnFileDrop([this](QObject*, const QStringList& files, int, int) {
        PageListDropFiles(files);
    });

    // The memo pad over the clip list.
    m_vSplitter = new QSplitter(Qt::Vertical, m_hSplitter);
    m_vSplitter->setObjectName(QStringLiteral("VSplitter"));
    MemoPad = new TEditorExMain(m_vSplitter);
    MemoPad->setObjectName(QStringLiteral("MemoPad"));
    MemoPad->viewport()->installEventFilter(this);
    // The horizontal scroll bar shows only for lines wider than the pad.
    MemoPad->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1);
    MemoPad->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, 1);
    ClipFileList = new QListWidget(m_vSplitter);
    ClipFileList->setObjectName(QStringLiteral("ClipFileList"));
    ClipFileList->setFont(WindowFont());
    ClipFileList->setFrameShape(QFrame::NoFrame);
    // Collapsed, the list is one pixel high.
    ClipFileList->setMinimumHeight(1);
    ClipFileList->setTextElideMode(Qt::ElideMiddle);
    m_vSplitter->setCollapsible(0, false);
    m_vSplitter->setCollapsible(1, true);
    m_vSplitter->setStretchFactor(0, 1);
    m_vSplitter->setStretchFactor(1, 0);
    m_hSplitter->setStretchFactor(0, 0);
    m_hSplitter->setStretchFactor(1, 1);
    m_hSplitter->setSizes({120, kDesignWidth - 120});

    connect(MemoPad, &TEditorExMain::changed, this, [this](const void*) {
        if (m_created && !m_destroyed)
            Safely([this] { MemoPadChange(); });
    });
    connect(MemoPad, &TEditorExMain::aboveUrl, this,
            [this](const QString& token) { HintLabel->setText(token); });
    connect(MemoPad, &TEditorExMain::leaveUrl, this, [this] { HintLabel->clear(); });
    connect(MemoPad, &TEditorExMain::unencodableReplaced, this, [this] {
        HintLabel->setText(QStringLiteral("保存できない文字は「?」に置き換えました。"));
    });
    return pad;
}

QWidget* TKavioForm::BuildPanelBar()
{
    auto* bar = new TBorderdPanel(this);
    bar->setObjectName(QStringLiteral("PanelBar"));
    bar->SetBevelOuter(TBevelKind::Space);
    bar->SetBevelInner(TBevelKind::None);
    bar->setFixedHeight(kStatusHeight);
    m_panelBar = bar;
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(2, 0, 0, 0);
    layout->setSpacing(2);
    HintLabel = new TEllipsisLabel(bar);
    HintLabel->setObjectName(QStringLiteral("HintLabel"));
    HintLabel->SetEllipsis(TEllipsisKind::Word);
    HintLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(HintLabel, 1);
    CaretInfo = StatusLabel(bar, 42);
    CaretInfo->setObjectName(QStringLiteral("CaretInfo"));
    LengthInfo = StatusLabel(bar, 64);
    LengthInfo->setObjectName(QStringLiteral("LengthInfo"));
    TimerLabel = StatusLabel(bar, 61);
    TimerLabel->setObjectName(QStringLiteral("TimerLabel"));
    for (QWidget* label : {static_cast<QWidget*>(CaretInfo), static_cast<QWidget*>(LengthInfo),
                           static_cast<QWidget*>(TimerLabel)})
        layout->addWidget(label);
    auto* grip = new TSizeBox(bar, TResizePart::rpSizeSE);
    grip->setFixedSize(14, kStatusHeight - 4);
    layout->addWidget(grip);
    return bar;
}

}  // namespace kavio::qt
