// The page and book commands: create, retitle, reorder, prioritise, turn, move and remove pages;
// create, retitle, reorder, give shortcuts to, step through and remove books.

#include "app/kavio_form.h"

#include "base/file_system.h"
#include "base/wrap_index.h"
#include "config/globals.h"
#include "controls/index_list_box.h"
#include "controls/memo_pad.h"
#include "dialogs/book_shortcut_dialog.h"
#include "dialogs/dialog_base.h"
#include "dialogs/delete_book_dialog.h"
#include "dialogs/message_boxes.h"
#include "dialogs/page_title_dialog.h"
#include "qt/error_box.h"
#include "qt/text_codec.h"
#include "storage/active_page.h"
#include "storage/book_list.h"
#include "storage/page_list.h"
#include "tools/process_runner.h"

#include <QApplication>
#include <cerrno>
#include <QClipboard>
#include <QDateTime>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>

namespace kavio::qt {
namespace {

// The folder a page's bare name resolves in.
std::string FolderOf(const TBookData& book)
{
    return GetBookDirectory(book, kavio::PersonalDir);
}

}  // namespace

int TKavioForm::SelectedPage() const
{
    const int index = cPageList->ItemIndex();
    return index >= 0 && index < m_pageList->Count() ? index : -1;
}

void TKavioForm::RemovePageExecute()
{
    const int index = SelectedPage();
    if (index < 0 || !ConfirmYesNo(QStringLiteral("このページを削除してもいいですか？"), this))
        return;
    m_playSound->Play("OnDeletePage");
    m_playSound->SkipNext = true;
    m_pageList->Delete(index);
    cPageList->SetItemIndex(WrapIndex(index, 0, m_pageList->Count() - 1, WrapMode::Clamp));
}

void TKavioForm::SetTitleExecute()
{
    const int index = SelectedPage();
    if (index < 0)
        return;
    TKavioPageTitleDlg dialog(QStringLiteral("ページ"), FromCp(m_pageList->GetTitle(index)),
                              m_settings, this);
    if (!IsPositiveResult(RunModal(dialog)))
        return;
    m_playSound->Play("OnSetTitle");
    m_pageList->SetTitle(index, ToCp(dialog.Title()));
    MemoPad->SetModified(true);
    SaveActivePage();
    cPageList->viewport()->update();
}

void TKavioForm::MovePageExecute(int step)
{
    const int index = SelectedPage();
    if (index < 0)
        return;
    m_playSound->Play("OnMovement");
    const int target = WrapIndex(index + step, 0, m_pageList->Count() - 1, WrapMode::Wrap);
    m_pageList->Exchange(index, target);
    cPageList->SetItemIndex(target);
    cPageList->viewport()->update();
}

void TKavioForm::TurnPageExecute(int step)
{
    const int index = SelectedPage();
    if (index < 0)
        return;
    cPageList->SetItemIndex(WrapIndex(index + step, 0, m_pageList->Count() - 1, WrapMode::Wrap));
}

void TKavioForm::SetPriority(int priority)
{
    const int index = SelectedPage();
    if (index < 0)
        return;
    m_pageList->Pages(index).Priority = static_cast<uint8_t>(priority);
    m_playSound->Play("OnSetPriority");
    SaveActivePage();
    cPageList->viewport()->update();
}

void TKavioForm::AppendNewLineExecute()
{
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty())
        MemoPad->SetSelTextCp("\r\n" + ToCp(text));
}

void TKavioForm::InsertDateTime(bool date)
{
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    MemoPad->SetSelTextCp(ToCp(date ? locale.toString(now.date(), QLocale::ShortFormat)
                                    : locale.toString(now.time(), QLocale::LongFormat)));
}

// Moves the selected page to the end of book `book`, its file into that book's folder when the
// page lives in the open book's folder. A file that cannot be moved stays where it is and the
// other book lists it by its full path, so the page can always be read; the failure is shown.
void TKavioForm::MovePageToBook(int book)
{
    const int index = SelectedPage();
    TBookData* open = m_pageList->Book();
    if (index < 0 || !open || book < 0 || book >= m_bookList->Count())
        return;
    TBookData& target = m_bookList->Books(book);
    if (&target == open)
        return;
    TPageList other(m_bookList.get());
    other.LoadBook(&target);
    const std::string oldPath = m_pageList->GetFullPathOf(index);
    std::unique_ptr<TPageData> page = m_pageList->ExtractPage(index);
    std::string failure;
    if (FolderOf(target) != FolderOf(*open) && page->FileName.find('/') == std::string::npos) {
        const std::string newPath = FolderOf(target) + page->FileName;
        try {
            if (fs::FileExists(newPath))
                throw EKavioError(ToCp(QStringLiteral("移動先に同じ名前のファイルがあります。")) + "\n" + newPath);
            if (fs::FileExists(oldPath))
                fs::RenameFile(oldPath, newPath);
        } catch (const std::exception& e) {
            failure = e.what();
            page->FileName = oldPath;
        }
    }
    other.AddPage(std::move(page));
    other.Save();
    // The open book never stays without a page to type into.
    if (m_pageList->Count() == 0)
        m_pageList->AddNew();
    cPageList->SetItemIndex(WrapIndex(index, 0, m_pageList->Count() - 1, WrapMode::Clamp));
    if (!failure.empty())
        throw EKavioError(failure);
}

void TKavioForm::AddNewBookExecute(const std::string& directory)
{
    m_playSound->Play("OnNewBook");
    m_playSound->SkipNext = true;
    cBookList->SetItemIndex(m_bookList->NewBook(directory));
}

void TKavioForm::AddNewBookAppointDirectoryExecute()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QString(), FromCp(kavio::PersonalDir));
    if (folder.isEmpty())
        return;
    std::string directory = fs::IncludeTrailingDelimiter(ToCp(folder));
    if (!fs::DirectoryExists(directory) && !fs::CreateDirectory(directory))
        throw ESystemError(errno, directory);
    AddNewBookExecute(directory);
}

void TKavioForm::RemoveBookExecute()
{
    const int index = cBookList->ItemIndex();
    if (index < 0)
        return;
    if (index == 0)
        throw EKavioError(QStringLiteral("'%1'は削除できません")
                              .arg(FromCp(m_bookList->GetTitle(0)))
                              .toStdString());
    int option = -1;
    ShowDialog<TKavioDeleteCommandDialog>(
        0, [&option](TKavioDeleteCommandDialog& dialog) { option = dialog.DeleteCommand(); }, {},
        m_pageList->Count(), FromCp(m_bookList->GetTitle(0)), m_settings, this);
    if (option >= 0)
        RemoveBookPages(option);
}

// 0 deletes the pages with their files, 1 moves them to the first book, 2 leaves them. Pages
// moved to the first book keep their files where they are; a page whose file lies in the
// removed book's own folder is listed there by its full path, so it stays readable.
void TKavioForm::RemoveBookPages(int option)
{
    const int index = cBookList->ItemIndex();
    if (index <= 0)
        return;
    cPageList->SetItemIndex(-1);
    if (option == 0) {
        while (m_pageList->Count() > 0)
            m_pageList->Delete(0);
    } else if (option == 1) {
        TPageList first(m_bookList.get());
        first.LoadBook(&m_bookList->Books(0));
        while (m_pageList->Count() > 0) {
            const std::string path = m_pageList->GetFullPathOf(0);
            std::unique_ptr<TPageData> page = m_pageList->ExtractPage(0);
            page->FileName = first.GetStoredName(path);
            first.AddPage(std::move(page));
        }
        first.Save();
    }
    m_playSound->Play("OnDeleteBook");
    m_playSound->SkipNext = true;
    m_bookList->Delete(index);
    cBookList->SetItemIndex(WrapIndex(index, 0, m_bookList->Count() - 1, WrapMode::Clamp));
}

void TKavioForm::SetBookTitleExecute()
{
    const int index = cBookList->ItemIndex();
    if (index < 0)
        return;
    TKavioPageTitleDlg dialog(QStringLiteral("ブック"), FromCp(m_bookList->GetTitle(index)),
                              m_settings, this);
    if (!IsPositiveResult(RunModal(dialog)))
        return;
    m_playSound->Play("OnSetTitle");
    m_bookList->SetTitle(index, ToCp(dialog.Title()));
    // The title reaches the book file with the open book's next save; the open one now.
    if (m_pageList->Book() == &m_bookList->Books(index))
        SaveOpenBook();
    cBookList->viewport()->update();
}

void TKavioForm::SetBookShortCutExecute()
{
    const int index = cBookList->ItemIndex();
    if (index < 0)
        return;
    TBookData& book = m_bookList->Books(index);
    TKavioBookShortCutDlg dialog(book.ShortCut, Actions(), m_settings, this);
    if (!IsPositiveResult(RunModal(dialog)))
        return;
    m_playSound->Play("OnSetTitle");
    book.ShortCut = dialog.ShortCut();
    if (m_pageList->Book() == &book)
        SaveOpenBook();
    cBookList->viewport()->update();
}

void TKavioForm::MoveBookExecute(int step)
{
    const int index = cBookList->ItemIndex();
    const int count = m_bookList->Count();
    if (index <= 0 || count < 2)
        return;
    m_playSound->Play("OnMovement");
    const int target = WrapIndex(index + step, 1, count - 1, WrapMode::Wrap);
    m_bookList->Exchange(index, target);
    cBookList->SetItemIndex(target);
    cBookList->viewport()->update();
}

void TKavioForm::StepBookExecute(int step)
{
    const int index = cBookList->ItemIndex();
    if (index < 0)
        return;
    cBookList->SetItemIndex(WrapIndex(index + step, 0, m_bookList->Count() - 1, WrapMode::Clamp));
}

void TKavioForm::OpenBookDirExecute()
{
    if (const TBookData* book = m_pageList->Book(); book && !book->Directory.empty())
        ShellOpen(book->Directory);
}

}  // namespace kavio::qt
