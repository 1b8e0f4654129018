#include "editor/EditorGutter.h"

#include "editor/CodeEditor.h"

#include <QHelpEvent>
#include <QMouseEvent>

TEditorGutter::TEditorGutter(TCodeEditor* editor) : QWidget(editor), editor_(editor)
{
    setObjectName(QStringLiteral("Gutter"));
}

QSize TEditorGutter::sizeHint() const
{
    return {editor_->GutterWidth(), 0};
}

void TEditorGutter::paintEvent(QPaintEvent* event)
{
    editor_->PaintGutter(event);
}

bool TEditorGutter::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        editor_->ShowGutterToolTip(static_cast<QHelpEvent*>(event));
        return true;
    }
    return QWidget::event(event);
}

void TEditorGutter::mousePressEvent(QMouseEvent* event)
{
    editor_->ClickGutter(event);
    if (!event->isAccepted())
        QWidget::mousePressEvent(event);
}
