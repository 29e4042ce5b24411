#include "dialogs/page_title_dialog.h"

#include "config/app_settings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kavio::qt {
namespace {

struct TEra {
    const char* Name;
    QDate Start;  // the first day of the era in the Western calendar
};

// The eras of the modern Japanese calendar with the days they began.
const TEra kEras[] = {
    {"令和", QDate(2019, 5, 1)},
    {"平成", QDate(1989, 1, 8)},
    {"昭和", QDate(1926, 12, 25)},
    {"大正", QDate(1912, 7, 30)},
    {"明治", QDate(1868, 1, 25)},
};

// The locale's long time without its time-zone part: a title keeps the clock only.
QString LongTimeWithoutZone(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        out += c;
    }
    return out.trimmed();
}

}  // namespace

TJapaneseEraDate JapaneseEra(QDate date)
{
    for (const TEra& era : kEras)
        if (date >= era.Start)
            return {QString::fromUtf8(era.Name), date.year() - era.Start.year() + 1};
    return {QString(), date.year()};
}

QStringList TitleDateItems(const QDateTime& now, const QLocale& locale)
{
    const QDate d = now.date();
    const QTime t = now.time();
    const TJapaneseEraDate era = JapaneseEra(d);
    const QString monthDay = QStringLiteral("%1月%2日").arg(d.month()).arg(d.day());
    const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    const QString designator = t.hour() < 12 ? locale.amText() : locale.pmText();
    return {
        QStringLiteral("%1/%2/%3").arg(d.year(), 4, 10, QChar(u'0')).arg(d.month(), 2, 10, QChar(u'0'))
            .arg(d.day(), 2, 10, QChar(u'0')),
        QStringLiteral("%1年").arg(d.year() % 100, 2, 10, QChar(u'0')) + monthDay,
        QStringLiteral("%1%2年").arg(era.Era).arg(era.Year) + monthDay,
        t.toString(QStringLiteral("HH:mm")),
        t.toString(QStringLiteral("HH:mm:ss")),
        QStringLiteral("%1時%2分").arg(t.hour()).arg(t.minute()),
        QStringLiteral("%1時%2分%3秒").arg(t.hour()).arg(t.minute()).arg(t.second()),
        QStringLiteral("%1 %2時%3分").arg(designator).arg(hour12).arg(t.minute()),
        locale.toString(d, QLocale::ShortFormat) + u' ' + locale.toString(t, LongTimeWithoutZone(locale)),
    };
}

TKavioPageTitleDlg::TKavioPageTitleDlg(const QString& kind, const QString& title,
                                       const TAppSettings& settings, QWidget* owner,
                                       const QDateTime& now, const QLocale& locale)
    : TKavioDialogBase(owner, TaskBarButtonFor(settings)),
      m_titleEditor(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("%1タイトル").arg(kind));
    SetAlphaValue(settings.AlphaValueSubForm);

    m_titleEditor->setObjectName(QStringLiteral("TitleEditor"));
    m_titleEditor->setEditable(true);
    m_titleEditor->setCompleter(nullptr);
    m_titleEditor->setInsertPolicy(QComboBox::NoInsert);
    m_titleEditor->setMinimumWidth(260);
    m_titleEditor->addItems(TitleDateItems(now, locale));
    SetTitle(title);

    auto* label = new QLabel(QStringLiteral("タイトルを設定してください。"), this);
    label->setBuddy(m_titleEditor);
    QDialogButtonBox* buttons = OkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_titleEditor);
    layout->addWidget(buttons);
}

QString TKavioPageTitleDlg::Title() const
{
    return m_titleEditor->currentText();
}

void TKavioPageTitleDlg::SetTitle(const QString& title)
{
    m_titleEditor->setEditText(title);
    m_titleEditor->lineEdit()->selectAll();
}

}  // namespace kavio::qt
