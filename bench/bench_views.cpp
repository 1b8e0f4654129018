// How long the window takes to show the machine: one memory refresh with the repaint it
// causes, for small and large images, and a whole paced run of the sample program through
// the real window, worker and hooks.

#include "console/Unit2.h"
#include "controls/CustButton.h"
#include "editor/CodeEditor.h"
#include "emulator/MemoryStream.h"
#include "emulator/WindowHooks.h"
#include "session/RunSession.h"
#include "views/MemoryGridModel.h"
#include "views/MemoryGridView.h"
#include "views/RegisterListView.h"
#include "window/mirelo_main.h"
#include "window/RunStatusBar.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace {

double MedianMs(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// A window showing the memory page with an image of the given size.
struct TRefreshCase {
    std::size_t size;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();
    TMemoryStream image;
    std::vector<double> samples;

    explicit TRefreshCase(std::size_t bytes) : size(bytes), image(RandomBytes(bytes))
    {
        form->show();
        (void)QTest::qWaitForWindowExposed(form.get());
        form->SelectPage(3);
        form->PageControl1->StringGrid1->SizeFor(image.Size());
        form->ShowMemory(image);
        QApplication::processEvents();
    }

    static std::vector<std::uint8_t> RandomBytes(std::size_t n)
    {
        std::mt19937 random(42);
        std::vector<std::uint8_t> bytes(n);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random());
        return bytes;
    }

    // One show memory plus the repaint of the visible cells that it causes.
    double Refresh(int round)
    {
        image.Bytes()[static_cast<std::size_t>(round) % size] ^= 0x5A; // a step wrote something
        QElapsedTimer clock;
        clock.start();
        form->ShowMemory(image);
        form->PageControl1->StringGrid1->viewport()->repaint();
        return static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
};

// Closes a window whose runs go on at the product's pacing, one replaced and still running,
// the current one paused, as a user may leave them; returns how long the close took.
double CloseWithRunsMs()
{
    TForm1 form;
    TForm2 dialog;
    form.SetInputDialog(&dialog);
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    // inc; out $1; jmp 0 - counts and reports for ever.
    form.PageControl1->Memo2->setPlainText(QStringLiteral("16\nf401\n9000"));
    form.CustButton3Click();
    form.CustButton3Click();
    (void)QTest::qWaitFor([&form] { return form.Memo3->toPlainText().count(QLatin1Char('\n')) >= 1; });
    form.CustButton4Click();
    QElapsedTimer clock;
    clock.start();
    form.close();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The windows' settings and recovery texts stay out of the user's folders.
    const QTemporaryDir userFolders;
    qputenv("XDG_CONFIG_HOME", (userFolders.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (userFolders.path() + QStringLiteral("/data")).toUtf8());
    QApplication application(argc, argv);

    // The sizes take turns round by round, so that a busy machine slows all of them alike.
    std::vector<std::unique_ptr<TRefreshCase>> cases;
    for (std::size_t size : {std::size_t(256), std::size_t(4096), std::size_t(65536)})
        cases.push_back(std::make_unique<TRefreshCase>(size));
    constexpr int Warmup = 20;
    constexpr int Rounds = 301;
    for (int round = 0; round < Warmup + Rounds; ++round) {
        for (auto& c : cases) {
            const double ms = c->Refresh(round);
            if (round >= Warmup)
                c->samples.push_back(ms);
        }
    }
    const char* const names[] = {"256 B", "4 KiB", "64 KiB"};
    std::vector<double> medians;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        medians.push_back(MedianMs(cases[i]->samples));
        std::printf("show memory + repaint, %s: %.4f ms (median of %d)\n", names[i], medians[i],
                    Rounds);
    }
    std::printf("refresh ratio 64KiB/256B: %.3f\n", medians[2] / medians[0]);
    cases.clear();

    TForm1 form;
    TForm2 dialog;
    form.SetInputDialog(&dialog);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::printf("window not exposed\n");
        return 1;
    }

    // The paced run: the sample program, translated, then "Emulate" with the product's
    // 50 ms step delay. Every step of the sample that refreshes memory took the delay; the
    // one refresh that "Emulate" itself makes before the run is not counted.
    form.CustButton1Click();
    int refreshes = -1;
    QObject::connect(form.MemoryGrid(), &QAbstractItemModel::dataChanged,
                     [&refreshes] { ++refreshes; });
    // The status bar follows every step of the run; its label repaints whenever its text changes.
    int statusTexts = 0;
    QString lastStatus;
    auto* runStatus = form.StatusBar1->findChild<QLabel*>(QStringLiteral("RunStatus"));
    QEventLoop loop;
    QObject::connect(&form.Session(), &TRunSession::RunEnded, &loop, &QEventLoop::quit);
    QObject::connect(&form.Session(), &TRunSession::Stepped, [&] {
        if (runStatus->text() != lastStatus) {
            lastStatus = runStatus->text();
            ++statusTexts;
        }
    });
    QElapsedTimer clock;
    double firstHighlightMs = -1;
    QObject::connect(form.PageControl1->StringGrid1->selectionModel(), &QItemSelectionModel::selectionChanged,
                     [&] {
                         if (firstHighlightMs < 0)
                             firstHighlightMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
                     });
    clock.start();
    QTest::mouseClick(form.Panel3->CustButton3, Qt::LeftButton, Qt::NoModifier,
                      form.Panel3->CustButton3->rect().center());
    loop.exec();
    const double runMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const double pacedMs = refreshes * 50.0;
    std::printf("paced run of the sample: %d delayed steps, %.1f ms (last register line: %s)\n",
                refreshes, runMs,
                form.PageControl1->ListBox1->count() > 2 ? qPrintable(form.PageControl1->ListBox1->item(2)->text()) : "-");
    std::printf("first highlight after %.1f ms\n", firstHighlightMs);
    // The run executed the editor's own translation, so both editors marked its lines.
    std::printf("executing-line marks: program line %d, listing line %d\n",
                form.PageControl1->Memo1->ExecutingLine() + 1, form.PageControl1->Memo2->ExecutingLine() + 1);
    std::printf("status bar: %d texts during the run, last \"%s\"\n", statusTexts,
                qPrintable(form.StatusBar1->RunText()));
    std::printf("paced ratio: %.4f\n", runMs / pacedMs);

    std::vector<double> closeSamples;
    for (int round = 0; round < 5; ++round)
        closeSamples.push_back(CloseWithRunsMs());
    std::printf("close with a running and a paused run: median %.1f ms, slowest %.1f ms (of %zu)\n",
                MedianMs(closeSamples), *std::max_element(closeSamples.begin(), closeSamples.end()),
                closeSamples.size());
    return 0;
}
