// The user's tools: the tools menu built from the settings file, running a tool on the page
// (waiting, capturing its output, reloading afterwards), and the tool settings command.

#include "app/kavio_form.h"

#include "config/globals.h"
#include "controls/command_images.h"
#include "controls/index_list_box.h"
#include "controls/memo_pad.h"
#include "dialogs/dialog_base.h"
#include "dialogs/tool_dialogs.h"
#include "qt/text_codec.h"
#include "storage/active_page.h"
#include "storage/book_list.h"
#include "storage/page_list.h"
#include "tools/process_runner.h"
#include "tools/tool_entry.h"
#include "tools/tool_expansion.h"

#include <QAction>
#include <QMenu>

namespace kavio::qt {

void TKavioForm::CreateToolActions()
{
    AddAction(QStringLiteral("ToolSettings"), QStringLiteral("ツールの設定(&T)..."),
              QStringLiteral("ツールの登録と削除|ツールの登録と削除を行います。"), QKeySequence(),
              [this] { ToolSettingsExecute(); })
        ->setIcon(CommandImage(12));
}

// The menu reads: the settings item, a separator, then one item per tool line. The item keeps
// the text after the line's first TAB, from which a run takes the program and the template.
void TKavioForm::BuildToolsMenu(const TMemIniFileEx& ini)
{
    m_toolMenu->clear();
    m_toolMenu->addAction(Action(QStringLiteral("ToolSettings")));
    m_toolMenu->addSeparator();
    for (const std::string& line : ReadToolLines(ini)) {
        const size_t tab = line.find('\t');
        const std::string caption = tab == std::string::npos ? line : line.substr(0, tab);
        const std::string hint = tab == std::string::npos ? std::string() : line.substr(tab + 1);
        if (caption == "-") {
            m_toolMenu->addSeparator();
            continue;
        }
        QAction* item = m_toolMenu->addAction(FromCp(caption));
        item->setData(QByteArray::fromStdString(hint));
        item->setStatusTip(FromCp(hint));
        connect(item, &QAction::triggered, this, [this, hint] { Safely([this, hint] { RunTool(hint); }); });
    }
}

QList<QAction*> TKavioForm::ToolMenuItems() const
{
    QList<QAction*> items;
    for (QAction* action : m_toolMenu->actions())
        if (!action->isSeparator() && action != Action(QStringLiteral("ToolSettings")))
            items.append(action);
    return items;
}

void TKavioForm::RunTool(const std::string& hint)
{
    // A failing expansion ends the launch before anything has started.
    const TToolLaunch launch = PrepareToolLaunch(TToolEntry::FromHint(hint), *this);
    // The window takes no input and lets the tool's windows to the front while it runs; it is
    // restored in every case.
    setEnabled(false);
    const bool topMost = Action(QStringLiteral("TopMost"))->isChecked();
    if (topMost)
        SetTopMost(false);
    struct Restore {
        TKavioForm* form;
        bool topMost;
        ~Restore()
        {
            if (topMost)
                form->SetTopMost(true);
            form->setEnabled(true);
        }
    } restore{this, topMost};

    switch (launch.Mode()) {
    case TToolRunMode::Capture: {
        TCUIRedirect runner;
        std::string output;
        runner.RunToString(launch.Program, launch.Arguments, output);
        // The output is text for the page: in the code page, or UTF-8 from a program here.
        MemoPad->SetSelTextCp(ToCp(DecodeToolOutput(output)));
        break;
    }
    case TToolRunMode::Wait:
        StartProcess(launch.Program, launch.Arguments, {}, TStartWait::swPoll);
        break;
    case TToolRunMode::Detached:
        StartProcess(launch.Program, launch.Arguments);
        return;
    }
    if (launch.ReloadPage())
        ReloadPage();
    if (launch.ReloadBook())
        ReloadBook();
}

void TKavioForm::ToolSettingsExecute()
{
    const int result = ShowDialog<TKavioToolPreferenceDialog>(0, {}, {}, kavio::SettingsFile,
                                                              m_settings, this);
    if (IsPositiveResult(result)) {
        BuildToolsMenu(TMemIniFileEx(kavio::SettingsFile));
        update();
    }
}

// What the tool macros read of the window.

std::optional<std::string> TKavioForm::SelectedPagePath() const
{
    const int index = SelectedPage();
    if (index < 0 || !m_pageList->Book())
        return std::nullopt;
    return m_pageList->GetFullPathOf(index);
}

std::optional<std::string> TKavioForm::SelectedBookPath() const
{
    const int index = cBookList->ItemIndex();
    if (index < 0 || index >= m_bookList->Count())
        return std::nullopt;
    return m_bookList->GetFullPathOf(index);
}

std::string TKavioForm::PageText() const
{
    std::string text;
    for (const std::string& line : MemoPad->GetLines())
        text += line + "\r\n";
    return text;
}

std::string TKavioForm::SelectedText() const
{
    return MemoPad->SelTextCp();
}

std::string TKavioForm::TokenAtCaret() const
{
    return SelToken();
}

int TKavioForm::CaretLine() const
{
    return MemoPad->CaretLine();
}

int TKavioForm::ApiPort() const
{
    return m_settings.PortNumber;
}

}  // namespace kavio::qt
