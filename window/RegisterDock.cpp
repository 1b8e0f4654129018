#include "window/RegisterDock.h"

#include "views/RegisterListView.h"

#include <QAction>
#include <QKeySequence>

namespace {

// The panel first shows every line whole, where the Memory page's narrow list cuts them.
class TPanelRegisterList : public TRegisterListView {
public:
    using TRegisterListView::TRegisterListView;

    QSize sizeHint() const override
    {
        return {LineWidth() + 2 * frameWidth(), TRegisterListView::sizeHint().height()};
    }
};

} // namespace

TRegisterDock::TRegisterDock(QWidget* parent) : QDockWidget(parent)
{
    setObjectName(QStringLiteral("RegisterDock"));
    // Set before the action's text: a new title would rename the action.
    setWindowTitle(QStringLiteral("Registers"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);

    List = new TPanelRegisterList(this);
    List->setObjectName(QStringLiteral("RegisterDockList"));
    List->setAccessibleName(QStringLiteral("Registers (panel)"));
    setWidget(List);

    QAction* show = toggleViewAction();
    show->setObjectName(QStringLiteral("RegistersAction"));
    show->setText(QStringLiteral("&Registers"));
    show->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
}
