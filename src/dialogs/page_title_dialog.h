#pragma once

#include "dialogs/dialog_base.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QStringList>

class QComboBox;

namespace kavio::qt {

// A date in the Japanese calendar: the era's name and the year counted in it (1 for the year the
// era began). Dates before the first era of the table keep the Western year and no era name.
struct TJapaneseEraDate {
    QString Era;
    int Year = 0;
};
TJapaneseEraDate JapaneseEra(QDate date);

// The nine date and time texts the title field offers, in order:
//   2004/03/05, 04年3月5日, 平成16年3月5日, 09:07, 09:07:02, 9時7分, 9時7分2秒, 午前 9時7分,
//   and the locale's short date with its long time (without a time zone).
QStringList TitleDateItems(const QDateTime& now, const QLocale& locale);

// Asks for the title of a page or a book. The field offers the date and time texts of the
// moment the dialog is made; the user picks one or types any text.
class TKavioPageTitleDlg : public TKavioDialogBase {
    Q_OBJECT
public:
    // `kind` is "ページ" or "ブック" and makes the caption "%sタイトル".
    TKavioPageTitleDlg(const QString& kind, const QString& title, const TAppSettings& settings,
                       QWidget* owner = nullptr, const QDateTime& now = QDateTime::currentDateTime(),
                       const QLocale& locale = QLocale());

    QString Title() const;
    void SetTitle(const QString& title);
    QComboBox* TitleEditor() const { return m_titleEditor; }

private:
    QComboBox* m_titleEditor;
};

}  // namespace kavio::qt
