#include "dialogs/delete_book_dialog.h"

#include "config/app_settings.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kavio::qt {

TKavioDeleteCommandDialog::TKavioDeleteCommandDialog(int pageCount, const QString& firstBookTitle,
                                                     const TAppSettings& settings, QWidget* owner)
    : TKavioDialogBase(owner, TaskBarButtonFor(settings)),
      m_infoLabel(new QLabel(this)),
      m_choices(new QButtonGroup(this))
{
    setWindowTitle(QStringLiteral("ブックの削除"));
    m_infoLabel->setObjectName(QStringLiteral("InfoLabel"));
    m_infoLabel->setTextFormat(Qt::PlainText);
    m_infoLabel->setText(QStringLiteral("ブックを削除します。\n中に%1個のページがありますが、\n"
                                        "これらのページをどうしますか？")
                             .arg(pageCount));

    auto* group = new QGroupBox(QStringLiteral("削除時の動作(&C)"), this);
    group->setObjectName(QStringLiteral("DeleteCommand"));
    auto* groupLayout = new QVBoxLayout(group);
    // A title is shown as written: an "&" in it is no accelerator.
    const QString shownTitle = QString(firstBookTitle).replace(u'&', QStringLiteral("&&"));
    const QString captions[] = {
        QStringLiteral("全部削除する"),
        QStringLiteral("全部'%1'ブックに移動").arg(shownTitle),
        QStringLiteral("ブック削除のみ(ファイルはフォルダに残ります)"),
    };
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(captions[i], group);
        m_choices->addButton(radio, i);
        groupLayout->addWidget(radio);
    }
    SetDeleteCommand(static_cast<int>(TDeleteBookAction::dbDeletePages));

    QDialogButtonBox* buttons = OkCancelButtons(this, kHelpContext);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_infoLabel);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

int TKavioDeleteCommandDialog::DeleteCommand() const
{
    return m_choices->checkedId();
}

void TKavioDeleteCommandDialog::SetDeleteCommand(int item)
{
    if (QAbstractButton* button = m_choices->button(item))
        button->setChecked(true);
}

}  // namespace kavio::qt
