#pragma once

#include "dialogs/dialog_base.h"

class QLabel;
class QPushButton;

namespace kavio::qt {

class TLinkLabel;

// What the about box tells: the program's name, version and legal notice, and where its maker
// can be reached. Each address is used up to its first line break.
struct TAboutInfo {
    QString ProductName;
    QString Version;
    QString LegalCopyright;
    QString MailAddress;  // without "mailto:"; empty: not shown
    QString HomePage;     // without "http://"; empty: not shown
};

// The values built into the program.
TAboutInfo BuiltInAboutInfo();

// The about box ("バージョン情報").
class TKavioAbout : public TKavioDialogBase {
    Q_OBJECT
public:
    explicit TKavioAbout(const TAppSettings& settings, QWidget* owner = nullptr,
                         const TAboutInfo& info = BuiltInAboutInfo());

    QLabel* ProductName() const { return m_productName; }
    QLabel* Version() const { return m_version; }
    QLabel* Copyright() const { return m_copyright; }
    TLinkLabel* MailAddressLabel() const { return m_mail; }
    TLinkLabel* HomePageLabel() const { return m_homePage; }
    QLabel* MailCaption() const { return m_mailCaption; }
    QLabel* HomePageCaption() const { return m_homePageCaption; }
    QPushButton* OkButton() const { return m_ok; }

private:
    QLabel* m_productName;
    QLabel* m_version;
    QLabel* m_copyright;
    QLabel* m_mailCaption;
    TLinkLabel* m_mail;
    QLabel* m_homePageCaption;
    TLinkLabel* m_homePage;
    QPushButton* m_ok;
};

}  // namespace kavio::qt
