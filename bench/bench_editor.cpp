// How long one keystroke takes in the program editor: the character inserted, its line
// highlighted again, the text and gutter repainted, in a 10,000-line program against a
// 100-line one. A keystroke should cost about the same however long the program is. Also
// how long moving the executing-line mark takes, which a paced run does on every step.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "editor/CodeEditor.h"
#include "editor/ProgramHighlighter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <memory>
#include <vector>

namespace {

double MedianMs(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

QString Program(int lines)
{
    static const char* const Sample[] = {"add ah",          "xch $1,$2", ":start",
                                         "set 1",           "inc",       "set 3",
                                         "cmp $1,$2",       "jin :stop,:start",
                                         "mov $1,count",    "dd count,5"};
    QStringList text;
    for (int i = 0; i < lines; ++i)
        text << QString::fromLatin1(Sample[i % std::size(Sample)]);
    return text.join(QLatin1Char('\n'));
}

// Counts the paints of a widget, so a sample ends only once the change is on screen.
class TPaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// A shown program editor with its highlighter, the cursor in the middle of the view.
struct TEditorCase {
    int lines;
    std::unique_ptr<TCodeEditor> editor = std::make_unique<TCodeEditor>();
    TPaintCounter counter;
    std::vector<double> keystrokes;
    std::vector<double> marks;

    explicit TEditorCase(int count) : lines(count)
    {
        editor->setLineWrapMode(QPlainTextEdit::NoWrap);
        new TProgramHighlighter(editor.get());
        editor->setPlainText(Program(count));
        editor->resize(500, 700);
        editor->show();
        (void)QTest::qWaitForWindowExposed(editor.get());
        QTextCursor cursor(editor->document()->findBlockByNumber(count / 2));
        cursor.movePosition(QTextCursor::EndOfBlock);
        editor->setTextCursor(cursor);
        editor->centerCursor();
        editor->viewport()->installEventFilter(&counter);
        QApplication::processEvents();
    }

    // Sends one event and waits until the viewport has painted what it changed.
    double Timed(const std::function<void()>& action)
    {
        QElapsedTimer timer;
        const int before = counter.paints;
        timer.start();
        action();
        while (counter.paints == before) {
            QApplication::processEvents();
            if (timer.elapsed() > 5000) {
                std::fprintf(stderr, "no repaint after the change\n");
                std::exit(1);
            }
        }
        return static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }

    void Keystroke()
    {
        keystrokes.push_back(Timed([this] { QTest::keyClick(editor.get(), Qt::Key_X); }));
        // Take the character back, untimed, so every sample types into the same text.
        QTest::keyClick(editor.get(), Qt::Key_Backspace);
        QApplication::processEvents();
    }

    void MarkStep(int step)
    {
        // The keystrokes in between took the mark away, as a change of the text does.
        editor->BeginExecutionMarks();
        const int first = editor->cursorForPosition(QPoint(0, 0)).blockNumber();
        marks.push_back(Timed([this, first, step] { editor->SetExecutingLine(first + step % 20); }));
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TEditorCase small(100);
    TEditorCase large(10000);
    constexpr int Warmup = 20;
    constexpr int Samples = 300;
    // Alternating keeps both sizes under the same load of a shared machine.
    for (int i = 0; i < Warmup + Samples; ++i) {
        small.Keystroke();
        large.Keystroke();
        small.MarkStep(i);
        large.MarkStep(i);
    }
    for (TEditorCase* c : {&small, &large}) {
        c->keystrokes.erase(c->keystrokes.begin(), c->keystrokes.begin() + Warmup);
        c->marks.erase(c->marks.begin(), c->marks.begin() + Warmup);
    }
    if (large.editor->toPlainText() != Program(large.lines)) {
        std::fprintf(stderr, "the keystrokes did not leave the text as it was\n");
        return 1;
    }

    const double smallMs = MedianMs(small.keystrokes);
    const double largeMs = MedianMs(large.keystrokes);
    std::printf("executing mark move, %d lines: %.3f ms (median of %d)\n", small.lines,
                MedianMs(small.marks), Samples);
    std::printf("executing mark move, %d lines: %.3f ms (median of %d)\n", large.lines,
                MedianMs(large.marks), Samples);
    std::printf("keystroke, %d lines: %.3f ms (median of %d)\n", small.lines, smallMs, Samples);
    std::printf("keystroke, %d lines: %.3f ms (median of %d)\n", large.lines, largeMs, Samples);
    std::printf("keystroke ratio 10000/100: %.2f\n", largeMs / smallMs);
    return 0;
}
