#include "window/PanelHost.h"

#include <QDockWidget>
#include <QEvent>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>

#include <utility>

namespace {

const QString Key = QStringLiteral("panels");
// Raised when the arrangement's meaning changes, so that an older one is not read as this one.
constexpr int ArrangementVersion = 1;

} // namespace

TPanelHost::TPanelHost(QMenuBar& menu, QWidget& area, QStatusBar& status, QSettings& settings,
                       QWidget* parent)
    : QMainWindow(parent), settings_(settings)
{
    setObjectName(QStringLiteral("PanelHost"));
    // A main window is made a window whatever flags it is given; this one is a plain child.
    setWindowFlags(Qt::Widget);
    // A main window offers its panels in a context menu of the menu bar; here the menu bar and
    // the status bar keep having none, and a panel's title bar has none either.
    setContextMenuPolicy(Qt::NoContextMenu);
    setMenuBar(&menu);
    setCentralWidget(&area);
    setStatusBar(&status);
    // Only the panels' places: AddPanel puts each in its own as it comes.
    restoreState(settings_.value(Key).toByteArray(), ArrangementVersion);
}

TPanelHost::~TPanelHost()
{
    // The panels go after this frame: nothing they report then may reach it, nor the
    // settings, which the window may have let go already.
    for (QDockWidget* panel : std::as_const(panels_)) {
        panel->removeEventFilter(this);
        disconnect(panel, nullptr, this, nullptr);
    }
}

void TPanelHost::AddPanel(QDockWidget& panel, Qt::DockWidgetArea side)
{
    if (!restoreDockWidget(&panel)) {
        addDockWidget(side, &panel);
        panel.hide();
    }
    panels_.append(&panel);
    // Shown and closed by the user (or with the window, when it first shows): the window's
    // width follows, so its show and hide events are watched, not the visibility signal, which
    // also reports the window being minimized.
    panel.installEventFilter(this);
    connect(&panel, &QDockWidget::topLevelChanged, this, [this, &panel](bool floating) {
        if (floating) {
            Narrow(panel);
        } else {
            // Docked by a drop: its room is known once the frame has laid it out.
            QMetaObject::invokeMethod(this, [this, &panel] { Widen(panel); },
                                      Qt::QueuedConnection);
        }
        SaveArrangement();
    });
    connect(&panel, &QDockWidget::dockLocationChanged, this, &TPanelHost::SaveArrangement);
}

void TPanelHost::SaveArrangement()
{
    settings_.setValue(Key, saveState(ArrangementVersion));
}

bool TPanelHost::eventFilter(QObject* watched, QEvent* event)
{
    // Spontaneous ones come from the window being minimized and restored.
    auto* panel = qobject_cast<QDockWidget*>(watched);
    if (panel && !event->spontaneous()) {
        if (event->type() == QEvent::Show) {
            Widen(*panel);
            SaveArrangement();
        } else if (event->type() == QEvent::Hide && panel->isHidden()) {
            // Closed: a window closing or going hides its panels without closing them.
            Narrow(*panel);
            SaveArrangement();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

int TPanelHost::RoomOf(const QDockWidget& panel) const
{
    return panel.width() +
           style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
}

bool TPanelHost::KeepsItsSize() const
{
    return window()->isMaximized() || window()->isFullScreen();
}

void TPanelHost::Widen(QDockWidget& panel)
{
    // By the time a panel shows, the frame has been laid out with it.
    if (panel.isHidden() || panel.isFloating() || widened_.contains(&panel) || KeepsItsSize())
        return;
    const int room = RoomOf(panel);
    widened_.insert(&panel, room);
    ResizeWindowBy(room);
}

void TPanelHost::Narrow(QDockWidget& panel)
{
    const int room = widened_.take(&panel);
    if (room != 0 && !KeepsItsSize())
        ResizeWindowBy(-room);
}

void TPanelHost::ResizeWindowBy(int width)
{
    QWidget* frame = window();
    frame->resize(frame->width() + width, frame->height());
}
