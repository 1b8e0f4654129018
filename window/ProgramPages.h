#pragma once
// The page control on the left: the hidden page "MAsm", the program editor ("Asm"), the
// listing pane ("Machinecode") and the memory page with the grid and the register list
// ("Memory"). Page indices count the hidden page.

// Whoever reaches the editors through the window uses them as the text panes they are.
#include "editor/CodeEditor.h"

#include <QTabWidget>

class QFrame;
class QPlainTextEdit;
class QSplitter;
class TProgramHighlighter;
class TMemoryGridView;
class TRegisterListView;

class TProgramPages : public QTabWidget {
    Q_OBJECT
public:
    static constexpr int PageAsm = 1;
    static constexpr int PageMachinecode = 2;
    static constexpr int PageMemory = 3;

    explicit TProgramPages(QWidget* parent = nullptr);

    // Makes the page current only when it exists and its tab is visible.
    void SelectPage(int index);
    // Shows the program editor's page and gives the editor the keyboard focus, so that what
    // is typed next goes into the program.
    void ShowProgram();

    QWidget* TabSheet4 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QPlainTextEdit* Memo4 = nullptr;
    // The program editor, with line numbers and syntax colours, and the listing pane, with
    // the address of each line's first byte.
    TCodeEditor* Memo1 = nullptr;
    TCodeEditor* Memo2 = nullptr;
    TProgramHighlighter* Highlighter = nullptr;
    TMemoryGridView* StringGrid1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QFrame* Panel1 = nullptr;
    TRegisterListView* ListBox1 = nullptr;

private:
    QWidget* AddPage(const QString& name, const QString& caption, QWidget* content);
    QWidget* CreateMemoryPage();
};
