#pragma once

#include "dialogs/dialog_base.h"

class QButtonGroup;
class QLabel;

namespace kavio::qt {

// What becomes of the pages of a book that is deleted (the stored item numbers).
enum class TDeleteBookAction { dbDeletePages = 0, dbMoveToFirstBook = 1, dbBookOnly = 2 };

// Asks what to do with the pages of the book being deleted.
class TKavioDeleteCommandDialog : public TKavioDialogBase {
    Q_OBJECT
public:
    // `pageCount` is the number of pages in the open book, `firstBookTitle` the title of the
    // first book of the library, to which the pages can be moved.
    TKavioDeleteCommandDialog(int pageCount, const QString& firstBookTitle,
                              const TAppSettings& settings, QWidget* owner = nullptr);

    // The chosen item 0, 1 or 2 (TDeleteBookAction).
    int DeleteCommand() const;
    void SetDeleteCommand(int item);

    QLabel* InfoLabel() const { return m_infoLabel; }
    QButtonGroup* Choices() const { return m_choices; }

    static constexpr int kHelpContext = 35;

private:
    QLabel* m_infoLabel;
    QButtonGroup* m_choices;
};

}  // namespace kavio::qt
