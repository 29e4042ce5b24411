#pragma once

#include "storage/memo_pad_port.h"

#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QFont>
#include <QStringList>

#include <array>
#include <functional>
#include <string_view>
#include <vector>

class QUrl;

namespace kavio::qt {

class MemoLexer;
class MemoRuler;

// How a token class is drawn: an invalid colour means "none", i.e. the editor's default.
struct TokenColor {
    QColor text;
    QColor back;
    int style = 0;  // bit 1 bold, bit 2 italic, bit 4 underline, bit 8 strike-out
    bool operator==(const TokenColor&) const = default;
};

// A visible mark of the editor (blanks, line ends, wrap flags, ...).
struct MarkSetting {
    bool visible = false;
    QColor color = QColor(128, 128, 128);
    bool operator==(const MarkSetting&) const = default;
};

// The memo pad: the plain-text editor in which a page is shown and edited.
//
// Inside, the text is UTF-8 with LF line ends (Scintilla positions are UTF-8 byte offsets). At
// the port and wherever the rest of the program counts bytes, the text is code-page (CP932)
// bytes with CR LF line ends: a "byte offset" is an offset into the lines joined with CR LF,
// counting a double-byte character as 2 and a line end as 2.
//
// The editor never holds a character the code page cannot encode: whatever enters it (typing,
// pasting, setting text) is passed through the code page, unencodable characters become "?",
// and unencodableReplaced() is raised. CR LF and lone CR in inserted text become LF.
//
// Logical lines vs. display rows: with word wrap one logical line may take several rows. Row
// marks are kept per logical line (they move with their lines through edits) and are visible on
// the first row of the line; RowMarkSet() of a continuation row is empty.
class TEditorExMain : public QsciScintilla, public MemoPadPort {
    Q_OBJECT
public:
    explicit TEditorExMain(QWidget* parent = nullptr);
    ~TEditorExMain() override;

    // MemoPadPort. An empty editor has no lines; text "a\n" has the two lines "a" and "".
    // A single empty line cannot be told from no text and reads back as no lines.
    void BeginUpdate() override;
    void EndUpdate() override;
    void Clear() override;
    Lines GetLines() const override;
    void SetLines(const Lines& lines) override;
    int LineCount() const override;
    int FirstRowOfLine(int line) const override;
    uint16_t RowMarkSet(int row) const override;
    void AddRowMark(int row, int mark) override;
    bool Modified() const override;
    void SetModified(bool modified) override;
    void RefreshStatus() override;
    void DoChange(const void* sender) override;

    // Lines and rows.
    std::string GetLine(int line) const;  // code-page bytes without the line end
    int LineOfRow(int row) const;
    int RowCount() const;
    void RemoveRowMark(int row, int mark);
    int RowAtPoint(const QPoint& viewportPoint) const;
    bool IsInLeftMargin(const QPoint& viewportPoint) const;

    // Caret. CaretRow is a display row, CaretLine the logical line holding it; CaretColumn is
    // the 0-based byte column of the caret within its display row.
    int CaretRow() const;
    int CaretLine() const;
    int CaretColumn() const;
    void SetCaretRow(int row);  // caret to the start of display row `row`

    // Code-page byte offsets (see the class comment) and Scintilla positions. Both directions
    // cost O(text before the position). An offset inside a double-byte character or between
    // CR and LF goes to the start of that character or of the line end; offsets past the end
    // give the end.
    int CpOffsetFromPosition(int position) const;
    int PositionFromCpOffset(int offset) const;

    // The whole text in bytes, each logical line with its CR LF (== JoinLines(GetLines()).size()).
    // Kept up to date on every change at the cost of the change.
    int ByteLength() const { return m_docBytes + (length() > 0 ? 2 : 0); }
    std::string TextCp() const;  // lines joined by CR LF, without one after the last

    // Selection in code-page byte offsets.
    int SelStart() const;
    int SelLength() const;
    void SetSelection(int start, int length);
    bool HasSelection() const { return hasSelectedText(); }
    std::string SelTextCp() const;                 // CR LF line ends
    void SetSelTextCp(const std::string& text);    // replaces the selection or inserts at the caret

    // Links: indicator kUrlIndicator marks URLs, kMailIndicator mail addresses (each in its own
    // token colour). They are re-scanned for the changed lines after each change.
    enum class LinkKind { None = 0, Url = 1, Mail = 2 };
    static constexpr int kUrlIndicator = 8;
    static constexpr int kMailIndicator = 9;
    LinkKind LinkKindAt(int position) const;
    QString LinkAt(int position) const;  // the token under `position`, empty if none
    // What opening a link does; QDesktopServices::openUrl unless replaced (tests).
    void SetUrlOpener(std::function<void(const QUrl&)> opener) { m_urlOpener = std::move(opener); }
    // Opens the link at `position` as the double click does; false when there is none.
    bool OpenLinkAt(int position);
    static QUrl UrlForLink(const QString& token, LinkKind kind);

    // Editor settings.
    bool ShowLineNumber() const { return m_showLineNumber; }
    void SetShowLineNumber(bool show);
    // The column ruler above the text area: a tick per column, a number every ten, and the
    // caret's column marked in RulerMarkColor. It scrolls with the text.
    bool ShowRuler() const { return m_showRuler; }
    void SetShowRuler(bool show);
    bool ShowImageBar() const { return m_showImageBar; }
    void SetShowImageBar(bool show);
    bool WordWrapEnabled() const { return m_wordWrap; }
    void SetWordWrapEnabled(bool on);
    // The wrap column is a pixel width of WrapByte half-width columns: half-width text wraps at
    // exactly WrapByte bytes; Scintilla may move a full-width character that ends exactly at the
    // column to the next row.
    int WrapByte() const { return m_wrapByte; }
    void SetWrapByte(int columns);
    bool EnglishWordWrap() const { return m_englishWordWrap; }
    void SetEnglishWordWrap(bool on);
    // Word wrap shows a guide line at the wrap column; without word wrap there is none.
    // Japanese line-breaking rules: stored for the settings; the editor does not apply them.
    bool ViewFormat = true;
    QString FollowStr;
    QString LeadStr;
    QString PunctuationStr;

    bool AutoIndentOn() const { return autoIndent(); }
    void SetAutoIndentOn(bool on);  // also backspace unindents
    bool FreeCaret() const { return m_freeCaret; }
    void SetFreeCaret(bool on);
    bool SoftTab() const { return m_softTab; }
    void SetSoftTab(bool on);  // also tab indents
    int TabSpaceCount() const { return tabWidth(); }
    void SetTabSpaceCount(int n) { setTabWidth(n); }
    bool LockScroll = false;  // stored only
    bool SelMove = false;     // stored only
    int CharacterSpan() const { return m_characterSpan; }
    void SetCharacterSpan(int pixels) { m_characterSpan = pixels; }  // stored; Scintilla has no letter spacing
    int LineSpan() const { return m_lineSpan; }
    void SetLineSpan(int pixels);

    // Visible marks, each shown in its colour while visible: DBSpace boxes full-width spaces;
    // Find marks the hits of FindString(); Paren the brace matching the one at the caret; Space
    // and Tab show blanks (Scintilla shows both kinds together, in the space colour when spaces
    // are shown); Eof writes "[EOF]" after the text; Ret shows line ends; Underline underlines
    // the caret's row; Wrap flags wrapped rows (in the blank colour while blanks are shown).
    // Hide (the wrap of very long lines) is stored only.
    enum class Mark { DBSpace, Find, Paren, Space, Tab, Eof, Hide, Ret, Underline, Wrap, Count };
    MarkSetting MarkAt(Mark mark) const { return m_marks[static_cast<int>(mark)]; }
    void SetMark(Mark mark, const MarkSetting& setting);

    // The highlight string: while the find mark is visible, every occurrence of it within a
    // line (letter case matters) is drawn in the hit colour. Re-marked as lines change.
    QString FindString() const { return m_findString; }
    void SetFindString(const QString& text);
    // How hits are drawn: the text colour (the find mark's colour when none) and a background
    // when one is given. The style is kept for the settings; indicators cannot change a font.
    TokenColor HitColor() const { return m_hit; }
    void SetHitColor(const TokenColor& color);

    enum class Token { Comment, Mail, Reserve, Str, Url, Count };
    TokenColor TokenColorAt(Token token) const { return m_tokens[static_cast<int>(token)]; }
    void SetTokenColor(Token token, const TokenColor& color);
    QString Commenter() const { return m_commenter; }
    void SetCommenter(const QString& text);
    QString Quotation() const { return m_quotation; }
    void SetQuotation(const QString& text);
    QStringList ReserveWordList() const { return m_reserveWords; }
    void SetReserveWordList(const QStringList& words);

    QFont EditorFont() const { return m_font; }
    void SetEditorFont(const QFont& font);
    QColor TextColor() const { return m_textColor; }
    void SetTextColor(const QColor& color);
    QColor PaperColor() const { return m_paperColor; }
    void SetPaperColor(const QColor& color);

    // Scheme colours. The bars are the line-number bar, the image bar and the ruler.
    QColor BarBackColor() const { return m_barBack; }
    QColor BarTextColor() const { return m_barText; }
    void SetBarColors(const QColor& back, const QColor& text);
    QColor RulerMarkColor() const { return m_rulerMark; }
    void SetRulerMarkColor(const QColor& color);
    // The caret's line on this background, with or without focus; an invalid colour: none.
    QColor CurrentLineColor() const { return m_currentLine; }
    void SetCurrentLineColor(const QColor& color);
    // Every second logical line (even line numbers) on this background; an invalid colour:
    // none. Only the lines in view are kept marked, so edits cost nothing beyond their lines.
    QColor EvenLineColor() const { return m_evenLine; }
    void SetEvenLineColor(const QColor& color);

    static constexpr int kDBSpaceIndicator = 10;
    static constexpr int kFindIndicator = 11;      // hit text colour
    static constexpr int kFindBackIndicator = 12;  // hit background
    static constexpr int kEvenLineMarker = 20;     // outside the 16 row marks

public slots:
    // Each raises one change notification for all it does.
    void undo() override;
    void redo() override;
    void cut() override;
    void paste() override;

signals:
    // Every text change, once at the end of an update that changed the text, and DoChange.
    void changed(const void* sender);
    void statusRefreshRequested();
    void unencodableReplaced();
    // A click in the image bar or the line numbers, with the logical line of the clicked row.
    void leftMarginClicked(int line);
    void aboveUrl(const QString& token);
    void leaveUrl();

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QByteArray fromMimeData(const QMimeData* source, bool& rectangular) const override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class MemoRuler;

    void onModified(int position, int type, const char* text, int length, int linesAdded);
    void fixUnencodable(int firstLine, int lastLine);
    QString ShownString(const QString& text);
    std::string ShownFromCp(const std::string& bytes);
    static std::string ShownText(std::string_view utf8, bool* lost);
    void rescanLinks(int firstLine, int lastLine);
    void markLines(int firstLine, int lastLine);
    void updateWrapMargin();
    void updateLineNumberMargin();
    void applyStyles();
    void applyMarks();
    void applyBarColors();
    void onUpdateUi();
    void refreshEvenLines();
    void placeRuler();
    void paintRuler(QWidget& ruler);
    double columnWidth() const;
    int textAreaLeft() const;  // viewport x where the text area begins
    QRect caretRowRect() const;
    QRect eofRect() const;
    void markChanged(int line, int linesAdded);
    void dropMarksOfDeletedLines(int position, int length);
    void flushPending();
    std::string textRange(int start, int end) const;
    void recountBytes();

    static int CpLength(const char* utf8, int length);

    MemoLexer* m_lexer = nullptr;
    std::function<void(const QUrl&)> m_urlOpener;
    int m_docBytes = 0;  // code-page bytes of the document, each LF counted as 2
    // The lines in the code page, kept beside the document so that reading the whole text after
    // a keystroke converts only the lines it changed. An entry is converted when first read
    // after its line changed (m_cpValid 0); edits insert and remove entries with their lines.
    mutable std::vector<std::string> m_cpLines;
    mutable std::vector<char> m_cpValid;
    void updateLineCache(int position, int linesAdded);
    void fillLineCache() const;
    int m_updateDepth = 0;
    // Change notifications wait until Scintilla has finished the modification (a handler may
    // edit the text again): they go out after the event that caused them, at the end of the
    // outermost update, or at the latest from the event loop.
    bool m_pendingChange = false;
    mutable bool m_pendingUnencodable = false;
    bool m_needsFix = false;  // text reached the document unfiltered
    bool m_fixing = false;
    bool m_flushQueued = false;
    int m_dirtyFirst = -1;  // lines whose links need a re-scan
    int m_dirtyLast = -1;
    bool m_forcedModified = false;
    QString m_hoverToken;
    int m_hoverStart = -1;
    int m_wheelRemainder = 0;
    bool m_linesChanged = false;  // the line count changed since the last flush
    int m_numberDigits = 0;       // digit columns of the line-number bar, 0 while hidden
    QRect m_underlineRect;        // where the current-line underline was last drawn
    QRect m_eofRect;              // where "[EOF]" was last drawn

    bool m_showLineNumber = false;
    bool m_showRuler = false;
    bool m_showImageBar = true;
    bool m_wordWrap = false;
    bool m_englishWordWrap = false;
    int m_wrapByte = 45;
    bool m_freeCaret = false;
    bool m_softTab = false;
    int m_characterSpan = 0;
    int m_lineSpan = 0;
    std::array<MarkSetting, static_cast<int>(Mark::Count)> m_marks{};
    std::array<TokenColor, static_cast<int>(Token::Count)> m_tokens{};
    QString m_commenter;
    QString m_quotation;
    QStringList m_reserveWords;
    QFont m_font;
    QColor m_textColor = Qt::black;
    QColor m_paperColor = Qt::white;
    QColor m_barBack = Qt::white;
    QColor m_barText = Qt::black;
    QColor m_rulerMark = QColor(0, 0, 128);
    QColor m_currentLine;
    QColor m_evenLine;
    QString m_findString;
    std::string m_findUtf8;
    TokenColor m_hit;
    MemoRuler* m_ruler = nullptr;
};

}  // namespace kavio::qt
