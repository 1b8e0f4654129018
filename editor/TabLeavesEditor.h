#pragma once
// The program editor keeps Tab for typing (blanks up to the next tab stop), so Ctrl+Tab
// leaves it for the next control and Ctrl+Shift+Tab for the previous one, as Tab and
// Shift+Tab do everywhere else; inside the page control Qt would otherwise take Ctrl+Tab to
// switch pages, which never leaves the pages.

#include <QObject>

class QPlainTextEdit;

class TTabLeavesEditor : public QObject {
    Q_OBJECT
public:
    // Watches the editor; owned by it.
    static void Install(QPlainTextEdit* editor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TTabLeavesEditor(QPlainTextEdit* editor);

    QPlainTextEdit* editor_;
};
