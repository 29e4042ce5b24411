// The page list and the book list: their rows, how the window reacts to the lists'
// notifications, opening a book, the book shortcut keys, and the page-title label.

#include "app/kavio_form.h"

#include "base/shortcut_text.h"
#include "base/trace.h"
#include "controls/frame_controls.h"
#include "controls/gradient.h"
#include "controls/index_list_box.h"
#include "controls/labels.h"
#include "controls/memo_pad.h"
#include "desktop/play_sound.h"
#include "qt/error_box.h"
#include "qt/key_codes.h"
#include "qt/text_codec.h"
#include "storage/active_page.h"
#include "storage/book_list.h"
#include "storage/page_list.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStackedWidget>

#include <algorithm>

namespace kavio::qt {

void TKavioForm::ConnectListEvents()
{
    m_pageList->OnBookChanging = [this](TPageList& pages) {
        // The book being left remembers its page for when it is opened again in this run, as
        // its file does for the next start.
        if (pages.Book() && cPageList->ItemIndex() >= 0 && !m_openingBook)
            pages.Book()->LastIndex = cPageList->ItemIndex();
        SaveOpenBook();
        // From here until the book is open the list control still holds the last book's rows.
        m_openingBook = true;
        Trace("PageList OnBookChanging...");
    };
    m_pageList->OnBookChanged = [this](TPageList& pages) {
        m_openingBook = false;
        m_activePage->Page = nullptr;
        if (pages.Book()) {
            cPageList->ResetIndex();
            const int last = std::clamp(static_cast<int>(pages.Book()->LastIndex), 0,
                                        std::max(0, pages.Count() - 1));
            cPageList->SetItemIndex(last);
        }
        TraceFmt("PageList OnBookChanged...(%d)", cPageList->ItemIndex());
    };
    m_pageList->OnChangeCount = [this](TPBBase& pages) {
        m_activePage->Page = nullptr;
        SaveOpenBook();
        cPageList->SetCount(pages.Count());
        cPageList->ResetIndex();
        Trace("PageList OnChangeCount...");
    };
    m_pageList->OnChange = [this](TPBBase& pages) {
        // Every change of titles or order reaches the book file at once, also right after a
        // page was created (when the list control has no previous selection); only while a
        // book is being opened is nothing written, as the selection still belongs to the last.
        if (cPageList->PrevItemIndex() >= 0 || !m_openingBook)
            SaveOpenBook();
        const int index = cPageList->ItemIndex();
        if (index >= 0 && index < pages.Count())
            ShowPageTitle(pages.GetTitle(index));
        cPageList->viewport()->update();
        Trace("PageList OnChange...");
    };
    m_pageList->OnNeedPageIndex = [this](TPageList&, int& index) {
        // While a book is being opened the list control still shows the last book's selection:
        // the book keeps its own remembered page.
        if (!m_openingBook)
            index = cPageList->ItemIndex();
        TraceFmt("PageList OnNeedPageIndex (%d) ...", index);
    };
    m_pageList->OnNeedDefaultTitle = [this](TPageList&, std::string& title) {
        title = m_settings.DefaultTitle;
    };
    m_bookList->OnChange = [this](TPBBase& books) {
        books.Save();
        // The title label names the open book too.
        const int page = cPageList->ItemIndex();
        if (m_pageList->Book() && page >= 0 && page < m_pageList->Count())
            ShowPageTitle(m_pageList->GetTitle(page));
        cBookList->viewport()->update();
        Trace("BookList OnChange...");
    };
    m_bookList->OnChangeCount = [this](TPBBase& books) {
        cBookList->SetCount(books.Count());
        cBookList->ResetIndex();
        Trace("BookList OnChangeCount...");
    };
}

// The open book's file: page order and the selected page as its last index.
void TKavioForm::SaveOpenBook()
{
    if (m_pageList->Book())
        m_pageList->Save();
}

void TKavioForm::cBookListChangeIndex()
{
    const int index = cBookList->ItemIndex();
    if (index < 0 || index >= m_bookList->Count())
        return;
    TBookData& book = m_bookList->Books(index);
    if (m_pageList->Book() && m_pageList->Book()->FileName == book.FileName)
        return;
    m_playSound->Play("OnChangeBook");
    m_playSound->SkipNext = true;
    cPageList->ResetIndex();
    LoadBookInPageList(book);
    // Pages that could not be read keep their records (and their place in the book file); the
    // user learns which.
    for (const TLoadProblem& problem : m_pageList->LoadProblems())
        ShowErrorBox(FromCp(problem.FileName) + QStringLiteral("\n") +
                         QString::fromStdString(problem.Message), this);
}

void TKavioForm::LoadBookInPageList(TBookData& book)
{
    try {
        m_pageList->LoadBook(&book);
    } catch (...) {
        m_openingBook = false;
        throw;
    }
    m_openingBook = false;
}

QString TKavioForm::BookRowText(int index) const
{
    const TBookData& book = m_bookList->Books(index);
    QString text = FromCp(book.Title);
    if (book.ShortCut != 0) {
        const std::string key = ShortCutToText(book.ShortCut);
        if (!key.empty())
            text += QLatin1Char('(') + FromCp(key) + QLatin1Char(')');
    }
    return text;
}

namespace {

void DrawRowText(QPainter& painter, const QRect& rect, const QString& text, const QColor& color)
{
    const QRect textRect = rect.adjusted(2, 0, 0, 0);
    painter.setPen(color);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     ShortenText(text, painter.fontMetrics(), textRect.width(),
                                 TEllipsisKind::Word));
}

}  // namespace

void TKavioForm::cPageListDrawItem(QPainter& painter, int index, const QRect& rect, bool selected)
{
    if (index >= m_pageList->Count())
        return;
    const int priority = m_pageList->GetPriority(index);
    painter.fillRect(rect, ToQColor(m_scheme.RowColor(priority, selected)));
    DrawRowText(painter, rect, FromCp(m_pageList->GetTitle(index)),
                ToQColor(m_scheme.RowTextColor(selected)));
}

void TKavioForm::cBookListDrawItem(QPainter& painter, int index, const QRect& rect, bool selected)
{
    if (index >= m_bookList->Count())
        return;
    const QPalette& palette = cBookList->palette();
    painter.fillRect(rect, selected ? palette.color(QPalette::Highlight)
                                    : ToQColor(m_scheme.WindowColor));
    DrawRowText(painter, rect, BookRowText(index),
                selected ? palette.color(QPalette::HighlightedText) : ToQColor(m_scheme.TextColor));
}

// The book shortcut keys come before every command shortcut: the first book whose key matches
// is opened and the key goes no further.
bool TKavioForm::FormShortCut(const QKeyEvent& event)
{
    if (!m_bookList)
        return false;
    const TShortCut code = ShortCutFromKeyEvent(event);
    if (code == 0)
        return false;
    for (int i = 0; i < m_bookList->Count(); ++i) {
        if (m_bookList->Books(i).ShortCut == code) {
            Safely([this, i] { cBookList->SetItemIndex(i); });
            return true;
        }
    }
    return false;
}

void TKavioForm::SetListState(int state)
{
    m_listState = state == 0 ? 0 : 1;
    m_listStack->setCurrentWidget(m_listState == 0 ? static_cast<QWidget*>(cPageList)
                                                   : static_cast<QWidget*>(cBookList));
    PBCaption->setText(m_listState == 0 ? QStringLiteral("ページ") : QStringLiteral("ブック"));
    // $F0CAA6 and $C0DCC0 in the blue-green-red order of stored colours.
    PBCaption->SetGradientStart(m_listState == 0 ? QColor(0xA6, 0xCA, 0xF0)
                                                 : QColor(0xC0, 0xDC, 0xC0));
}

void TKavioForm::ToggleListState()
{
    SetListState(m_listState == 0 ? 1 : 0);
}

void TKavioForm::ShowPageTitle(const std::string& title)
{
    std::string text;
    const TBookData* book = m_pageList ? m_pageList->Book() : nullptr;
    if (book && !m_settings.BookTitleJointer.empty())
        text = book->Title + m_settings.BookTitleJointer;
    text += title;
    const QString shown = FromCp(text);
    PageTitle->setText(shown);
    const QString hint = QStringLiteral("右クリックでタイトルを変更できます。|") + shown;
    PageTitle->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
    PageTitle->setStatusTip(hint.section(QLatin1Char('|'), 1));
}

QString TKavioForm::PageTitleText() const
{
    return PageTitle->text();
}

}  // namespace kavio::qt
