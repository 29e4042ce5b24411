// Line marks (finished "済", suspended "保留") on the caret's line and the jumps between them,
// and the files clipped to the page.

#include "app/kavio_form.h"

#include "base/file_system.h"
#include "config/globals.h"
#include "controls/labels.h"
#include "controls/frame_controls.h"
#include "controls/memo_pad.h"
#include "dialogs/message_boxes.h"
#include "qt/text_codec.h"
#include "tools/process_runner.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QListWidget>

namespace kavio::qt {
namespace {

constexpr uint16_t kSuspendedBit = 1u << kMarkSuspended;
constexpr uint16_t kFinishedBit = 1u << kMarkFinished;

}  // namespace

// The first display row of the caret's logical line carries its mark.
int TKavioForm::CaretMarkRow() const
{
    return MemoPad->FirstRowOfLine(MemoPad->CaretLine());
}

void TKavioForm::SetLineMark(int mark)
{
    const int row = CaretMarkRow();
    MemoPad->RemoveRowMark(row, kMarkSuspended);
    MemoPad->RemoveRowMark(row, kMarkFinished);
    if (mark != 0)
        MemoPad->AddRowMark(row, mark);
    // Marks are part of the page: the change handler writes it.
    MemoPad->DoChange(MemoPad);
}

void TKavioForm::SetToggleMarkExecute()
{
    const uint16_t marks = MemoPad->RowMarkSet(CaretMarkRow());
    if (marks & kSuspendedBit)
        SetLineMark(kMarkFinished);
    else if (marks & kFinishedBit)
        SetLineMark(0);
    else
        SetLineMark(kMarkSuspended);
}

// Moves the caret to the first line after (step 1) or before (step -1) the caret's line whose
// marks satisfy `wanted`; no wrapping around the ends.
void TKavioForm::JumpToMark(int step, const std::function<bool(uint16_t marks)>& wanted)
{
    const int count = MemoPad->LineCount();
    for (int line = MemoPad->CaretLine() + step; line >= 0 && line < count; line += step) {
        const int row = MemoPad->FirstRowOfLine(line);
        if (wanted(MemoPad->RowMarkSet(row))) {
            MemoPad->SetCaretRow(row);
            return;
        }
    }
}

void TKavioForm::JumpToUnchecked(int step)
{
    JumpToMark(step, [](uint16_t marks) { return (marks & (kSuspendedBit | kFinishedBit)) == 0; });
}

void TKavioForm::JumpToSuspended(int step)
{
    JumpToMark(step, [](uint16_t marks) { return (marks & kSuspendedBit) != 0; });
}

// A click in the line numbers or the image bar cycles that line's mark.
void TKavioForm::MemoPadMarginClick(int line)
{
    MemoPad->SetCaretRow(MemoPad->FirstRowOfLine(line));
    SetToggleMarkExecute();
}

// Clip files.

void TKavioForm::AddClipFile(const std::string& path)
{
    ClipFilesAdd(path);
}

void TKavioForm::ClipFilesAdd(const std::string& path)
{
    const QString shown = FromCp(path);
    auto* item = new QListWidgetItem(shown, ClipFileList);
    item->setData(Qt::UserRole, QByteArray::fromStdString(path));
    item->setToolTip(shown);
    item->setSizeHint(QSize(0, 20));
    const QFileInfo info(shown);
    if (info.exists())
        item->setIcon(QFileIconProvider().icon(info));
}

void TKavioForm::ClipFileNewFileExecute()
{
    QFileDialog dialog(this, QStringLiteral("ファイルを作成(拡張子つきで入力)"),
                       FromCp(kavio::PersonalDir), QStringLiteral("すべてのファイル (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(PageTitle->text() + QStringLiteral(".File"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const std::string path = ToCp(dialog.selectedFiles().front());
    AddClipFile(path);
    try {
        fs::WriteFileAtomic(path, {});
    } catch (const std::exception&) {
        // The clip stays; a file that cannot be made is not reported.
    }
    SaveActivePage();
    UpdateClipListHeight();
    ShellOpen(path);
}

void TKavioForm::ClipFileAddExecute()
{
    QFileDialog dialog(this, QString(), QString(), QStringLiteral("すべてのファイル (*)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* fetch = new QCheckBox(QStringLiteral("個人フォルダに取り寄せる"), &dialog);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(fetch, grid->rowCount(), 0, 1, grid->columnCount());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const std::string chosen = ToCp(dialog.selectedFiles().front());
    ClipFileTake(chosen, fetch->isChecked());
}

// Clips `path`; with `fetch`, a copy in the personal folder instead (an existing file of that
// name there is kept, and the outcome of the copy is not examined).
void TKavioForm::ClipFileTake(const std::string& path, bool fetch)
{
    if (fetch) {
        const std::string copy = kavio::PersonalDir + fs::ExtractFileName(path);
        if (!fs::FileExists(copy)) {
            try {
                fs::WriteFileAtomic(copy, fs::ReadFile(path));
            } catch (const std::exception&) {
            }
        }
        AddClipFile(copy);
    } else {
        AddClipFile(path);
    }
    SaveActivePage();
    UpdateClipListHeight();
}

void TKavioForm::ClipFileDeleteExecute()
{
    const int row = ClipFileList->currentRow();
    if (row < 0)
        return;
    QApplication::beep();
    const TCheckedAnswer answer = ConfirmWithCheckBox(QStringLiteral("クリップから取り除きますか？"),
                                                      QStringLiteral("ファイルを共に削除"), this);
    if (!answer.Yes)
        return;
    if (answer.Checked) {
        try {
            fs::RemoveFile(ClipFileItem(row));
        } catch (const std::exception&) {
        }
    }
    delete ClipFileList->takeItem(row);
    SaveActivePage();
    UpdateClipListHeight();
}

void TKavioForm::ClipFileOpenExecute()
{
    const int row = ClipFileList->currentRow();
    if (row >= 0)
        ShellOpen(ClipFileItem(row));
}

void TKavioForm::ClipFileDropFiles(const QStringList& files)
{
    for (const QString& file : files)
        AddClipFile(ToCp(file));
    SaveActivePage();
    UpdateClipListHeight();
}

}  // namespace kavio::qt
