#pragma once
// Files dropped on the window: a drag that carries a local file is taken by the window and by
// its text panes alike (which would otherwise insert the file's name as text), and the
// drop is reported once the drag has finished, so that opening may ask questions.

#include <QObject>
#include <QString>

class QMimeData;
class QWidget;

class TFileDrop : public QObject {
    Q_OBJECT
public:
    explicit TFileDrop(QObject* parent = nullptr);

    // Takes file drags on the widget; for a scroll area pass its viewport, where drags arrive.
    void Watch(QWidget* widget);

    // The first local file the drag carries; empty when it carries none.
    static QString DraggedFile(const QMimeData* mime);

signals:
    void FileDropped(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
