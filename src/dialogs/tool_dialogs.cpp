#include "dialogs/tool_dialogs.h"

#include "base/split_token.h"
#include "config/app_settings.h"
#include "config/ini_file.h"
#include "dialogs/message_boxes.h"
#include "qt/error_box.h"
#include "qt/text_codec.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <exception>

namespace kavio::qt {
namespace {

enum TToolColumn { tcTitle = 0, tcProgram = 1, tcArguments = 2 };

// Blanks and control characters (codes 0 to 32) off both ends.
QString TrimControls(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

TToolRow RowOf(const QTreeWidgetItem& item)
{
    return {item.text(tcTitle), item.text(tcProgram), item.text(tcArguments)};
}

void SetRow(QTreeWidgetItem& item, const TToolRow& row)
{
    item.setText(tcTitle, row.Title);
    item.setText(tcProgram, row.Program);
    item.setText(tcArguments, row.Arguments);
}

}  // namespace

TToolRow TToolRow::FromLine(const std::string& line)
{
    std::string rest = line;
    TToolRow row;
    row.Title = FromCp(SplitToken(rest, '\t'));
    row.Program = FromCp(SplitToken(rest, '|'));
    row.Arguments = FromCp(rest);
    return row;
}

std::string TToolRow::ToLine() const
{
    return ToCp(Title) + '\t' + ToCp(Program) + '|' + ToCp(Arguments);
}

const std::vector<TToolArgumentPick>& ToolArgumentPicks()
{
    static const std::vector<TToolArgumentPick> picks = {
        {QStringLiteral("\"$PAGE\""), QStringLiteral("ページファイル(フルパス)")},
        {QStringLiteral("\"$BOOK\""), QStringLiteral("ブックファイル(フルパス)")},
        // The tab keeps a word picked next from running into the file name.
        {QStringLiteral("\"$TEXT\"\t"), QStringLiteral("ページ内容(テンポラリファイルを作成)")},
        {QStringLiteral("$LINE"), QStringLiteral("行番号")},
        {QStringLiteral("$SEL"), QStringLiteral("選択中文字列")},
        {QStringLiteral("$PORT"), QStringLiteral("Kavio APIのポート番号")},
        {QStringLiteral("$SELTOK"), QStringLiteral("カーソル位置の単語")},
        {QStringLiteral("#WAIT"), QStringLiteral("起動したツールの終了待ちを行う")},
        {QStringLiteral("#REDIR"), QStringLiteral("出力のリダイレクト(#WAITとセット)")},
        {QStringLiteral("#LOADP"), QStringLiteral("ページを再読込(#WAITとセット)")},
        {QStringLiteral("#LOADB"), QStringLiteral("ブックを再読込(#WAITとセット)")},
    };
    return picks;
}

// ---- the tool list -------------------------------------------------------------------------

TKavioToolPreferenceDialog::TKavioToolPreferenceDialog(std::string settingsFile,
                                                       const TAppSettings& settings, QWidget* owner)
    : TKavioDialogBase(owner, TaskBarButtonFor(settings)),
      m_settingsFile(std::move(settingsFile)),
      m_toolList(new QTreeWidget(this)),
      m_add(new QPushButton(QStringLiteral("追加(&A)"), this)),
      m_edit(new QPushButton(QStringLiteral("編集(&E)"), this)),
      m_remove(new QPushButton(QStringLiteral("削除(&R)"), this))
{
    setWindowTitle(QStringLiteral("ツールの設定"));

    m_toolList->setObjectName(QStringLiteral("ToolList"));
    m_toolList->setHeaderLabels({QStringLiteral("ツール名"), QStringLiteral("ファイル名"),
                                 QStringLiteral("マクロ/コマンドライン")});
    m_toolList->setRootIsDecorated(false);
    m_toolList->setItemsExpandable(false);
    m_toolList->setUniformRowHeights(true);
    m_toolList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_toolList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_toolList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_toolList->setAllColumnsShowFocus(true);
    m_toolList->header()->setSectionsMovable(false);
    m_toolList->setColumnWidth(tcTitle, 110);
    m_toolList->setColumnWidth(tcProgram, 150);
    m_toolList->setMinimumSize(440, 200);

    const TMemIniFileEx ini(m_settingsFile);
    for (const std::string& line : ReadToolLines(ini))
        SetRow(*new QTreeWidgetItem(m_toolList), TToolRow::FromLine(line));

    m_add->setObjectName(QStringLiteral("Add"));
    m_edit->setObjectName(QStringLiteral("Edit"));
    m_remove->setObjectName(QStringLiteral("Remove"));
    connect(m_add, &QPushButton::clicked, this, [this] { runProperty(0); });
    connect(m_edit, &QPushButton::clicked, this, [this] { runProperty(1); });
    connect(m_remove, &QPushButton::clicked, this, [this] { removeSelected(); });
    connect(m_toolList, &QTreeWidget::itemSelectionChanged, this, [this] { updateButtons(); });
    connect(m_toolList, &QTreeWidget::itemDoubleClicked, this, [this] { runProperty(1); });

    auto* side = new QVBoxLayout;
    side->addWidget(m_add);
    side->addWidget(m_edit);
    side->addWidget(m_remove);
    side->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addWidget(m_toolList, 1);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(OkCancelButtons(this, kHelpContext));

    updateButtons();
}

std::vector<TToolRow> TKavioToolPreferenceDialog::Rows() const
{
    std::vector<TToolRow> rows;
    for (int i = 0; i < m_toolList->topLevelItemCount(); ++i)
        rows.push_back(RowOf(*m_toolList->topLevelItem(i)));
    return rows;
}

void TKavioToolPreferenceDialog::accept()
{
    try {
        TMemIniFileEx ini(m_settingsFile);
        std::vector<std::string> lines;
        for (const TToolRow& row : Rows())
            lines.push_back(row.ToLine());
        WriteToolLines(ini, lines);
        ini.UpdateFile();
    } catch (const std::exception& e) {
        ShowErrorBox(QString::fromUtf8(e.what()), this);
        return;
    }
    TKavioDialogBase::accept();
}

void TKavioToolPreferenceDialog::updateButtons()
{
    const bool selected = !m_toolList->selectedItems().isEmpty();
    m_remove->setEnabled(selected);
    m_edit->setEnabled(m_remove->isEnabled());
}

void TKavioToolPreferenceDialog::runProperty(int tag)
{
    if (tag == 1 && m_toolList->selectedItems().isEmpty())
        return;
    ShowDialog<TKavioToolPropertyDialog>(tag, nullptr, nullptr, *m_toolList, this);
    updateButtons();
}

void TKavioToolPreferenceDialog::removeSelected()
{
    const QList<QTreeWidgetItem*> selected = m_toolList->selectedItems();
    if (selected.isEmpty())
        return;
    if (!ConfirmYesNo(QStringLiteral("このツールを削除してもいいですか？"), this))
        return;
    delete selected.front();
    updateButtons();
}

// ---- one tool ------------------------------------------------------------------------------

TKavioToolPropertyDialog::TKavioToolPropertyDialog(QTreeWidget& toolList, QWidget* owner)
    : TKavioDialogBase(owner, TTaskBarButton::tbShared),
      m_toolList(toolList),
      m_title(new QLineEdit(this)),
      m_file(new QLineEdit(this)),
      m_browse(new QToolButton(this)),
      m_arguments(new QLineEdit(this)),
      m_values(new QTreeWidget(this)),
      m_addArgument(new QPushButton(QStringLiteral("追加(&A)"), this))
{
    setWindowTitle(QStringLiteral("ツール"));

    m_title->setObjectName(QStringLiteral("ToolTitle"));
    m_file->setObjectName(QStringLiteral("ToolFile"));
    m_arguments->setObjectName(QStringLiteral("Arguments"));
    m_values->setObjectName(QStringLiteral("ValueList"));
    m_addArgument->setObjectName(QStringLiteral("AddArgument"));
    m_browse->setText(QStringLiteral("..."));
    m_browse->setToolTip(QStringLiteral("ファイルを参照します"));
    m_file->setMinimumWidth(320);

    m_values->setHeaderHidden(true);
    m_values->setColumnCount(2);
    m_values->setRootIsDecorated(false);
    m_values->setSelectionMode(QAbstractItemView::SingleSelection);
    m_values->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_values->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_values->setAllColumnsShowFocus(true);
    for (const TToolArgumentPick& pick : ToolArgumentPicks()) {
        auto* item = new QTreeWidgetItem(m_values);
        // The tab that follows a word is inserted but not shown.
        item->setText(0, TrimControls(pick.Name));
        item->setData(0, Qt::UserRole, pick.Name);
        item->setText(1, pick.Explanation);
    }
    m_values->setColumnWidth(0, 90);
    m_values->setMinimumHeight(150);
    m_values->setCurrentItem(m_values->topLevelItem(0));

    connect(m_title, &QLineEdit::textChanged, this, [this] { titleChanged(); });
    connect(m_browse, &QToolButton::clicked, this, [this] { browse(); });
    connect(m_addArgument, &QPushButton::clicked, this, [this] { InsertSelectedPick(); });
    connect(m_values, &QTreeWidget::itemDoubleClicked, this, [this] { InsertSelectedPick(); });

    auto* titleLabel = new QLabel(QStringLiteral("タイトル(&T)　- を入力すると、区切りになります。"), this);
    titleLabel->setBuddy(m_title);
    auto* fileLabel = new QLabel(QStringLiteral("ファイル(&F)"), this);
    fileLabel->setBuddy(m_file);
    auto* argumentsLabel = new QLabel(QStringLiteral("マクロ/コマンドライン(&M)"), this);
    argumentsLabel->setBuddy(m_arguments);

    auto* fileRow = new QHBoxLayout;
    fileRow->setSpacing(0);
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(m_browse);
    auto* pickRow = new QHBoxLayout;
    pickRow->addWidget(m_values, 1);
    pickRow->addWidget(m_addArgument, 0, Qt::AlignTop);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleLabel);
    layout->addWidget(m_title);
    layout->addWidget(fileLabel);
    layout->addLayout(fileRow);
    layout->addWidget(argumentsLabel);
    layout->addWidget(m_arguments);
    layout->addLayout(pickRow);
    layout->addWidget(OkCancelButtons(this, kHelpContext));

    titleChanged();
}

QTreeWidgetItem* TKavioToolPropertyDialog::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = m_toolList.selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

void TKavioToolPropertyDialog::showEvent(QShowEvent* event)
{
    if (!m_filled) {
        m_filled = true;
        if (Tag() == 1) {
            if (const QTreeWidgetItem* row = selectedRow()) {
                m_title->setText(row->text(tcTitle));
                m_file->setText(row->text(tcProgram));
                m_arguments->setText(row->text(tcArguments));
            }
        }
    }
    TKavioDialogBase::showEvent(event);
}

void TKavioToolPropertyDialog::titleChanged()
{
    const bool entry = m_title->text() != QStringLiteral("-");
    for (QWidget* w : {static_cast<QWidget*>(m_file), static_cast<QWidget*>(m_browse),
                       static_cast<QWidget*>(m_arguments), static_cast<QWidget*>(m_addArgument)})
        w->setEnabled(entry);
}

void TKavioToolPropertyDialog::InsertSelectedPick()
{
    const QTreeWidgetItem* pick = m_values->currentItem();
    if (!pick || !m_arguments->isEnabled())
        return;
    const QString name = pick->data(0, Qt::UserRole).toString();
    const QString text = m_arguments->text();
    if (text.isEmpty()) {
        m_arguments->setText(name);
        return;
    }
    const int caret = m_arguments->cursorPosition();
    QString insert = name;
    if (caret > 0)
        insert.prepend(u' ');
    // A word put in front of other text keeps a space after it.
    if (caret < text.size() && !text[caret].isSpace())
        insert.append(u' ');
    m_arguments->setText(text.left(caret) + insert + text.mid(caret));
    m_arguments->setCursorPosition(caret + int(insert.size()));
}

void TKavioToolPropertyDialog::browse()
{
    const QString all = QStringLiteral("すべてのファイル(*)");
    QString selected = all;
    // Programs on this platform seldom carry an extension, so all files are offered first.
    const QString path = QFileDialog::getOpenFileName(
        this, QString(), m_file->text(),
        QStringLiteral("実行可能ファイル(*.bat *.exe *.com *.bif);;") + all, &selected);
    if (!path.isEmpty())
        m_file->setText(path);
}

void TKavioToolPropertyDialog::accept()
{
    QTreeWidgetItem* target = Tag() == 1 ? selectedRow() : nullptr;
    if (!target)
        target = new QTreeWidgetItem(&m_toolList);
    SetRow(*target, {m_title->text(), m_file->text(), TrimControls(m_arguments->text())});
    TKavioDialogBase::accept();
}

}  // namespace kavio::qt
