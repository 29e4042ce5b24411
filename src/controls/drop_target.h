#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

class QDropEvent;

namespace kavio::qt {

// Receives files dragged onto one widget from the desktop: local files only, handed on as full
// paths in the order the drag carries them, with the drop point in the widget's coordinates.
// Paths are passed whole, however long: a cut path would name another file.
//
// For a scroll area the drop may arrive on its viewport; the point is still given in the
// widget's own coordinates. A drop is taken even when nobody listens, and an error raised while
// it is handled is shown and goes no further.
class TDropDst : public QObject {
    Q_OBJECT
public:
    using FileDropHandler =
        std::function<void(QObject* sender, const QStringList& files, int x, int y)>;
    using ErrorReporter = std::function<void(const QString& message)>;

    // Watches `control` (may be null); the drop target is a child of `parent`, or of the
    // control when `parent` is null.
    explicit TDropDst(QWidget* control, QObject* parent = nullptr);
    ~TDropDst() override;

    QWidget* Control() const { return m_control; }
    void SetControl(QWidget* control);

    // Whether the control takes dropped files; on by default.
    bool AcceptDrop() const { return m_acceptDrop; }
    void SetAcceptDrop(bool on);

    // Called once per drop, before fileDrop is emitted.
    void SetOnFileDrop(FileDropHandler handler) { m_onFileDrop = std::move(handler); }
    // How an error from the handler reaches the user; the error box unless replaced (tests).
    void SetErrorReporter(ErrorReporter reporter) { m_reportError = std::move(reporter); }

signals:
    void fileDrop(QObject* sender, const QStringList& files, int x, int y);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hook();
    void unhook();
    void dropped(QWidget* receiver, QDropEvent* event);
    void report(const QString& message);

    QPointer<QWidget> m_control;
    QPointer<QWidget> m_viewport;
    bool m_acceptDrop = true;
    FileDropHandler m_onFileDrop;
    ErrorReporter m_reportError;
};

}  // namespace kavio::qt
