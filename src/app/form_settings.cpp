// Settings onto the running window: the window state at start-up and shut-down, the applied
// settings, and the colour scheme.

#include "app/kavio_form.h"

#include "api/api_server.h"
#include "base/shortcut_text.h"
#include "controls/frame_controls.h"
#include "controls/gradient.h"
#include "controls/index_list_box.h"
#include "controls/labels.h"
#include "controls/memo_pad.h"
#include "desktop/play_sound.h"
#include "qt/text_codec.h"
#include "storage/book_list.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QSplitter>

#include <algorithm>

namespace kavio::qt {
namespace {

void SetWidgetColor(QWidget* widget, QPalette::ColorRole role, const QColor& color)
{
    if (!color.isValid())
        return;
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

}  // namespace

TScreenDefaults TKavioForm::ScreenDefaults() const
{
    TScreenDefaults defaults;
    defaults.FormBounds = ToTRect(geometry());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        defaults.WorkArea = ToTRect(screen->availableGeometry());
    return defaults;
}

int TKavioForm::CheckedIndex(const QActionGroup* group) const
{
    const QList<QAction*> actions = group->actions();
    for (int i = 0; i < actions.size(); ++i)
        if (actions[i]->isChecked())
            return i;
    return 0;
}

void TKavioForm::ClickToolBarPos(int index)
{
    const QList<QAction*> actions = m_toolBarPosGroup->actions();
    if (index >= 0 && index < actions.size())
        actions[index]->trigger();
}

// The window-state keys, read once at start-up in the order the settings file lists them.
void TKavioForm::ReadWindowState(TMemIniFileEx& ini)
{
    const TAppSettings loaded = LoadAppSettings(ini, ScreenDefaults());
    if (loaded.TopMost)
        Action(QStringLiteral("TopMost"))->trigger();
    m_shadeGroup->actions().at(static_cast<int>(loaded.Shade))->trigger();
    ClickToolBarPos(static_cast<int>(loaded.ToolBarPos));
    m_settings.SaveFormSize = loaded.SaveFormSize;
    if (loaded.SaveFormSize) {
        m_settings.FormSize = loaded.FormSize;
        const QRect bounds = ToQRect(loaded.FormSize);
        if (bounds.width() > 0 && bounds.height() > 0)
            setGeometry(bounds.intersected(QRect(bounds.topLeft(), QSize(16384, 16384))));
    }
    m_settings.SaveShadeState = loaded.SaveShadeState;
    m_settings.FormShade = loaded.FormShade;
    m_settings.ClipListSize = loaded.ClipListSize;
    m_vSplitter->setSizes({m_vSplitter->height(), ClipListHeight(m_settings)});
    m_settings.ShowTaskBar = loaded.ShowTaskBar;
    // Without a task-bar button the window is a tool window, which the task bar leaves out.
    if (!loaded.ShowTaskBar)
        setWindowFlag(Qt::Tool, true);
    m_settings.ShowTaskTray = loaded.ShowTaskTray;
    m_settings.StartOnMinimize = loaded.StartOnMinimize;
    SetWindowHidden(loaded.StartOnMinimize, false);
    m_settings.SaveBookIndex = loaded.SaveBookIndex;
    m_settings.BookIndex = loaded.BookIndex;
    const int book = StartBookIndex(loaded, m_bookList->Count());
    if (book >= 0)
        cBookList->SetItemIndex(book);
    ClickToolBarPos(static_cast<int>(loaded.ListState));
    Action(QStringLiteral("EnabledSound"))->setChecked(loaded.EnabledSound);
}

// The keys shut-down writes, from the state of the running window.
void TKavioForm::WriteWindowState(TMemIniFileEx& ini)
{
    m_settings.TopMost = Action(QStringLiteral("TopMost"))->isChecked();
    m_settings.Shade = static_cast<TShadeMode>(CheckedIndex(m_shadeGroup));
    m_settings.ToolBarPos = static_cast<TToolBarPos>(CheckedIndex(m_toolBarPosGroup));
    m_settings.ListState = m_settings.ToolBarPos;
    // A height the user dragged the clip list to counts even when no file was added since.
    if (ClipFileList->count() > 0 && ClipFileList->height() > settings::kMinClipListSize &&
        m_vSplitter->isVisible())
        m_settings.ClipListSize = ClipFileList->height();
    m_settings.FormSize = ToTRect(m_sizeRec->NormalRect());
    m_settings.BookIndex = cBookList->ItemIndex();
    m_settings.EnabledSound = Action(QStringLiteral("EnabledSound"))->isChecked();
    SaveWindowState(ini, m_settings);
}

void TKavioForm::ApplySettings(TMemIniFileEx& ini)
{
    const TAppSettings loaded = LoadAppSettings(ini, ScreenDefaults());
    // 1. Shortcut keys in the tooltips.
    m_settings.HintShortCuts = loaded.HintShortCuts;
    for (QAction* action : std::as_const(m_actions)) {
        QString tip = action->property("tooltip").toString();
        if (m_settings.HintShortCuts && !action->shortcut().isEmpty() && !tip.isEmpty())
            tip += QStringLiteral(" (") + action->shortcut().toString(QKeySequence::NativeText) +
                   QLatin1Char(')');
        action->setToolTip(tip);
    }
    // 2.-6.
    m_settings.MaximumFormSize = loaded.MaximumFormSize;
    m_sizeRec->SetMaximumRect(ToQRect(loaded.MaximumFormSize));
    m_settings.AlphaValue = loaded.AlphaValue;
    m_settings.AlphaValueSubForm = loaded.AlphaValueSubForm;
    if (m_translucent)
        setWindowOpacity(m_settings.AlphaValue / 255.0);
    m_settings.Scheme = loaded.Scheme;
    m_settings.AppCloseQuery = loaded.AppCloseQuery;
    m_settings.ScreenSnap = loaded.ScreenSnap;
    m_settings.ExitEsc = loaded.ExitEsc;
    QList<QKeySequence> exitKeys{QKeySequence(Qt::ALT | Qt::Key_F4)};
    if (m_settings.ExitEsc)
        exitKeys.append(QKeySequence(Qt::Key_Escape));
    Action(QStringLiteral("AppExit"))->setShortcuts(exitKeys);
    // 7. Both splitters take the same thickness.
    m_settings.SplitterSize = loaded.SplitterSize;
    m_settings.SplitterDesign = loaded.SplitterDesign;
    m_hSplitter->setHandleWidth(m_settings.SplitterSize);
    m_vSplitter->setHandleWidth(m_hSplitter->handleWidth());
    // 8.
    m_settings.NewPageTitlePolicy = loaded.NewPageTitlePolicy;
    m_settings.DefaultTitle = loaded.DefaultTitle;
    m_settings.BookTitleJointer = loaded.BookTitleJointer;
    ApplyDefaultTitle(m_settings);
    // 9. The API listener: a port that cannot be opened is reported by the server and the
    // settings after it still apply.
    m_settings.AcceptAPI = loaded.AcceptAPI;
    m_settings.PortNumber = loaded.PortNumber;
    m_settings.AcceptOther = loaded.AcceptOther;
    m_settings.LeaveIPAddress = loaded.LeaveIPAddress;
    m_apiServer->ApplySettings(m_settings);
    // 10.-11. The sound files; the check command decides whether they play.
    m_playSound->LoadSounds(ini, std::string(settings::kSounds));
    m_playSound->Enabled = Action(QStringLiteral("EnabledSound"))->isChecked();
}

void TKavioForm::ApplyScheme(const std::string& path)
{
    m_scheme = LoadColorScheme(path);
    const QColor window = ToQColor(m_scheme.WindowColor);
    const QColor text = ToQColor(m_scheme.TextColor);
    // 1.-2.
    SetWidgetColor(this, QPalette::Window, ToQColor(m_scheme.BackColor));
    for (TBorderdPanel* panel : findChildren<TBorderdPanel*>())
        panel->SetBorderColor(ToQColor(m_scheme.BorderColor));
    // 3.
    MemoPad->SetPaperColor(window);
    for (QWidget* list : {static_cast<QWidget*>(cBookList), static_cast<QWidget*>(cPageList),
                          static_cast<QWidget*>(ClipFileList)}) {
        SetWidgetColor(list, QPalette::Base, window);
        SetWidgetColor(list, QPalette::Text, text);
    }
    // 4.-6.
    SetWidgetColor(PageTitle, QPalette::WindowText, ToQColor(m_scheme.TitleColor));
    PageTitle->SetShadowColor(ToQColor(m_scheme.TitleShadowColor));
    MemoPad->SetTextColor(text);
    for (QWidget* label : {static_cast<QWidget*>(TimerLabel), static_cast<QWidget*>(LengthInfo),
                           static_cast<QWidget*>(CaretInfo), static_cast<QWidget*>(HintLabel)})
        SetWidgetColor(label, QPalette::WindowText, text);
    // 7.-8. The memo pad's bars and line marks.
    MemoPad->SetBarColors(ToQColor(m_scheme.BarBackColor), ToQColor(m_scheme.BarColor));
    MemoPad->SetRulerMarkColor(ToQColor(m_scheme.RulerMark));
    MemoPad->SetCurrentLineColor(ToQColor(m_scheme.EditorCurrentLine));
    MemoPad->SetEvenLineColor(ToQColor(m_scheme.EditorEvenLine));
    // 9.
    update();
    for (QWidget* child : findChildren<QWidget*>())
        child->update();
}

}  // namespace kavio::qt
