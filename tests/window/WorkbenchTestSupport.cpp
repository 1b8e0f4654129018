#include "WorkbenchTestSupport.h"

#include "emulator/emuthread.h"
#include "views/RegisterListView.h"
#include "window/RegisterDock.h"

#include "TestUserFolders.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

// Before main(): no window test reads or writes the user's settings or recovery folder.
Q_CONSTRUCTOR_FUNCTION(IsolateUserFolders)

TWorkbench::TWorkbench(std::chrono::milliseconds stepDelay)
    : form(std::make_unique<TForm1>()), dialog(std::make_unique<TForm2>())
{
    form->SetInputDialog(dialog.get());
    form->Session().SetStepDelay(stepDelay);
    form->show();
    QApplication::setActiveWindow(form.get());
    (void)QTest::qWaitForWindowExposed(form.get());
}

TWorkbench::~TWorkbench()
{
    form.reset();
}

void Click(TCustButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
}

void EmulateListing(TForm1& form, const QString& listing)
{
    form.PageControl1->Memo2->setPlainText(listing);
    Click(form.Panel3->CustButton3);
}

namespace {

QStringList LinesOf(const QListWidget& list)
{
    QStringList lines;
    for (int i = 0; i < list.count(); ++i)
        lines << list.item(i)->text();
    return lines;
}

} // namespace

QStringList RegisterLines(const TForm1& form)
{
    return LinesOf(*form.PageControl1->ListBox1);
}

QStringList PanelRegisterLines(const TForm1& form)
{
    return LinesOf(*form.RegisterDock->List);
}

QStringList OutputLines(const TForm1& form)
{
    const QString text = form.Memo3->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

bool WaitForCurrentRunEnd(const TForm1& form, int timeoutMs)
{
    return QTest::qWaitFor([&form] {
        const TEmulationThread* worker = form.Session().CurrentWorker();
        return worker && worker->Finished();
    }, timeoutMs);
}

void CloseNextErrorBox(TSeenBox& seen)
{
    AnswerNextBox(seen, QMessageBox::Ok);
}

namespace {

// Polls for the next visible modal QMessageBox, records it into `seen` and hands it to
// `answer`; the watcher goes once it has.
QTimer* WatchForNextBox(TSeenBox& seen, std::function<void(QMessageBox*)> answer)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, &seen, answer = std::move(answer)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        seen.seen = true;
        seen.title = box->windowTitle();
        seen.platformTitle = box->windowHandle() ? box->windowHandle()->title() : QString();
        seen.text = box->text();
        seen.informativeText = box->informativeText();
        seen.icon = box->icon();
        seen.buttonCount = static_cast<int>(box->buttons().size());
        if (seen.whileOpen)
            seen.whileOpen();
        timer->stop();
        timer->deleteLater();
        answer(box);
    });
    timer->start();
    return timer;
}

} // namespace

QTimer* AnswerNextBox(TSeenBox& seen, QMessageBox::StandardButton answer)
{
    return WatchForNextBox(seen, [answer](QMessageBox* box) {
        if (QAbstractButton* button = box->button(answer))
            QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
        else
            box->reject();
    });
}

QTimer* AnswerNextBoxByKey(TSeenBox& seen, Qt::Key key)
{
    return WatchForNextBox(seen, [key](QMessageBox* box) { QTest::keyClick(box, key); });
}

QTimer* AnswerNextFileDialog(const QString& path, bool& seen)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, path, &seen] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* field = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!field || !dialog->isVisible())
            return;
        const QFileInfo wanted(path);
        if (dialog->directory() != wanted.absoluteDir())
            dialog->setDirectory(wanted.absoluteDir());
        // Active, as a dialog a user types into is: the field then has the focus, and typing
        // replaces the file the dialog had selected.
        if (!dialog->isActiveWindow())
            QApplication::setActiveWindow(dialog);
        if (field->text() != wanted.fileName()) {
            field->setFocus();
            field->selectAll();
            QTest::keyClicks(field, wanted.fileName());
        }
        // The dialog reads its folder in the background and may select a file it was given
        // once it has; Enter is pressed only when the typed name is what it would take.
        const QStringList chosen = dialog->selectedFiles();
        if (chosen.size() != 1 || !chosen.constFirst().startsWith(wanted.absoluteFilePath()))
            return;
        timer->stop();
        timer->deleteLater();
        QTest::keyClick(field, Qt::Key_Return);
        seen = true;
    });
    timer->start();
    return timer;
}
