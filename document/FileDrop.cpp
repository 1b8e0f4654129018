#include "document/FileDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

TFileDrop::TFileDrop(QObject* parent) : QObject(parent) {}

void TFileDrop::Watch(QWidget* widget)
{
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
}

QString TFileDrop::DraggedFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

bool TFileDrop::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* drag = static_cast<QDropEvent*>(event);
        const QString path = DraggedFile(drag->mimeData());
        if (path.isEmpty())
            break;
        drag->acceptProposedAction();
        if (event->type() == QEvent::Drop) {
            // Queued: the drag source waits for the drop to finish, and opening may ask first.
            QMetaObject::invokeMethod(
                this, [this, path] { emit FileDropped(path); }, Qt::QueuedConnection);
        }
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
