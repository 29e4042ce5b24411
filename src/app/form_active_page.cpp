// The active page: selecting a page shows it, every change of the memo pad writes it at once,
// text files come in and go out, and the status line tells where the caret is.

#include "app/kavio_form.h"

#include "base/file_system.h"
#include "base/line_file.h"
#include "base/trace.h"
#include "controls/index_list_box.h"
#include "controls/labels.h"
#include "controls/memo_pad.h"
#include "desktop/play_sound.h"
#include "dialogs/message_boxes.h"
#include "qt/text_codec.h"
#include "storage/active_page.h"
#include "storage/book_list.h"
#include "storage/page_list.h"

#include <QListWidget>
#include <QSplitter>
#include <QStringDecoder>
#include <QTime>

#include <algorithm>

namespace kavio::qt {
namespace {

// A text file's bytes as page text. Files are taken unchanged, except that a file in UTF-8
// (the usual encoding on this desktop) is converted to the page code page rather than shown as
// garbage; characters the code page cannot hold become "?".
std::string PageTextFromFile(const std::string& bytes)
{
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii)
        return bytes;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError())
        return bytes;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return ToCp(text);
}

}  // namespace

void TKavioForm::cPageListChangeIndex()
{
    const int index = cPageList->ItemIndex();
    if (index < 0 || index >= m_pageList->Count())
        return;
    TPageData& page = m_pageList->Pages(index);
    if (m_activePage->Page && !MemoPad->isHidden() && m_activePage->Page->FileName == page.FileName)
        return;
    m_playSound->Play("OnTurnOver");
    const bool exists = fs::FileExists(m_pageList->GetFullPath(page.FileName));
    MemoPad->setVisible(exists);
    if (exists)
        m_activePage->Load(page);
}

void TKavioForm::MemoPadChange()
{
    Trace("MemoPad OnChange...");
    if (MemoPad->LineCount() > 0) {
        const std::string first = MemoPad->GetLine(0);
        const int index = cPageList->ItemIndex();
        if (m_settings.NewPageTitlePolicy == TNewPageTitlePolicy::tpFollowFirstLine && index >= 0 &&
            index < m_pageList->Count()) {
            const std::string& title = m_pageList->GetTitle(index);
            if ((title == m_settings.DefaultTitle || title == m_lastFirstLine) && !first.empty() &&
                title != first)
                m_pageList->SetTitle(index, first);
        }
        m_lastFirstLine = first;
    }
    SaveActivePage();
    cPageList->viewport()->update();
}

void TKavioForm::SaveActivePage()
{
    if (m_activePage->Loading || !m_activePage->Page)
        return;
    m_activePage->Save();
    MemoPad->SetModified(false);
}

void TKavioForm::ImportTextFile(const std::string& path)
{
    m_playSound->Play("OnWashing");
    m_playSound->SkipNext = true;
    const std::string text = PageTextFromFile(fs::ReadFile(path));
    const int index = m_pageList->NewPage(text);
    cPageList->SetItemIndex(index);
}

void TKavioForm::PageListDropFiles(const QStringList& files)
{
    for (const QString& file : files)
        ImportTextFile(ToCp(file));
}

void TKavioForm::MemoPadDropFiles(const QStringList& files)
{
    if (files.size() == 1 &&
        ConfirmYesNo(QStringLiteral("開いているテキストを置き換えますか？"), this)) {
        const std::string text = PageTextFromFile(fs::ReadFile(ToCp(files.front())));
        // An ordinary edit: it can be undone and is written through the change handler.
        MemoPad->selectAll();
        MemoPad->SetSelTextCp(text);
        return;
    }
    PageListDropFiles(files);
}

void TKavioForm::ExportText(const std::string& path)
{
    WriteLines(path, MemoPad->GetLines());
}

// Caret and length at every idle moment: both are kept up to date by the memo pad, so this
// costs the same on any page.
void TKavioForm::AppEventsIdle()
{
    CaretInfo->setText(
        QString::asprintf("%3d:%3d", MemoPad->CaretLine(), MemoPad->CaretColumn() + 1));
    LengthInfo->setText(QString::asprintf("%5d", MemoPad->ByteLength()) + QStringLiteral("文字"));
}

void TKavioForm::TimerTimer()
{
    TimerLabel->setText(ClockText(QTime::currentTime()));
}

QString TKavioForm::ClockText(const QTime& time)
{
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QString::asprintf("%s %d:%02d", time.hour() < 12 ? "AM" : "PM", hour, time.minute());
}

void TKavioForm::ClipFilesClear()
{
    ClipFileList->clear();
}

int TKavioForm::ClipFilesCount() const
{
    return ClipFileList->count();
}

std::string TKavioForm::ClipFileItem(int index) const
{
    const QListWidgetItem* item = ClipFileList->item(index);
    return item ? item->data(Qt::UserRole).toByteArray().toStdString() : std::string();
}

// The clip list collapses to 1 pixel when it is empty and otherwise takes the remembered
// height; a height the user dragged it to is remembered first.
void TKavioForm::UpdateClipListHeight()
{
    const int minimum = settings::kMinClipListSize;
    QList<int> sizes = m_vSplitter->sizes();
    if (sizes.size() != 2)
        return;
    if (ClipFileList->height() > minimum && m_vSplitter->isVisible() && m_clipListLaidOut)
        m_settings.ClipListSize = ClipFileList->height();
    const int total = std::max(sizes[0] + sizes[1], m_vSplitter->height());
    const int height = ClipFileList->count() == 0 ? 1 : std::max(m_settings.ClipListSize, minimum);
    m_vSplitter->setSizes({std::max(0, total - height), height});
}

}  // namespace kavio::qt
