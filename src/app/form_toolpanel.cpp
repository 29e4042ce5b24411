// The narrow tool panel: five pictures along one side of the pad, each showing a small pop-up
// tool bar while the mouse is on it or on the bar. The panel docks on the side the tool-bar
// position commands choose; its column of pictures turns into a row on the top or bottom.

#include "app/kavio_form.h"

#include "controls/command_images.h"
#include "controls/frame_controls.h"
#include "controls/gradient.h"

#include <QAction>
#include <QActionGroup>
#include <QCursor>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace kavio::qt {
namespace {

constexpr int kPanelWidth = 25;
constexpr int kOverlap = 10;
constexpr int kSourceOffsets[] = {6, 32, 58, 84, 110};

// A pop-up bar: the tool bar's area white, its 6-pixel indent strip a gradient from the border
// colour to the title strip's start colour.
class TPopupBar : public QToolBar {
public:
    TPopupBar(QWidget* parent, const TColorScheme& scheme) : QToolBar(parent), m_scheme(scheme)
    {
        setIconSize(QSize(16, 16));
        setMovable(false);
        setFloatable(false);
        setContentsMargins(6, 0, 0, 0);
        setAutoFillBackground(false);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        GradientFill(painter, QRect(0, 0, 6, height()), gdHorizontal, 1,
                     {ToQColor(m_scheme.BorderColor), ToQColor(m_scheme.TBarStartColor)});
        painter.setPen(ToQColor(m_scheme.BorderColor));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    const TColorScheme& m_scheme;
};

}  // namespace

void TKavioForm::BuildToolPanel()
{
    m_toolPanel = new QWidget(m_padPanel);
    m_toolPanel->setObjectName(QStringLiteral("ToolPanel"));
    m_toolPanel->setFixedWidth(kPanelWidth);
    m_toolPanel->setMinimumHeight(kSourceOffsets[4] + 24);

    struct Bar {
        const char* source;
        int image;
        std::initializer_list<const char*> commands;
    };
    const Bar bars[] = {
        {"PagesPopup", 0, {"SetTitle", "TurnUp", "TurnDown", "PageListLeft"}},
        {"EditsPopup", 4, {"Cut", "Copy", "Paste", "Undo", "Redo"}},
        {"FilesPopup", 10, {"RemovePage", "FileOpen", "FileSaveAs"}},
        {"ToolsPopup", 12, {}},
        {"HelpsPopup", 15, {"About", "HelpContents"}},
    };
    for (int i = 0; i < 5; ++i) {
        auto* source = new THoverdImage(m_toolPanel);
        source->setObjectName(QString::fromLatin1(bars[i].source));
        source->setPixmap(CommandImage(bars[i].image).pixmap(16, 16));
        source->setAlignment(Qt::AlignCenter);
        source->setGeometry(1, kSourceOffsets[i], 23, 22);
        auto* bar = new TPopupBar(this, m_scheme);
        bar->setObjectName(QString::fromLatin1(bars[i].source).replace(QStringLiteral("Popup"), QStringLiteral("Bar")));
        if (i == 3) {
            // The tools button: its arrow shows the tools menu, a click runs the settings.
            auto* tools = new QToolButton(bar);
            tools->setText(QStringLiteral("ツール(&T)"));
            tools->setIcon(CommandImage(12));
            tools->setToolTip(QStringLiteral("ツールメニューを表示"));
            tools->setStatusTip(QStringLiteral("ツールメニューを表示します"));
            tools->setPopupMode(QToolButton::MenuButtonPopup);
            tools->setMenu(m_toolMenu);
            tools->setFixedWidth(25 + 12);
            connect(tools, &QToolButton::clicked, this,
                    [this] { Action(QStringLiteral("ToolSettings"))->trigger(); });
            bar->addWidget(tools);
            bar->addAction(Action(QStringLiteral("ShadeDisable")));
        } else {
            for (const char* name : bars[i].commands)
                bar->addAction(Action(QString::fromLatin1(name)));
        }
        bar->adjustSize();
        bar->hide();
        m_popupSources.append(source);
        m_popupBars.append(bar);
        connect(source, &THoverdImage::mouseEntered, this, [this, i] { ShowPopupBar(i); });
    }
    m_popupTimer = new QTimer(this);
    m_popupTimer->setInterval(100);
    connect(m_popupTimer, &QTimer::timeout, this, [this] { CheckPopupBars(); });
    DockToolPanel(1);
}

// Places bar `index` beside its picture, towards the pad, overlapping the picture by 10 pixels
// and kept inside the window.
void TKavioForm::ShowPopupBar(int index)
{
    for (int i = 0; i < m_popupBars.size(); ++i)
        if (i != index)
            m_popupBars[i]->hide();
    QToolBar* bar = m_popupBars[index];
    QWidget* source = m_popupSources[index];
    bar->setOrientation(m_toolPanelSide == 1 || m_toolPanelSide == 3 ? Qt::Vertical : Qt::Horizontal);
    bar->adjustSize();
    const QRect s(source->mapTo(this, QPoint(0, 0)), source->size());
    const QPoint c = s.center();
    const int w = bar->width();
    const int h = bar->height();
    int left = 0;
    int top = 0;
    switch (m_toolPanelSide) {
    case 3:  // the panel on the left: the bar opens to the right
        left = s.left() + kOverlap;
        top = c.y() - h / 2;
        break;
    case 4:  // on top: the bar opens downwards
        left = c.x() - w / 2;
        top = s.bottom() + 1 + kOverlap - h;
        break;
    case 1:  // on the right: the bar opens to the left
        left = s.right() + 1 - w - kOverlap;
        top = c.y() - h / 2;
        break;
    default:  // on the bottom: the bar opens upwards
        left = c.x() - w / 2;
        top = s.top() - kOverlap;
        break;
    }
    left = std::clamp(left, 0, std::max(0, width() - w));
    top = std::clamp(top, 0, std::max(0, height() - h));
    bar->move(left, top);
    bar->show();
    bar->raise();
    m_popupTimer->start();
}

void TKavioForm::CheckPopupBars()
{
    const QPoint cursor = mapFromGlobal(QCursor::pos());
    bool anyShown = false;
    for (int i = 0; i < m_popupBars.size(); ++i) {
        QToolBar* bar = m_popupBars[i];
        if (bar->isHidden())
            continue;
        const QRect source(m_popupSources[i]->mapTo(this, QPoint(0, 0)), m_popupSources[i]->size());
        if (!bar->geometry().contains(cursor) && !source.contains(cursor) &&
            !(m_toolMenu->isVisible()))
            bar->hide();
        else
            anyShown = true;
    }
    if (!anyShown)
        m_popupTimer->stop();
}

// Sides in the order of the tool-bar position menu: 0 hidden, 1 right, 2 bottom, 3 left, 4 top.
void TKavioForm::DockToolPanel(int side)
{
    if (side == 0) {
        m_toolPanel->hide();
        return;
    }
    const bool wasVertical = m_toolPanelSide == 1 || m_toolPanelSide == 3;
    const bool vertical = side == 1 || side == 3;
    if (wasVertical != vertical) {
        // The column of pictures becomes a row, or back.
        for (QWidget* child : m_toolPanel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            child->move(child->y(), child->x());
        if (vertical) {
            m_toolPanel->setMinimumSize(0, kSourceOffsets[4] + 24);
            m_toolPanel->setMaximumSize(kPanelWidth, QWIDGETSIZE_MAX);
            m_toolPanel->setFixedWidth(kPanelWidth);
        } else {
            m_toolPanel->setMinimumSize(kSourceOffsets[4] + 24, 0);
            m_toolPanel->setMaximumSize(QWIDGETSIZE_MAX, kPanelWidth);
            m_toolPanel->setFixedHeight(kPanelWidth);
        }
    }
    m_toolPanelSide = side;
    m_padLayout->removeWidget(m_toolPanel);
    switch (side) {
    case 1:
        m_padLayout->addWidget(m_toolPanel, 1, 2);
        break;
    case 2:
        m_padLayout->addWidget(m_toolPanel, 2, 1);
        break;
    case 3:
        m_padLayout->addWidget(m_toolPanel, 1, 0);
        break;
    default:
        m_padLayout->addWidget(m_toolPanel, 0, 1);
        break;
    }
    m_toolPanel->show();
    for (QToolBar* bar : m_popupBars)
        bar->hide();
}

}  // namespace kavio::qt
