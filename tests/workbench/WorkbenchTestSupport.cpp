#include "WorkbenchTestSupport.h"

#include "emuthread.h"

#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

TWorkbench::TWorkbench(std::chrono::milliseconds stepDelay)
    : form(std::make_unique<TForm1>()), dialog(std::make_unique<TForm2>())
{
    form->SetInputDialog(dialog.get());
    form->SetStepDelay(stepDelay);
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
    form.Memo2->setPlainText(listing);
    Click(form.CustButton3);
}

QStringList RegisterLines(const TForm1& form)
{
    QStringList lines;
    for (int i = 0; i < form.ListBox1->count(); ++i)
        lines << form.ListBox1->item(i)->text();
    return lines;
}

QStringList OutputLines(const TForm1& form)
{
    const QString text = form.Memo3->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

bool WaitForCurrentRunEnd(const TForm1& form, int timeoutMs)
{
    return QTest::qWaitFor([&form] {
        const TEmulationThread* worker = form.CurrentWorker();
        return worker && worker->Finished();
    }, timeoutMs);
}

void CloseNextErrorBox(TSeenBox& seen)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, &seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        seen.seen = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttonCount = static_cast<int>(box->buttons().size());
        timer->stop();
        timer->deleteLater();
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
    });
    timer->start();
}
