#include "dialogs/about_dialog.h"

#include "config/app_settings.h"
#include "controls/labels.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#ifndef KAVIO_VERSION
#error "KAVIO_VERSION is given by the build"
#endif

namespace kavio::qt {
namespace {

constexpr char kProductName[] = "Kavio";
constexpr char kLegalCopyright[] = "Copyright (C) Kavio developers";
// The maker's addresses; left empty, the about box shows neither.
constexpr char kMailAddress[] = "";
constexpr char kHomePage[] = "";

QString FirstLine(const QString& text)
{
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    return end < 0 ? text : text.left(end);
}

}  // namespace

TAboutInfo BuiltInAboutInfo()
{
    return {QString::fromUtf8(kProductName), QStringLiteral(KAVIO_VERSION),
            QString::fromUtf8(kLegalCopyright), QString::fromUtf8(kMailAddress),
            QString::fromUtf8(kHomePage)};
}

TKavioAbout::TKavioAbout(const TAppSettings& settings, QWidget* owner, const TAboutInfo& info)
    : TKavioDialogBase(owner, TaskBarButtonFor(settings)),
      m_productName(new QLabel(info.ProductName, this)),
      m_version(new QLabel(info.Version, this)),
      m_copyright(new QLabel(info.LegalCopyright, this)),
      m_mailCaption(new QLabel(QStringLiteral("メールアドレス:"), this)),
      m_mail(new TLinkLabel(this)),
      m_homePageCaption(new QLabel(QStringLiteral("Webページアドレス:"), this)),
      m_homePage(new TLinkLabel(this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this))
{
    setWindowTitle(QStringLiteral("バージョン情報"));
    SetAlphaValue(settings.AlphaValueSubForm);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Icon"));
    const QIcon appIcon = QApplication::windowIcon();
    if (appIcon.isNull())
        icon->hide();
    else
        icon->setPixmap(appIcon.pixmap(32, 32));

    m_productName->setObjectName(QStringLiteral("ProductName"));
    QFont bold = m_productName->font();
    bold.setBold(true);
    m_productName->setFont(bold);
    m_version->setObjectName(QStringLiteral("Version"));
    for (QLabel* label : {m_productName, m_version, m_copyright})
        label->setTextFormat(Qt::PlainText);

    m_mail->setObjectName(QStringLiteral("MailAddressLabel"));
    m_mail->SetLinkType(TLinkType::MailTo);
    m_mail->setText(FirstLine(info.MailAddress));
    m_homePage->setObjectName(QStringLiteral("HomePageLabel"));
    m_homePage->SetLinkType(TLinkType::HTTP);
    m_homePage->setText(FirstLine(info.HomePage));

    auto* description = new QLabel(
        QStringLiteral("　ちょっとしたメモをためておくソフトです。\n書いたものは自動保存されるので、\n"
                       "ちょっとしたメモに使ってください。\nご意見ご要望などは、メールか掲示板で。"),
        this);
    description->setTextFormat(Qt::PlainText);
    description->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    description->setMargin(6);

    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* head = new QVBoxLayout;
    head->addWidget(m_productName);
    head->addWidget(m_version);
    head->addWidget(m_copyright);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(head, 1);

    auto* links = new QGridLayout;
    links->addWidget(m_mailCaption, 0, 0);
    links->addWidget(m_mail, 0, 1);
    links->addWidget(m_homePageCaption, 1, 0);
    links->addWidget(m_homePage, 1, 1);
    // An address that is not there is hidden together with its caption.
    const bool mailShown = !m_mail->text().isEmpty();
    const bool homeShown = !m_homePage->text().isEmpty();
    m_mailCaption->setVisible(mailShown);
    m_mail->setVisible(mailShown);
    m_homePageCaption->setVisible(homeShown);
    m_homePage->setVisible(homeShown);

    auto* bottom = new QHBoxLayout;
    if (mailShown || homeShown) {
        bottom->addLayout(links);
        bottom->addStretch(1);
        bottom->addWidget(m_ok, 0, Qt::AlignBottom);
    } else {
        // Nothing beside the button: it stands in the middle.
        delete links;
        bottom->addStretch(1);
        bottom->addWidget(m_ok);
        bottom->addStretch(1);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(description);
    layout->addLayout(bottom);
}

}  // namespace kavio::qt
