// Start-up: the application, its title, the main window, the hidden input dialog, the loop.
#include "ErrorBox.h"
#include "Unit2.h"
#include "mirelo_main.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(ApplicationTitle());
    QApplication::setApplicationDisplayName(ApplicationTitle());

    auto form1 = std::make_unique<TForm1>();
    auto form2 = std::make_unique<TForm2>();
    form1->SetInputDialog(form2.get());
    form1->show();

    const int result = QApplication::exec();
    // Runs still going are brought down while the dialog they may wait on still exists.
    form1.reset();
    return result;
}
