#pragma once
// The strip left of a code editor's text that shows line numbers or listing addresses, the
// line marks and breakpoints. It lives in the editor's viewport margin and leaves all painting,
// tooltips and clicks to its editor, which knows the lines.

#include <QWidget>

class TCodeEditor;

class TEditorGutter : public QWidget {
    Q_OBJECT
public:
    explicit TEditorGutter(TCodeEditor* editor);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TCodeEditor* editor_;
};
