// The window as other programs see it through the text API: the memo pad's text and selection
// in code-page bytes, the change handler, and reloading the book and the page.

#include "app/kavio_form.h"

#include "config/globals.h"
#include "controls/memo_pad.h"
#include "dialogs/message_boxes.h"
#include "qt/text_codec.h"
#include "storage/active_page.h"
#include "storage/book_list.h"
#include "storage/page_list.h"

namespace kavio::qt {

std::string TKavioForm::AppDir() const
{
    return kavio::AppDir;
}

std::string TKavioForm::PersonalDir() const
{
    return kavio::PersonalDir;
}

std::string TKavioForm::Text() const
{
    return MemoPad->TextCp();
}

void TKavioForm::SetText(const std::string& text)
{
    MemoPad->selectAll();
    MemoPad->SetSelTextCp(text);
}

long TKavioForm::TextLength() const
{
    // The memo pad keeps its length with a line break after every line; the text has none after
    // its last line.
    const int length = MemoPad->ByteLength();
    return MemoPad->length() > 0 ? length - 2 : length;
}

std::string TKavioForm::SelText() const
{
    return MemoPad->SelTextCp();
}

void TKavioForm::ReplaceSelection(const std::string& text)
{
    MemoPad->SetSelTextCp(text);
}

long TKavioForm::SelStart() const
{
    return MemoPad->SelStart();
}

long TKavioForm::SelLength() const
{
    return MemoPad->SelLength();
}

void TKavioForm::SetSelection(long start, long length)
{
    MemoPad->SetSelection(static_cast<int>(start), static_cast<int>(length));
}

std::string TKavioForm::SelToken() const
{
    int line = 0;
    int index = 0;
    MemoPad->getCursorPosition(&line, &index);
    return ToCp(MemoPad->wordAtLineIndex(line, index));
}

std::string TKavioForm::FindString() const
{
    return ToCp(MemoPad->FindString());
}

void TKavioForm::SetFindString(const std::string& text)
{
    MemoPad->SetFindString(FromCp(text));
}

int TKavioForm::BookCount() const
{
    return m_bookList->Count();
}

void TKavioForm::ReloadBook()
{
    if (TBookData* book = m_pageList->Book())
        LoadBookInPageList(*book);
}

void TKavioForm::ReloadPage()
{
    if (m_activePage->Page)
        m_activePage->Load(*m_activePage->Page);
}

void TKavioForm::ShowInformation(const std::string& text)
{
    kavio::qt::ShowInformation(FromCp(text), this);
}

}  // namespace kavio::qt
