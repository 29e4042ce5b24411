#include "controls/memo_pad.h"

#include "base/codepage.h"

#include <Qsci/qscilexercustom.h>

#include <QDesktopServices>
#include <QFontMetrics>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <string_view>

namespace kavio::qt {

namespace {

constexpr int kImageBarMargin = 0;
constexpr int kNumberMargin = 1;
constexpr int kImageBarWidth = 12;
constexpr int kRulerHeight = 16;
constexpr int kRulerFontPixels = 9;
constexpr int kMinNumberDigits = 3;
const char kFullWidthSpace[] = "\xE3\x80\x80";  // U+3000 in UTF-8

int Utf8CharLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

// Code-page bytes of one UTF-8 character (the editor holds only encodable characters).
int CpCharLength(std::string_view utf8Char)
{
    if (static_cast<unsigned char>(utf8Char[0]) < 0x80)
        return 1;
    return static_cast<int>(cp932::FromUtf8(utf8Char).bytes.size());
}

std::string LfToCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

QImage MarkImage(const QColor& fill, const QString& glyph)
{
    QImage image(kImageBarWidth, kImageBarWidth, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(fill.darker(140));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 10, 10), 2.5, 2.5);
    QFont font;
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 11, 11), Qt::AlignCenter, glyph);
    return image;
}

bool IsWordByte(char c)
{
    auto u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_';
}

}  // namespace

// Token colouring: comments from the comment-start text to the line end, strings between two
// quotation characters on one line, reserved words as whole words. Restyles from line starts.
class MemoLexer : public QsciLexerCustom {
public:
    // Line ends have a style of their own: Scintilla draws the visible line-end mark in it.
    enum Style { Default = 0, Comment = 1, Str = 2, Reserve = 3, Eol = 4 };

    explicit MemoLexer(QObject* parent) : QsciLexerCustom(parent) {}

    const char* language() const override { return "Memo"; }
    QString description(int style) const override
    {
        switch (style) {
        case Default: return QStringLiteral("Default");
        case Comment: return QStringLiteral("Comment");
        case Str: return QStringLiteral("String");
        case Reserve: return QStringLiteral("Reserved word");
        case Eol: return QStringLiteral("Line end");
        }
        return {};
    }

    void styleText(int start, int end) override
    {
        QsciScintilla* ed = editor();
        if (!ed || end <= start)
            return;
        int line = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
        start = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line));
        std::string text(end - start + 1, '\0');
        ed->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, start, end, text.data());
        text.resize(end - start);

        startStyling(start);
        m_runStyle = Default;
        m_runLength = 0;
        size_t lineStart = 0;
        while (lineStart <= text.size()) {
            size_t lineEnd = text.find('\n', lineStart);
            if (lineEnd == std::string::npos)
                lineEnd = text.size();
            styleLine(std::string_view(text).substr(lineStart, lineEnd - lineStart));
            if (lineEnd < text.size())
                emitRun(Eol, 1);
            lineStart = lineEnd + 1;
        }
        flushRun();
    }

    std::string commenter;
    std::string quotation;
    std::vector<std::string> words;

private:
    void styleLine(std::string_view s)
    {
        size_t i = 0;
        while (i < s.size()) {
            if (!commenter.empty() && s.substr(i).starts_with(commenter)) {
                emitRun(Comment, static_cast<int>(s.size() - i));
                return;
            }
            if (!quotation.empty() && s.substr(i).starts_with(quotation)) {
                size_t close = s.find(quotation, i + quotation.size());
                size_t stop = close == std::string_view::npos ? s.size() : close + quotation.size();
                emitRun(Str, static_cast<int>(stop - i));
                i = stop;
                continue;
            }
            if (size_t n = reservedWordAt(s, i)) {
                emitRun(Reserve, static_cast<int>(n));
                i += n;
                continue;
            }
            int n = std::min<int>(Utf8CharLength(static_cast<unsigned char>(s[i])),
                                  static_cast<int>(s.size() - i));
            emitRun(Default, n);
            i += n;
        }
    }

    size_t reservedWordAt(std::string_view s, size_t i) const
    {
        for (const std::string& word : words) {
            if (word.empty() || !s.substr(i).starts_with(word))
                continue;
            bool startOk = i == 0 || !IsWordByte(s[i - 1]) || !IsWordByte(word.front());
            size_t end = i + word.size();
            bool endOk = end == s.size() || !IsWordByte(s[end]) || !IsWordByte(word.back());
            if (startOk && endOk)
                return word.size();
        }
        return 0;
    }

    void emitRun(int style, int length)
    {
        if (style != m_runStyle)
            flushRun();
        m_runStyle = style;
        m_runLength += length;
    }
    void flushRun()
    {
        if (m_runLength > 0)
            setStyling(m_runLength, m_runStyle);
        m_runLength = 0;
    }

    int m_runStyle = Default;
    int m_runLength = 0;
};

// The ruler strip above the viewport; the editor paints it.
class MemoRuler : public QWidget {
public:
    explicit MemoRuler(TEditorExMain* editor) : QWidget(editor), m_editor(editor)
    {
        setObjectName(QStringLiteral("ruler"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override { m_editor->paintRuler(*this); }

private:
    TEditorExMain* m_editor;
};

TEditorExMain::TEditorExMain(QWidget* parent)
    : QsciScintilla(parent),
      m_urlOpener([](const QUrl& url) { QDesktopServices::openUrl(url); })
{
    setUtf8(true);
    setEolMode(EolUnix);
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1);
    setTabWidth(2);
    FollowStr = QString::fromUtf8("、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ");
    LeadStr = QString::fromUtf8("（［｛「『([{｢");
    PunctuationStr = QString::fromUtf8("、。，．,.｡､");

    m_font = QFont(QStringLiteral("Noto Sans Mono CJK JP"), 10);
    m_font.setStyleHint(QFont::Monospace);
    m_lexer = new MemoLexer(this);
    setLexer(m_lexer);

    // Image bar (row marks) left of the line numbers; no fold margin.
    setMarginType(kImageBarMargin, SymbolMargin);
    setMarginWidth(kImageBarMargin, kImageBarWidth);
    setMarginMarkerMask(kImageBarMargin, (1 << kMarkSuspended) | (1 << kMarkFinished));
    setMarginSensitivity(kImageBarMargin, true);
    setMarginType(kNumberMargin, NumberMargin);
    setMarginMarkerMask(kNumberMargin, 0);
    setMarginSensitivity(kNumberMargin, true);
    setMarginWidth(kNumberMargin, 0);
    setMarginWidth(2, 0);
    setMarginMarkerMask(2, 0);
    markerDefine(MarkImage(QColor(230, 150, 20), QString::fromUtf8("保")), kMarkSuspended);
    markerDefine(MarkImage(QColor(40, 150, 70), QString::fromUtf8("済")), kMarkFinished);

    for (int indicator : {kUrlIndicator, kMailIndicator}) {
        indicatorDefine(TextColorIndicator, indicator);
        setIndicatorHoverStyle(PlainIndicator, indicator);
    }
    m_tokens[static_cast<int>(Token::Url)].text = QColor(0, 0, 255);
    m_tokens[static_cast<int>(Token::Mail)].text = QColor(0, 0, 255);
    SendScintilla(SCI_INDICSETUNDER, kFindBackIndicator, 1L);
    SendScintilla(SCI_INDICSETOUTLINEALPHA, kFindBackIndicator, 255L);
    markerDefine(Background, kEvenLineMarker);

    m_ruler = new MemoRuler(this);
    m_ruler->hide();

    SendScintilla(SCI_SETCARETLINEVISIBLEALWAYS, 1);
    applyStyles();
    applyMarks();

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char* text, int length, int linesAdded, int, int,
                   int, int, int) { onModified(position, type, text, length, linesAdded); });
    connect(this, &QsciScintilla::marginClicked, this,
            [this](int, int line, Qt::KeyboardModifiers) { emit leftMarginClicked(line); });
    connect(this, &QsciScintillaBase::SCN_DOUBLECLICK, this,
            [this](int position, int, int) { OpenLinkAt(position); });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { onUpdateUi(); });
}

TEditorExMain::~TEditorExMain() = default;

// --- Changes -----------------------------------------------------------------------------

void TEditorExMain::onModified(int position, int type, const char* text, int length, int linesAdded)
{
    if (type & SC_MOD_BEFOREDELETE) {
        dropMarksOfDeletedLines(position, length);
        return;
    }
    if (!(type & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)))
        return;
    updateLineCache(position, linesAdded);
    if (text) {
        int bytes = CpLength(text, length);
        m_docBytes += (type & SC_MOD_INSERTTEXT) ? bytes : -bytes;
    } else {
        recountBytes();
    }
    if (m_fixing)
        return;
    // Undo and redo bring back what was there; correcting it again would trap undo in a loop.
    if ((type & SC_MOD_INSERTTEXT) && !(type & (SC_PERFORMED_UNDO | SC_PERFORMED_REDO)) && text &&
        ShownText(std::string_view(text, length), nullptr) != std::string_view(text, length))
        m_needsFix = true;
    if (linesAdded != 0)
        m_linesChanged = true;
    markChanged(static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, position)), linesAdded);
}

// What the editor shows of `utf8`: the characters the code page holds ("?" for the others) with
// LF line ends. `lost` is set when a character had to be replaced.
std::string TEditorExMain::ShownText(std::string_view utf8, bool* lost)
{
    bool plain = std::all_of(utf8.begin(), utf8.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80 && c != '\r';
    });
    if (plain)
        return std::string(utf8);
    std::string normalized;
    normalized.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != '\r') {
            normalized += utf8[i];
            continue;
        }
        normalized += '\n';
        if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
            ++i;
    }
    cp932::EncodeResult encoded = cp932::FromUtf8(normalized);
    if (!encoded.ok() && lost)
        *lost = true;
    return cp932::ToUtf8(encoded.bytes);
}

// Text that reached the document without passing an input filter (a raw QsciScintilla call)
// is corrected in place, character by character, so that line marks stay where they are.
void TEditorExMain::fixUnencodable(int firstLine, int lastLine)
{
    int start = static_cast<int>(SendScintilla(SCI_POSITIONFROMLINE, firstLine));
    int end = lastLine + 1 < lines() ? static_cast<int>(SendScintilla(SCI_POSITIONFROMLINE, lastLine + 1))
                                     : length();
    std::string text = textRange(start, end);
    struct Edit {
        int position;
        int length;
        std::string text;
    };
    std::vector<Edit> edits;
    bool lost = false;
    for (size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            bool crlf = i + 1 < text.size() && text[i + 1] == '\n';
            edits.push_back({start + static_cast<int>(i), 1, crlf ? "" : "\n"});
            ++i;
            continue;
        }
        int n = std::min<int>(Utf8CharLength(c), static_cast<int>(text.size() - i));
        if (c >= 0x80) {
            std::string_view ch = std::string_view(text).substr(i, n);
            std::string shown = ShownText(ch, &lost);
            if (shown != ch)
                edits.push_back({start + static_cast<int>(i), n, shown});
        }
        i += n;
    }
    if (edits.empty())
        return;
    m_fixing = true;
    SendScintilla(SCI_BEGINUNDOACTION);
    for (auto it = edits.rbegin(); it != edits.rend(); ++it) {
        SendScintilla(SCI_SETTARGETRANGE, it->position, it->position + it->length);
        SendScintilla(SCI_REPLACETARGET, it->text.size(), it->text.c_str());
    }
    SendScintilla(SCI_ENDUNDOACTION);
    m_fixing = false;
    if (lost)
        m_pendingUnencodable = true;
}

// Scintilla merges the marks of deleted lines into a neighbour; a deleted line's mark must go
// with it instead. Deleting from a line start to a line start removes whole lines; otherwise
// the first line survives and the lines joined to it lose their marks.
void TEditorExMain::dropMarksOfDeletedLines(int position, int length)
{
    int first = static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, position));
    int last = static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, position + length));
    if (last == first)
        return;
    bool fromLineStart = SendScintilla(SCI_POSITIONFROMLINE, first) == position;
    bool toLineStart = SendScintilla(SCI_POSITIONFROMLINE, last) == position + length;
    if (fromLineStart && toLineStart)
        --last;
    else
        ++first;
    for (int line = first; line <= last; ++line)
        SendScintilla(SCI_MARKERDELETE, line, -1);
}

void TEditorExMain::markChanged(int line, int linesAdded)
{
    if (m_dirtyFirst < 0) {
        m_dirtyFirst = line;
        m_dirtyLast = line + std::max(linesAdded, 0);
    } else {
        if (m_dirtyLast > line)
            m_dirtyLast = std::max(m_dirtyLast + linesAdded, line);
        m_dirtyFirst = std::min(m_dirtyFirst, line);
        m_dirtyLast = std::max(m_dirtyLast, line + std::max(linesAdded, 0));
    }
    m_pendingChange = true;
    if (!m_flushQueued) {
        m_flushQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_flushQueued = false;
            flushPending();
        });
    }
}

void TEditorExMain::flushPending()
{
    if (m_updateDepth > 0)
        return;
    if (m_dirtyFirst >= 0) {
        int last = std::min(m_dirtyLast, lines() - 1);
        int first = std::min(m_dirtyFirst, last);
        m_dirtyFirst = m_dirtyLast = -1;
        if (m_needsFix) {
            m_needsFix = false;
            fixUnencodable(first, last);
        }
        rescanLinks(first, last);
        markLines(first, last);
    }
    if (m_linesChanged) {
        m_linesChanged = false;
        updateLineNumberMargin();
        refreshEvenLines();
    }
    if (m_pendingUnencodable) {
        m_pendingUnencodable = false;
        emit unencodableReplaced();
    }
    if (m_pendingChange) {
        m_pendingChange = false;
        emit changed(this);
    }
}

bool TEditorExMain::event(QEvent* event)
{
    bool result = QsciScintilla::event(event);
    flushPending();
    return result;
}

bool TEditorExMain::viewportEvent(QEvent* event)
{
    bool result = QsciScintilla::viewportEvent(event);
    if (event->type() == QEvent::Resize)
        placeRuler();
    flushPending();
    return result;
}

void TEditorExMain::keyPressEvent(QKeyEvent* event)
{
    QString shown = ShownString(event->text());
    if (shown == event->text()) {
        QsciScintilla::keyPressEvent(event);
        return;
    }
    QKeyEvent filtered(event->type(), event->key(), event->modifiers(), shown,
                       event->isAutoRepeat(), event->count());
    QsciScintilla::keyPressEvent(&filtered);
    event->setAccepted(filtered.isAccepted());
}

void TEditorExMain::inputMethodEvent(QInputMethodEvent* event)
{
    QString shown = ShownString(event->commitString());
    if (shown == event->commitString()) {
        QsciScintilla::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(shown, event->replacementStart(), event->replacementLength());
    QsciScintilla::inputMethodEvent(&filtered);
    event->setAccepted(filtered.isAccepted());
}

// Paste and drop.
QByteArray TEditorExMain::fromMimeData(const QMimeData* source, bool& rectangular) const
{
    QByteArray utf8 = QsciScintilla::fromMimeData(source, rectangular);
    bool lost = false;
    std::string shown = ShownText(std::string_view(utf8.constData(), utf8.size()), &lost);
    if (lost)
        m_pendingUnencodable = true;
    return QByteArray::fromStdString(shown);
}

QString TEditorExMain::ShownString(const QString& text)
{
    bool lost = false;
    QByteArray utf8 = text.toUtf8();
    std::string shown = ShownText(std::string_view(utf8.constData(), utf8.size()), &lost);
    if (lost)
        m_pendingUnencodable = true;
    return QString::fromStdString(shown);
}

void TEditorExMain::BeginUpdate()
{
    if (m_updateDepth++ == 0)
        viewport()->setUpdatesEnabled(false);
}

void TEditorExMain::EndUpdate()
{
    if (m_updateDepth == 0 || --m_updateDepth > 0)
        return;
    viewport()->setUpdatesEnabled(true);
    viewport()->update();
    flushPending();
}

void TEditorExMain::DoChange(const void* sender)
{
    emit changed(sender);
}

void TEditorExMain::RefreshStatus()
{
    emit statusRefreshRequested();
}

void TEditorExMain::undo()
{
    BeginUpdate();
    QsciScintilla::undo();
    EndUpdate();
}

void TEditorExMain::redo()
{
    BeginUpdate();
    QsciScintilla::redo();
    EndUpdate();
}

void TEditorExMain::cut()
{
    BeginUpdate();
    QsciScintilla::cut();
    EndUpdate();
}

void TEditorExMain::paste()
{
    BeginUpdate();
    QsciScintilla::paste();
    EndUpdate();
}

// --- Text --------------------------------------------------------------------------------

int TEditorExMain::CpLength(const char* utf8, int length)
{
    std::string_view text(utf8, length);
    bool ascii = true;
    int lineEnds = 0;
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            ascii = false;
        else if (c == '\n')
            ++lineEnds;
    }
    int bytes = ascii ? length : static_cast<int>(cp932::FromUtf8(text).bytes.size());
    return bytes + lineEnds;
}

void TEditorExMain::recountBytes()
{
    std::string all = textRange(0, length());
    m_docBytes = CpLength(all.data(), static_cast<int>(all.size()));
}

// Code-page bytes the code page does not define arrive as U+FFFD and are shown as "?".
std::string TEditorExMain::ShownFromCp(const std::string& bytes)
{
    bool lost = false;
    std::string utf8 = cp932::ToUtf8(bytes);
    std::string shown = ShownText(utf8, &lost);
    if (lost)
        m_pendingUnencodable = true;
    return shown;
}

std::string TEditorExMain::textRange(int start, int end) const
{
    if (end <= start)
        return {};
    std::string text(end - start + 1, '\0');
    SendScintilla(SCI_GETTEXTRANGE, start, end, text.data());
    text.resize(end - start);
    return text;
}

void TEditorExMain::Clear()
{
    SetLines({});
}

// The line that changed and the lines an edit added or removed after it.
void TEditorExMain::updateLineCache(int position, int linesAdded)
{
    const int line = static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, position));
    const int count = static_cast<int>(m_cpLines.size());
    if (count == 0 || line >= count || count + linesAdded != lines()) {
        // Nothing cached yet, or out of step: everything is converted at the next read.
        m_cpLines.clear();
        m_cpValid.clear();
        return;
    }
    m_cpValid[line] = 0;
    if (linesAdded > 0) {
        m_cpLines.insert(m_cpLines.begin() + line + 1, linesAdded, std::string());
        m_cpValid.insert(m_cpValid.begin() + line + 1, linesAdded, 0);
    } else if (linesAdded < 0) {
        const int removed = std::min(-linesAdded, count - line - 1);
        m_cpLines.erase(m_cpLines.begin() + line + 1, m_cpLines.begin() + line + 1 + removed);
        m_cpValid.erase(m_cpValid.begin() + line + 1, m_cpValid.begin() + line + 1 + removed);
    }
}

// Converts the lines that changed since they were last read; with no cache, the whole text in
// one run.
void TEditorExMain::fillLineCache() const
{
    const int count = lines();
    if (static_cast<int>(m_cpLines.size()) != count) {
        const std::string bytes = cp932::FromUtf8(textRange(0, length())).bytes;
        m_cpLines.clear();
        m_cpLines.reserve(count);
        size_t start = 0;
        for (;;) {
            const size_t end = bytes.find('\n', start);  // never a second byte in the code page
            if (end == std::string::npos) {
                m_cpLines.push_back(bytes.substr(start));
                break;
            }
            m_cpLines.push_back(bytes.substr(start, end - start));
            start = end + 1;
        }
        m_cpValid.assign(m_cpLines.size(), 1);
        return;
    }
    for (int i = 0; i < count; ++i) {
        if (m_cpValid[i])
            continue;
        const int start = static_cast<int>(SendScintilla(SCI_POSITIONFROMLINE, i));
        const int end = static_cast<int>(SendScintilla(SCI_GETLINEENDPOSITION, i));
        m_cpLines[i] = cp932::FromUtf8(textRange(start, end)).bytes;
        m_cpValid[i] = 1;
    }
}

Lines TEditorExMain::GetLines() const
{
    if (length() == 0)
        return {};
    fillLineCache();
    return m_cpLines;
}

void TEditorExMain::SetLines(const Lines& lines)
{
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            joined += '\n';
        joined += lines[i];
    }
    BeginUpdate();
    SendScintilla(SCI_MARKERDELETEALL, -1);
    SendScintilla(SCI_SETTEXT, 0UL, ShownFromCp(joined).c_str());
    // Deleting the old text merges its marks into line 0.
    SendScintilla(SCI_MARKERDELETEALL, -1);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    m_dirtyFirst = 0;
    m_dirtyLast = std::max(0, QsciScintilla::lines() - 1);
    EndUpdate();
}

std::string TEditorExMain::GetLine(int line) const
{
    if (line < 0 || line >= LineCount())
        return {};
    int start = static_cast<int>(SendScintilla(SCI_POSITIONFROMLINE, line));
    int end = static_cast<int>(SendScintilla(SCI_GETLINEENDPOSITION, line));
    return cp932::FromUtf8(textRange(start, end)).bytes;
}

int TEditorExMain::LineCount() const
{
    return length() == 0 ? 0 : lines();
}

std::string TEditorExMain::TextCp() const
{
    if (length() == 0)
        return {};
    fillLineCache();
    std::string text;
    text.reserve(static_cast<size_t>(m_docBytes));
    for (size_t i = 0; i < m_cpLines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += m_cpLines[i];
    }
    return text;
}

// --- Rows and marks ----------------------------------------------------------------------

int TEditorExMain::FirstRowOfLine(int line) const
{
    return static_cast<int>(SendScintilla(SCI_VISIBLEFROMDOCLINE, line));
}

int TEditorExMain::LineOfRow(int row) const
{
    return static_cast<int>(SendScintilla(SCI_DOCLINEFROMVISIBLE, row));
}

int TEditorExMain::RowCount() const
{
    int last = lines() - 1;
    return FirstRowOfLine(last) + static_cast<int>(SendScintilla(SCI_WRAPCOUNT, last));
}

uint16_t TEditorExMain::RowMarkSet(int row) const
{
    int line = LineOfRow(row);
    if (row < 0 || line >= LineCount() || FirstRowOfLine(line) != row)
        return 0;
    return static_cast<uint16_t>(SendScintilla(SCI_MARKERGET, line) & 0xFFFF);
}

void TEditorExMain::AddRowMark(int row, int mark)
{
    if (mark < 0 || mark > 15 || row < 0)
        return;
    int line = LineOfRow(row);
    if (line >= LineCount() || (line == 0 && LineCount() == 0))
        return;
    if (!(RowMarkSet(FirstRowOfLine(line)) & (1 << mark)))
        SendScintilla(SCI_MARKERADD, line, mark);
}

void TEditorExMain::RemoveRowMark(int row, int mark)
{
    if (mark < 0 || mark > 15 || row < 0)
        return;
    SendScintilla(SCI_MARKERDELETE, LineOfRow(row), mark);
}

int TEditorExMain::RowAtPoint(const QPoint& viewportPoint) const
{
    int height = static_cast<int>(SendScintilla(SCI_TEXTHEIGHT, 0));
    int first = static_cast<int>(SendScintilla(SCI_GETFIRSTVISIBLELINE));
    return first + (height > 0 ? std::max(0, viewportPoint.y()) / height : 0);
}

bool TEditorExMain::IsInLeftMargin(const QPoint& viewportPoint) const
{
    int width = static_cast<int>(SendScintilla(SCI_GETMARGINLEFT));
    for (int margin = 0; margin < 5; ++margin)
        width += static_cast<int>(SendScintilla(SCI_GETMARGINWIDTHN, margin));
    return viewportPoint.x() >= 0 && viewportPoint.x() < width;
}

bool TEditorExMain::Modified() const
{
    return m_forcedModified || isModified();
}

void TEditorExMain::SetModified(bool modified)
{
    m_forcedModified = modified;
    if (!modified)
        setModified(false);
}

// --- Caret and offsets -------------------------------------------------------------------

int TEditorExMain::CaretLine() const
{
    return static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, SendScintilla(SCI_GETCURRENTPOS)));
}

int TEditorExMain::CaretRow() const
{
    int pos = static_cast<int>(SendScintilla(SCI_GETCURRENTPOS));
    int line = CaretLine();
    int row = FirstRowOfLine(line);
    if (!m_wordWrap)
        return row;
    int lineStart = static_cast<int>(SendScintilla(SCI_POSITIONFROMLINE, line));
    int height = static_cast<int>(SendScintilla(SCI_TEXTHEIGHT, line));
    int dy = static_cast<int>(SendScintilla(SCI_POINTYFROMPOSITION, 0, pos) -
                              SendScintilla(SCI_POINTYFROMPOSITION, 0, lineStart));
    return row + (height > 0 ? dy / height : 0);
}

int TEditorExMain::CaretColumn() const
{
    int pos = static_cast<int>(SendScintilla(SCI_GETCURRENTPOS));
    int lineStart = static_cast<int>(SendScintilla(SCI_POSITIONFROMLINE, CaretLine()));
    int rowStart = lineStart;
    if (m_wordWrap && pos > lineStart) {
        long x = SendScintilla(SCI_POINTXFROMPOSITION, 0, lineStart);
        long y = SendScintilla(SCI_POINTYFROMPOSITION, 0, pos);
        rowStart = std::clamp(static_cast<int>(SendScintilla(SCI_POSITIONFROMPOINT, x, y)),
                              lineStart, pos);
    }
    std::string text = textRange(rowStart, pos);
    return CpLength(text.data(), static_cast<int>(text.size()));
}

void TEditorExMain::SetCaretRow(int row)
{
    int line = LineOfRow(row);
    int pos = static_cast<int>(SendScintilla(SCI_POSITIONFROMLINE, line));
    int sub = row - FirstRowOfLine(line);
    if (sub > 0) {
        int height = static_cast<int>(SendScintilla(SCI_TEXTHEIGHT, line));
        long x = SendScintilla(SCI_POINTXFROMPOSITION, 0, pos);
        long y = SendScintilla(SCI_POINTYFROMPOSITION, 0, pos) + sub * height;
        pos = static_cast<int>(SendScintilla(SCI_POSITIONFROMPOINT, x, y));
    }
    SendScintilla(SCI_GOTOPOS, pos);
}

int TEditorExMain::CpOffsetFromPosition(int position) const
{
    position = std::clamp(position, 0, length());
    std::string before = textRange(0, position);
    return CpLength(before.data(), static_cast<int>(before.size()));
}

int TEditorExMain::PositionFromCpOffset(int offset) const
{
    int remaining = offset;
    int lineCount = lines();
    for (int line = 0; line < lineCount; ++line) {
        int start = static_cast<int>(SendScintilla(SCI_POSITIONFROMLINE, line));
        int end = static_cast<int>(SendScintilla(SCI_GETLINEENDPOSITION, line));
        std::string text = textRange(start, end);
        size_t i = 0;
        while (i < text.size()) {
            if (remaining <= 0)
                return start + static_cast<int>(i);
            int n = std::min<int>(Utf8CharLength(static_cast<unsigned char>(text[i])),
                                  static_cast<int>(text.size() - i));
            int bytes = CpCharLength(std::string_view(text).substr(i, n));
            if (remaining < bytes)
                return start + static_cast<int>(i);
            remaining -= bytes;
            i += n;
        }
        if (remaining < 2 || line == lineCount - 1)
            return end;
        remaining -= 2;
    }
    return length();
}

int TEditorExMain::SelStart() const
{
    return CpOffsetFromPosition(static_cast<int>(SendScintilla(SCI_GETSELECTIONSTART)));
}

int TEditorExMain::SelLength() const
{
    int start = static_cast<int>(SendScintilla(SCI_GETSELECTIONSTART));
    int end = static_cast<int>(SendScintilla(SCI_GETSELECTIONEND));
    std::string text = textRange(start, end);
    return CpLength(text.data(), static_cast<int>(text.size()));
}

void TEditorExMain::SetSelection(int start, int length)
{
    int anchor = PositionFromCpOffset(start);
    int caret = PositionFromCpOffset(start + std::max(length, 0));
    SendScintilla(SCI_SETSEL, anchor, caret);
}

std::string TEditorExMain::SelTextCp() const
{
    int start = static_cast<int>(SendScintilla(SCI_GETSELECTIONSTART));
    int end = static_cast<int>(SendScintilla(SCI_GETSELECTIONEND));
    return LfToCrLf(cp932::FromUtf8(textRange(start, end)).bytes);
}

void TEditorExMain::SetSelTextCp(const std::string& text)
{
    BeginUpdate();
    SendScintilla(SCI_REPLACESEL, 0UL, ShownFromCp(text).c_str());
    EndUpdate();
}

// --- Links -------------------------------------------------------------------------------

void TEditorExMain::rescanLinks(int firstLine, int lastLine)
{
    static const QRegularExpression link(
        QStringLiteral("((?:https?://|ftp://|www\\.)[A-Za-z0-9\\-._~:/?#\\[\\]@!$&'()*+,;=%]+)"
                       "|((?:mailto:)?[A-Za-z0-9._%+\\-]+@[A-Za-z0-9\\-]+(?:\\.[A-Za-z0-9\\-]+)+)"));
    for (int line = firstLine; line <= lastLine; ++line) {
        int start = static_cast<int>(SendScintilla(SCI_POSITIONFROMLINE, line));
        int end = static_cast<int>(SendScintilla(SCI_GETLINEENDPOSITION, line));
        int next = line + 1 < lines() ? static_cast<int>(SendScintilla(SCI_POSITIONFROMLINE, line + 1))
                                      : length();
        // The line end too: text typed at the end of a link takes the link's indicator.
        for (int indicator : {kUrlIndicator, kMailIndicator}) {
            SendScintilla(SCI_SETINDICATORCURRENT, indicator);
            SendScintilla(SCI_INDICATORCLEARRANGE, start, next - start);
        }
        std::string bytes = textRange(start, end);
        if (bytes.find_first_of(".:@") == std::string::npos)
            continue;
        QString text = QString::fromUtf8(bytes);
        int index = 0;
        int offset = start;  // byte position of text[index]
        for (auto it = link.globalMatch(text); it.hasNext();) {
            QRegularExpressionMatch match = it.next();
            offset += QStringView(text).mid(index, match.capturedStart() - index).toUtf8().size();
            index = match.capturedStart();
            int bytesLong = static_cast<int>(match.captured().toUtf8().size());
            bool url = match.capturedLength(1) > 0;
            SendScintilla(SCI_SETINDICATORCURRENT, url ? kUrlIndicator : kMailIndicator);
            SendScintilla(SCI_INDICATORFILLRANGE, offset, bytesLong);
        }
    }
}

TEditorExMain::LinkKind TEditorExMain::LinkKindAt(int position) const
{
    if (position < 0 || position >= length())
        return LinkKind::None;
    if (SendScintilla(SCI_INDICATORVALUEAT, kUrlIndicator, position))
        return LinkKind::Url;
    if (SendScintilla(SCI_INDICATORVALUEAT, kMailIndicator, position))
        return LinkKind::Mail;
    return LinkKind::None;
}

QString TEditorExMain::LinkAt(int position) const
{
    LinkKind kind = LinkKindAt(position);
    if (kind == LinkKind::None)
        return {};
    int indicator = kind == LinkKind::Url ? kUrlIndicator : kMailIndicator;
    int start = static_cast<int>(SendScintilla(SCI_INDICATORSTART, indicator, position));
    int end = static_cast<int>(SendScintilla(SCI_INDICATOREND, indicator, position));
    return QString::fromStdString(textRange(start, end));
}

QUrl TEditorExMain::UrlForLink(const QString& token, LinkKind kind)
{
    if (kind == LinkKind::Mail)
        return QUrl(token.startsWith(QLatin1String("mailto:")) ? token
                                                                : QStringLiteral("mailto:") + token);
    if (token.startsWith(QLatin1String("www.")))
        return QUrl(QStringLiteral("http://") + token);
    return QUrl(token);
}

bool TEditorExMain::OpenLinkAt(int position)
{
    QString token = LinkAt(position);
    if (token.isEmpty())
        return false;
    if (m_urlOpener)
        m_urlOpener(UrlForLink(token, LinkKindAt(position)));
    return true;
}

void TEditorExMain::mouseMoveEvent(QMouseEvent* event)
{
    QsciScintilla::mouseMoveEvent(event);
    QPoint p = event->position().toPoint();
    int pos = static_cast<int>(SendScintilla(SCI_CHARPOSITIONFROMPOINTCLOSE, p.x(), p.y()));
    QString token = pos >= 0 ? LinkAt(pos) : QString();
    if (token.isEmpty()) {
        if (m_hoverStart >= 0) {
            m_hoverStart = -1;
            m_hoverToken.clear();
            emit leaveUrl();
        }
        return;
    }
    viewport()->setCursor(Qt::PointingHandCursor);
    int indicator = LinkKindAt(pos) == LinkKind::Url ? kUrlIndicator : kMailIndicator;
    int start = static_cast<int>(SendScintilla(SCI_INDICATORSTART, indicator, pos));
    if (start != m_hoverStart || token != m_hoverToken) {
        m_hoverStart = start;
        m_hoverToken = token;
        emit aboveUrl(token);
    }
}

void TEditorExMain::leaveEvent(QEvent* event)
{
    QsciScintilla::leaveEvent(event);
    if (m_hoverStart >= 0) {
        m_hoverStart = -1;
        m_hoverToken.clear();
        emit leaveUrl();
    }
}

// One line per wheel notch, one page while Ctrl alone is held.
void TEditorExMain::wheelEvent(QWheelEvent* event)
{
    int delta = event->angleDelta().y();
    if (delta == 0) {
        QsciScintilla::wheelEvent(event);
        return;
    }
    m_wheelRemainder += delta;
    int steps = m_wheelRemainder / 120;
    m_wheelRemainder -= steps * 120;
    if (steps != 0) {
        int perStep = event->modifiers() == Qt::ControlModifier
                          ? std::max(1, static_cast<int>(SendScintilla(SCI_LINESONSCREEN)))
                          : 1;
        SendScintilla(SCI_LINESCROLL, 0, static_cast<long>(-steps * perStep));
    }
    event->accept();
}

// --- Settings ----------------------------------------------------------------------------

void TEditorExMain::resizeEvent(QResizeEvent* event)
{
    QsciScintilla::resizeEvent(event);
    updateWrapMargin();
}

// The text area is made exactly WrapByte columns wide by the right margin; in a font whose
// full-width glyphs are two columns, a column is a byte.
void TEditorExMain::updateWrapMargin()
{
    if (!m_wordWrap) {
        setWrapMode(WrapNone);
        SendScintilla(SCI_SETMARGINRIGHT, 0UL, 0L);
        setEdgeMode(EdgeNone);
        return;
    }
    setWrapMode(m_englishWordWrap ? WrapWord : WrapCharacter);
    setEdgeMode(EdgeLine);
    setEdgeColumn(m_wrapByte);
    double wanted = (m_wrapByte + (m_englishWordWrap ? 2.5 : 1.5)) * columnWidth();
    int right = std::max(0, viewport()->width() - textAreaLeft() - static_cast<int>(wanted));
    SendScintilla(SCI_SETMARGINRIGHT, 0UL, static_cast<long>(right));
}

// Width of one half-width column of the editor font.
double TEditorExMain::columnWidth() const
{
    static const std::string hundred(100, '0');
    return SendScintilla(SCI_TEXTWIDTH, STYLE_DEFAULT, hundred.c_str()) / 100.0;
}

int TEditorExMain::textAreaLeft() const
{
    int left = static_cast<int>(SendScintilla(SCI_GETMARGINLEFT));
    for (int margin = 0; margin < 5; ++margin)
        left += static_cast<int>(SendScintilla(SCI_GETMARGINWIDTHN, margin));
    return left;
}

// The line-number bar holds three digit columns, and more once the line count needs them, so
// that no number is ever cut off.
void TEditorExMain::updateLineNumberMargin()
{
    int digits = 0;
    if (m_showLineNumber) {
        digits = kMinNumberDigits;
        for (int n = lines(); n >= 1000; n /= 10)
            ++digits;
    }
    if (digits == m_numberDigits)
        return;
    m_numberDigits = digits;
    if (digits == 0) {
        setMarginWidth(kNumberMargin, 0);
    } else {
        std::string sample(digits, '0');
        int width = static_cast<int>(SendScintilla(SCI_TEXTWIDTH, STYLE_LINENUMBER, sample.c_str()));
        setMarginWidth(kNumberMargin, width + 4);  // Scintilla pads the numbers by 3 pixels
    }
    updateWrapMargin();
    if (m_ruler->isVisible())
        m_ruler->update();
}

void TEditorExMain::SetShowLineNumber(bool show)
{
    m_showLineNumber = show;
    updateLineNumberMargin();
}

void TEditorExMain::SetShowImageBar(bool show)
{
    m_showImageBar = show;
    setMarginWidth(kImageBarMargin, show ? kImageBarWidth : 0);
    updateWrapMargin();
    if (m_ruler->isVisible())
        m_ruler->update();
}

void TEditorExMain::SetShowRuler(bool show)
{
    if (show == m_showRuler)
        return;
    m_showRuler = show;
    setViewportMargins(0, show ? kRulerHeight : 0, 0, 0);
    placeRuler();
}

void TEditorExMain::placeRuler()
{
    if (!m_showRuler) {
        m_ruler->hide();
        return;
    }
    QRect port = viewport()->geometry();
    m_ruler->setGeometry(port.left(), port.top() - kRulerHeight, port.width(), kRulerHeight);
    m_ruler->show();
    m_ruler->update();
}

void TEditorExMain::paintRuler(QWidget& ruler)
{
    QPainter painter(&ruler);
    const int height = ruler.height();
    const int width = ruler.width();
    painter.fillRect(ruler.rect(), m_barBack);
    const double column = columnWidth();
    const int textLeft = textAreaLeft();
    if (column <= 0 || textLeft >= width)
        return;
    // Column 0 starts where the text does, moved left by the horizontal scroll.
    const double origin = textLeft - static_cast<double>(SendScintilla(SCI_GETXOFFSET));
    painter.setClipRect(QRect(textLeft, 0, width - textLeft, height));

    // The caret's column, virtual space included (the free caret).
    long pos = SendScintilla(SCI_GETCURRENTPOS);
    double caretX = static_cast<double>(SendScintilla(SCI_POINTXFROMPOSITION, 0UL, pos));
    long virtualSpace = SendScintilla(SCI_GETSELECTIONNCARETVIRTUALSPACE,
                                      SendScintilla(SCI_GETMAINSELECTION));
    caretX += virtualSpace * static_cast<double>(SendScintilla(SCI_TEXTWIDTH, STYLE_DEFAULT, " "));
    double caretColumn = std::max(0.0, std::round((caretX - origin) / column));
    painter.fillRect(QRectF(origin + caretColumn * column, height / 2.0, column, height / 2.0 - 1),
                     m_rulerMark);

    QFont numbers = font();
    numbers.setPixelSize(kRulerFontPixels);
    painter.setFont(numbers);
    painter.setPen(m_barText);
    const int baseline = QFontMetrics(numbers).ascent();
    const int bottom = height - 1;
    painter.drawLine(textLeft, bottom, width, bottom);
    for (int col = std::max(0, static_cast<int>((textLeft - origin) / column));; ++col) {
        double x = std::floor(origin + col * column) + 0.5;
        if (x > width)
            break;
        int tick = col % 10 == 0 ? height - 2 : col % 5 == 0 ? height / 2 : height / 4;
        painter.drawLine(QPointF(x, bottom - tick), QPointF(x, bottom));
        if (col % 10 == 0 && col > 0)
            painter.drawText(QPointF(x + 2, baseline), QString::number(col));
    }
}

void TEditorExMain::SetWordWrapEnabled(bool on)
{
    m_wordWrap = on;
    updateWrapMargin();
}

void TEditorExMain::SetWrapByte(int columns)
{
    m_wrapByte = std::max(1, columns);
    updateWrapMargin();
}

void TEditorExMain::SetEnglishWordWrap(bool on)
{
    m_englishWordWrap = on;
    updateWrapMargin();
}

void TEditorExMain::SetAutoIndentOn(bool on)
{
    setAutoIndent(on);
    setBackspaceUnindents(on);
}

void TEditorExMain::SetFreeCaret(bool on)
{
    m_freeCaret = on;
    SendScintilla(SCI_SETVIRTUALSPACEOPTIONS, on ? SCVS_USERACCESSIBLE : SCVS_NONE);
}

void TEditorExMain::SetSoftTab(bool on)
{
    m_softTab = on;
    setIndentationsUseTabs(!on);
    setTabIndents(on);
}

void TEditorExMain::SetLineSpan(int pixels)
{
    m_lineSpan = std::max(0, pixels);
    SendScintilla(SCI_SETEXTRADESCENT, m_lineSpan);
}

void TEditorExMain::SetMark(Mark mark, const MarkSetting& setting)
{
    m_marks[static_cast<int>(mark)] = setting;
    applyMarks();
}

void TEditorExMain::applyMarks()
{
    const MarkSetting& space = m_marks[static_cast<int>(Mark::Space)];
    const MarkSetting& tab = m_marks[static_cast<int>(Mark::Tab)];
    const MarkSetting& wrap = m_marks[static_cast<int>(Mark::Wrap)];
    bool blanks = space.visible || tab.visible;
    setWhitespaceVisibility(blanks ? WsVisible : WsInvisible);
    // Scintilla draws the wrap flags in the blank colour: while no blanks are shown, that
    // colour is free for the wrap mark.
    setWhitespaceForegroundColor(space.visible ? space.color : tab.visible ? tab.color : wrap.color);
    setWrapVisualFlags(wrap.visible ? WrapFlagByText : WrapFlagNone);
    const MarkSetting& ret = m_marks[static_cast<int>(Mark::Ret)];
    setEolVisibility(ret.visible);
    m_lexer->setColor(ret.color, MemoLexer::Eol);
    const MarkSetting& paren = m_marks[static_cast<int>(Mark::Paren)];
    setBraceMatching(paren.visible ? SloppyBraceMatch : NoBraceMatch);
    setMatchedBraceForegroundColor(paren.color);
    const MarkSetting& dbSpace = m_marks[static_cast<int>(Mark::DBSpace)];
    indicatorDefine(dbSpace.visible ? BoxIndicator : HiddenIndicator, kDBSpaceIndicator);
    setIndicatorForegroundColor(dbSpace.color, kDBSpaceIndicator);
    const MarkSetting& find = m_marks[static_cast<int>(Mark::Find)];
    indicatorDefine(find.visible ? TextColorIndicator : HiddenIndicator, kFindIndicator);
    setIndicatorForegroundColor(m_hit.text.isValid() ? m_hit.text : find.color, kFindIndicator);
    bool hitBack = find.visible && m_hit.back.isValid();
    indicatorDefine(hitBack ? StraightBoxIndicator : HiddenIndicator, kFindBackIndicator);
    if (hitBack)
        setIndicatorForegroundColor(m_hit.back, kFindBackIndicator);
    m_underlineRect = QRect();
    m_eofRect = QRect();
    viewport()->update();
}

void TEditorExMain::SetHitColor(const TokenColor& color)
{
    m_hit = color;
    applyMarks();
}

void TEditorExMain::SetFindString(const QString& text)
{
    if (text == m_findString)
        return;
    m_findString = text;
    m_findUtf8 = text.toStdString();
    if (lines() > 0)
        markLines(0, lines() - 1);
}

// Full-width spaces and hits of the find string in the lines; both are filled whether or not
// their mark is shown, so showing a mark needs no re-scan.
void TEditorExMain::markLines(int firstLine, int lastLine)
{
    static const std::string_view space(kFullWidthSpace);
    for (int line = firstLine; line <= lastLine; ++line) {
        int start = static_cast<int>(SendScintilla(SCI_POSITIONFROMLINE, line));
        int end = static_cast<int>(SendScintilla(SCI_GETLINEENDPOSITION, line));
        for (int indicator : {kDBSpaceIndicator, kFindIndicator, kFindBackIndicator}) {
            SendScintilla(SCI_SETINDICATORCURRENT, indicator);
            SendScintilla(SCI_INDICATORCLEARRANGE, start, end - start);
        }
        std::string text = textRange(start, end);
        SendScintilla(SCI_SETINDICATORCURRENT, kDBSpaceIndicator);
        for (size_t at = text.find(space); at != std::string::npos; at = text.find(space, at + space.size()))
            SendScintilla(SCI_INDICATORFILLRANGE, start + static_cast<long>(at), static_cast<long>(space.size()));
        if (m_findUtf8.empty())
            continue;
        for (size_t at = text.find(m_findUtf8); at != std::string::npos;
             at = text.find(m_findUtf8, at + m_findUtf8.size())) {
            for (int indicator : {kFindIndicator, kFindBackIndicator}) {
                SendScintilla(SCI_SETINDICATORCURRENT, indicator);
                SendScintilla(SCI_INDICATORFILLRANGE, start + static_cast<long>(at),
                              static_cast<long>(m_findUtf8.size()));
            }
        }
    }
}

void TEditorExMain::SetBarColors(const QColor& back, const QColor& text)
{
    m_barBack = back;
    m_barText = text;
    applyBarColors();
}

void TEditorExMain::applyBarColors()
{
    setMarginsBackgroundColor(m_barBack);
    setMarginsForegroundColor(m_barText);
    m_ruler->update();
}

void TEditorExMain::SetRulerMarkColor(const QColor& color)
{
    m_rulerMark = color;
    m_ruler->update();
}

void TEditorExMain::SetCurrentLineColor(const QColor& color)
{
    m_currentLine = color;
    setCaretLineVisible(color.isValid());
    if (color.isValid())
        setCaretLineBackgroundColor(color);
}

void TEditorExMain::SetEvenLineColor(const QColor& color)
{
    bool wasOn = m_evenLine.isValid();
    m_evenLine = color;
    if (!color.isValid()) {
        if (wasOn)
            SendScintilla(SCI_MARKERDELETEALL, kEvenLineMarker);
        return;
    }
    setMarkerBackgroundColor(color, kEvenLineMarker);
    refreshEvenLines();
}

// Marks the lines in view (and one beyond) with the even-line background. Lines out of view may
// carry a stale mark after lines were added or removed above them; they are put right before
// they come into view, from the update that scrolling raises.
void TEditorExMain::refreshEvenLines()
{
    if (!m_evenLine.isValid())
        return;
    const int total = lines();
    const int firstRow = static_cast<int>(SendScintilla(SCI_GETFIRSTVISIBLELINE));
    const int rows = static_cast<int>(SendScintilla(SCI_LINESONSCREEN)) + 2;
    const int first = static_cast<int>(SendScintilla(SCI_DOCLINEFROMVISIBLE, firstRow));
    const int last = std::min(total - 1,
                              static_cast<int>(SendScintilla(SCI_DOCLINEFROMVISIBLE, firstRow + rows)));
    for (int line = first; line <= last; ++line) {
        bool wanted = line % 2 == 1;
        bool marked = SendScintilla(SCI_MARKERGET, line) & (1L << kEvenLineMarker);
        if (wanted && !marked)
            SendScintilla(SCI_MARKERADD, line, kEvenLineMarker);
        else if (!wanted && marked)
            SendScintilla(SCI_MARKERDELETE, line, kEvenLineMarker);
    }
}

QRect TEditorExMain::caretRowRect() const
{
    long pos = SendScintilla(SCI_GETCURRENTPOS);
    int y = static_cast<int>(SendScintilla(SCI_POINTYFROMPOSITION, 0UL, pos));
    int height = static_cast<int>(SendScintilla(SCI_TEXTHEIGHT, CaretLine()));
    return QRect(0, y, viewport()->width(), height);
}

QRect TEditorExMain::eofRect() const
{
    long end = length();
    double column = columnWidth();
    int x = static_cast<int>(SendScintilla(SCI_POINTXFROMPOSITION, 0UL, end) + (end > 0 ? column : 0));
    int y = static_cast<int>(SendScintilla(SCI_POINTYFROMPOSITION, 0UL, end));
    int height = static_cast<int>(SendScintilla(SCI_TEXTHEIGHT, std::max(0, lines() - 1)));
    return QRect(x, y, static_cast<int>(6 * column) + 1, height);
}

// Caret moves, scrolling and edits: the ruler, the lines in view and the painted marks follow.
void TEditorExMain::onUpdateUi()
{
    if (m_ruler->isVisible())
        m_ruler->update();
    refreshEvenLines();
    if (m_marks[static_cast<int>(Mark::Underline)].visible) {
        QRect row = caretRowRect();
        if (row != m_underlineRect) {
            viewport()->update(m_underlineRect);
            viewport()->update(row);
            m_underlineRect = row;
        }
    }
    if (m_marks[static_cast<int>(Mark::Eof)].visible) {
        QRect eof = eofRect();
        if (eof != m_eofRect) {
            viewport()->update(m_eofRect);
            viewport()->update(eof);
            m_eofRect = eof;
        }
    }
}

// The current-line underline and the end-of-text mark are drawn over what Scintilla painted.
void TEditorExMain::paintEvent(QPaintEvent* event)
{
    QsciScintilla::paintEvent(event);
    const MarkSetting& underline = m_marks[static_cast<int>(Mark::Underline)];
    const MarkSetting& eof = m_marks[static_cast<int>(Mark::Eof)];
    if (!underline.visible && !eof.visible)
        return;
    QPainter painter(viewport());
    const int textLeft = textAreaLeft();
    painter.setClipRect(QRect(textLeft, 0, viewport()->width() - textLeft, viewport()->height()));
    if (underline.visible) {
        QRect row = caretRowRect();
        painter.setPen(underline.color);
        painter.drawLine(textLeft, row.bottom(), row.right(), row.bottom());
    }
    if (eof.visible) {
        QRect rect = eofRect();
        if (rect.intersects(event->rect())) {
            painter.setFont(m_font);
            painter.setPen(eof.color);
            painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("[EOF]"));
        }
    }
}

void TEditorExMain::SetTokenColor(Token token, const TokenColor& color)
{
    m_tokens[static_cast<int>(token)] = color;
    applyStyles();
}

void TEditorExMain::SetCommenter(const QString& text)
{
    m_commenter = text;
    m_lexer->commenter = text.toStdString();
    recolor();
}

void TEditorExMain::SetQuotation(const QString& text)
{
    m_quotation = text;
    m_lexer->quotation = text.toStdString();
    recolor();
}

void TEditorExMain::SetReserveWordList(const QStringList& words)
{
    m_reserveWords = words;
    m_lexer->words.clear();
    for (const QString& word : words)
        if (!word.isEmpty())
            m_lexer->words.push_back(word.toStdString());
    recolor();
}

void TEditorExMain::SetEditorFont(const QFont& font)
{
    m_font = font;
    applyStyles();
}

void TEditorExMain::SetTextColor(const QColor& color)
{
    m_textColor = color;
    applyStyles();
}

void TEditorExMain::SetPaperColor(const QColor& color)
{
    m_paperColor = color;
    applyStyles();
}

void TEditorExMain::applyStyles()
{
    auto apply = [this](int style, const TokenColor& token) {
        QFont font = m_font;
        if (token.style & 1)
            font.setBold(true);
        if (token.style & 2)
            font.setItalic(true);
        if (token.style & 4)
            font.setUnderline(true);
        if (token.style & 8)
            font.setStrikeOut(true);
        m_lexer->setFont(font, style);
        m_lexer->setColor(token.text.isValid() ? token.text : m_textColor, style);
        m_lexer->setPaper(token.back.isValid() ? token.back : m_paperColor, style);
    };
    m_lexer->setDefaultFont(m_font);
    m_lexer->setDefaultColor(m_textColor);
    m_lexer->setDefaultPaper(m_paperColor);
    apply(MemoLexer::Default, TokenColor{});
    apply(MemoLexer::Comment, m_tokens[static_cast<int>(Token::Comment)]);
    apply(MemoLexer::Str, m_tokens[static_cast<int>(Token::Str)]);
    apply(MemoLexer::Reserve, m_tokens[static_cast<int>(Token::Reserve)]);
    apply(MemoLexer::Eol, TokenColor{m_marks[static_cast<int>(Mark::Ret)].color, {}, 0});
    setCaretForegroundColor(m_textColor);

    const std::pair<int, Token> links[] = {{kUrlIndicator, Token::Url}, {kMailIndicator, Token::Mail}};
    for (auto [indicator, token] : links) {
        QColor color = m_tokens[static_cast<int>(token)].text;
        if (!color.isValid())
            color = QColor(0, 0, 255);
        setIndicatorForegroundColor(color, indicator);
        setIndicatorHoverForegroundColor(color, indicator);
    }
    recolor();
    // The font may have changed the digit width.
    m_numberDigits = -1;
    updateLineNumberMargin();
    applyBarColors();
}

}  // namespace kavio::qt
