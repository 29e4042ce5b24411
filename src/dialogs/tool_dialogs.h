#pragma once

#include "dialogs/dialog_base.h"

#include <QString>

#include <string>
#include <vector>

class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kavio::qt {

// One row of the tool table: the three fields of a line of the [Tools] section.
struct TToolRow {
    QString Title;
    QString Program;
    QString Arguments;

    // The line splits at its first TAB and the first "|" after it (single-byte characters
    // only). A line without TAB is all title; a rest without "|" is all program.
    static TToolRow FromLine(const std::string& line);
    // Title TAB program "|" arguments in code-page bytes; TAB and "|" are always written.
    std::string ToLine() const;

    bool operator==(const TToolRow&) const = default;
};

// The picks of the argument template: the word inserted and what it does.
struct TToolArgumentPick {
    QString Name;
    QString Explanation;
};
const std::vector<TToolArgumentPick>& ToolArgumentPicks();

// Lists the user tools of the settings file and adds, edits and removes them. Only OK writes:
// the whole [Tools] section is replaced by the table and the file is written. Cancel leaves
// the file as it was.
class TKavioToolPreferenceDialog : public TKavioDialogBase {
    Q_OBJECT
public:
    // Reads the table from `settingsFile` (code-page bytes); a missing file gives no rows.
    TKavioToolPreferenceDialog(std::string settingsFile, const TAppSettings& settings,
                               QWidget* owner = nullptr);

    QTreeWidget* ToolList() const { return m_toolList; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* EditButton() const { return m_edit; }
    QPushButton* RemoveButton() const { return m_remove; }

    std::vector<TToolRow> Rows() const;

    // Writes the table into the settings file, then closes. A failed write is shown and the
    // dialog stays open with its rows, so nothing typed is lost.
    void accept() override;

    static constexpr int kHelpContext = 84;

private:
    void updateButtons();
    void runProperty(int tag);
    void removeSelected();

    std::string m_settingsFile;
    QTreeWidget* m_toolList;
    QPushButton* m_add;
    QPushButton* m_edit;
    QPushButton* m_remove;
};

// Edits one row of the tool table. Tag 0 adds a row at the end of the table on OK; Tag 1 edits
// the table's selected row. A title of "-" makes a separator, which needs neither program nor
// arguments.
class TKavioToolPropertyDialog : public TKavioDialogBase {
    Q_OBJECT
public:
    // Always over the tool list dialog, so never with a task-bar button of its own.
    explicit TKavioToolPropertyDialog(QTreeWidget& toolList, QWidget* owner = nullptr);

    QLineEdit* ToolTitle() const { return m_title; }
    QLineEdit* ToolFile() const { return m_file; }
    QToolButton* BrowseButton() const { return m_browse; }
    QLineEdit* Arguments() const { return m_arguments; }
    QTreeWidget* ValueList() const { return m_values; }
    QPushButton* AddArgument() const { return m_addArgument; }

    // Puts the selected pick's word into the arguments at the caret, one space apart from the
    // text before it.
    void InsertSelectedPick();

    // Stores the fields into the table, the arguments without leading and trailing blanks and
    // control characters.
    void accept() override;

    static constexpr int kHelpContext = 85;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void titleChanged();
    void browse();
    QTreeWidgetItem* selectedRow() const;

    QTreeWidget& m_toolList;
    QLineEdit* m_title;
    QLineEdit* m_file;
    QToolButton* m_browse;
    QLineEdit* m_arguments;
    QTreeWidget* m_values;
    QPushButton* m_addArgument;
    bool m_filled = false;
};

}  // namespace kavio::qt
