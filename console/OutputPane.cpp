#include "console/OutputPane.h"

#include "common/ErrorBox.h"
#include "common/TextPane.h"
#include "files/ProgramFile.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <climits>

TOutputPane::TOutputPane(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("Memo3"));
    setAccessibleName(QStringLiteral("Output"));
    SetUpTextPane(this, true, Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    CreateActions();
}

void TOutputPane::CreateActions()
{
    ClearAction = new QAction(QStringLiteral("C&lear Output"), this);
    ClearAction->setObjectName(QStringLiteral("ClearOutputAction"));
    SaveAsAction = new QAction(QStringLiteral("Save &Output As\u2026"), this);
    SaveAsAction->setObjectName(QStringLiteral("SaveOutputAsAction"));
    connect(ClearAction, &QAction::triggered, this, &TOutputPane::ClearOutput);
    connect(SaveAsAction, &QAction::triggered, this, &TOutputPane::SaveOutputAs);
}

void TOutputPane::AppendLine(const QString& line)
{
    appendPlainText(line);
    document()->clearUndoRedoStacks();
    ScrollToNewest();
}

void TOutputPane::RemoveLastLines(std::size_t count)
{
    if (count == 0)
        return;
    QTextDocument* text = document();
    const int keep = std::max(0, text->blockCount() - static_cast<int>(std::min<std::size_t>(
                                                          count, INT_MAX)));
    QTextCursor cursor(text);
    cursor.movePosition(QTextCursor::End);
    if (keep == 0) {
        cursor.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
    } else {
        // From the end of the last line kept, its line break included.
        const QTextBlock last = text->findBlockByNumber(keep - 1);
        cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
    text->clearUndoRedoStacks();
    ScrollToNewest();
}

void TOutputPane::ScrollToNewest()
{
    // Without scroll bars only the wheel could reach a line below the pane, so every output
    // line is brought into view, wherever the user had scrolled.
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
}

void TOutputPane::ClearOutput()
{
    // One edit, so that a single Undo brings back everything an accidental Clear took.
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
}

bool TOutputPane::SaveOutputAs()
{
    const QString path = ChooseFile();
    return !path.isEmpty() && SaveTo(path);
}

bool TOutputPane::SaveTo(const QString& path)
{
    // A text file's every line ends in a line break, the last one too.
    QString text = toPlainText();
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    const QString error = SaveProgramFile(path, TProgramText{text, TLineBreak::Lf, false});
    if (!error.isEmpty()) {
        ShowErrorBox(window(), error);
        return false;
    }
    lastPath_ = QFileInfo(path).absoluteFilePath();
    return true;
}

QString TOutputPane::ChooseFile()
{
    QFileDialog dialog(window(), QStringLiteral("Save Output"));
    dialog.setObjectName(QStringLiteral("SaveOutputDialog"));
    dialog.setNameFilters({QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*)")});
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (!lastPath_.isEmpty())
        dialog.selectFile(lastPath_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QMenu* TOutputPane::CreateContextMenu()
{
    QMenu* menu = createStandardContextMenu();
    menu->addSeparator();
    menu->addAction(ClearAction);
    menu->addAction(SaveAsAction);
    return menu;
}

void TOutputPane::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
