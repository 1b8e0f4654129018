#pragma once
// In the program editor Tab types blanks up to the next tab stop instead of a tab character:
// the translator takes only a blank as the break between an instruction and its operands, so
// "set", Tab, "1" must reach it as "set     1". Tab stops lie every TabWidth characters, as
// in a terminal; a tab that arrives by paste stays a tab (the translator warns about it).
// Tab with Ctrl, Alt or Shift is left to the editor and the rest of the window.

#include <QObject>

class QPlainTextEdit;

class TTabTypesBlanks : public QObject {
    Q_OBJECT
public:
    static constexpr int TabWidth = 8;

    // Watches the editor; owned by it.
    static void Install(QPlainTextEdit* editor);

    // The blanks that Tab types at this place of a line: up to the next tab stop, counting a
    // tab before it as reaching its own stop.
    static int BlanksAt(const QString& lineBeforeCursor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TTabTypesBlanks(QPlainTextEdit* editor);
    void TypeBlanks();

    QPlainTextEdit* editor_;
};
