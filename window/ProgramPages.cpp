#include "window/ProgramPages.h"

#include "common/TextPane.h"
#include "editor/CodeEditor.h"
#include "editor/ProgramHighlighter.h"
#include "views/MemoryGridView.h"
#include "views/RegisterListView.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

const char* const SampleProgram[] = {
    "add ah", "xch $1,$2", ":start", "set 1", "inc", "set 3", "cmp $1,$2",
    "jin :stop,:start", ":stop", "stop",
};

} // namespace

TProgramPages::TProgramPages(QWidget* parent) : QTabWidget(parent)
{
    setObjectName(QStringLiteral("PageControl1"));

    Memo4 = NewTextPane(this, false, Qt::ScrollBarAsNeeded);
    Memo4->setObjectName(QStringLiteral("Memo4"));
    Memo4->setPlainText(QStringLiteral("Memo4"));
    TabSheet4 = AddPage(QStringLiteral("TabSheet4"), QStringLiteral("MAsm"), Memo4);

    Memo1 = new TCodeEditor(this);
    SetUpTextPane(Memo1, false, Qt::ScrollBarAlwaysOn);
    Highlighter = new TProgramHighlighter(Memo1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("Program"));
    QStringList sample;
    for (const char* line : SampleProgram)
        sample << QString::fromLatin1(line);
    Memo1->setPlainText(sample.join(QLatin1Char('\n')));
    TabSheet1 = AddPage(QStringLiteral("TabSheet1"), QStringLiteral("Asm"), Memo1);

    Memo2 = new TCodeEditor(this);
    SetUpTextPane(Memo2, false, Qt::ScrollBarAlwaysOn);
    Memo2->SetGutterMode(TCodeEditor::TGutterMode::ByteAddresses);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setAccessibleName(QStringLiteral("Machine code"));
    // A tab in a listing would shift the pairing of every byte after it.
    Memo2->setTabChangesFocus(true);
    TabSheet2 = AddPage(QStringLiteral("TabSheet2"), QStringLiteral("Machinecode"), Memo2);

    TabSheet3 = AddPage(QStringLiteral("TabSheet3"), QStringLiteral("Memory"), CreateMemoryPage());

    setTabVisible(0, false);
    setCurrentIndex(PageAsm);
}

QWidget* TProgramPages::AddPage(const QString& name, const QString& caption, QWidget* content)
{
    auto* page = new QWidget;
    page->setObjectName(name);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    addTab(page, caption);
    return page;
}

QWidget* TProgramPages::CreateMemoryPage()
{
    Splitter1 = new QSplitter(Qt::Horizontal);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);

    StringGrid1 = new TMemoryGridView(Splitter1);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setAccessibleName(QStringLiteral("Memory"));
    // Tab leaves the grid for the register list; the arrow keys move between cells.
    StringGrid1->setTabKeyNavigation(false);

    Panel1 = new QFrame(Splitter1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::NoFrame);
    Panel1->setMinimumWidth(1);
    ListBox1 = new TRegisterListView(Panel1);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setAccessibleName(QStringLiteral("Registers"));
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(ListBox1);

    Splitter1->addWidget(StringGrid1);
    Splitter1->addWidget(Panel1);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({371 - 61 - 3, 61});
    return Splitter1;
}

void TProgramPages::SelectPage(int index)
{
    if (index >= 0 && index < count() && isTabVisible(index))
        setCurrentIndex(index);
}

void TProgramPages::ShowProgram()
{
    SelectPage(PageAsm);
    // On a window not yet shown this names the widget that gets the focus when it is.
    Memo1->setFocus(Qt::OtherFocusReason);
}
