#pragma once
// A push button that draws itself: a bevel frame that switches between an up and a down look,
// the caption centred in the client area, and a dotted focus rectangle.

#include <QFont>
#include <QKeySequence>
#include <QString>
#include <QWidget>

#include <array>

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum class TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
enum TBevelEdge : unsigned { beLeft = 1, beTop = 2, beRight = 4, beBottom = 8 };
using TBevelEdges = unsigned;
inline constexpr TBevelEdges beAllEdges = beLeft | beTop | beRight | beBottom;

class QPainter;

class TCustButton : public QWidget {
    Q_OBJECT
public:
    explicit TCustButton(QWidget* parent = nullptr);

    QString Caption() const;
    // Repaints at once, so that the new caption is centred again.
    void SetCaption(const QString& caption);
    bool Down() const;
    // Shows the down look (true) or the up look (false); a click never changes it.
    void SetDown(bool down);

    // Up-set setters write into the frame at once, whatever the state.
    TBevelCut UpBevelInner() const { return up_.inner; }
    TBevelCut UpBevelOuter() const { return up_.outer; }
    TBevelKind UpBevelKind() const { return up_.kind; }
    TBevelEdges UpBevelEdges() const { return up_.edges; }
    void SetUpBevelInner(TBevelCut cut);
    void SetUpBevelOuter(TBevelCut cut);
    void SetUpBevelKind(TBevelKind kind);
    void SetUpBevelEdges(TBevelEdges edges);

    // Down-set setters only store; the value shows at the next change to the down state.
    TBevelCut DownBevelInner() const { return down_.inner; }
    TBevelCut DownBevelOuter() const { return down_.outer; }
    TBevelKind DownBevelKind() const { return down_.kind; }
    TBevelEdges DownBevelEdges() const { return down_.edges; }
    void SetDownBevelInner(TBevelCut cut);
    void SetDownBevelOuter(TBevelCut cut);
    void SetDownBevelKind(TBevelKind kind);
    void SetDownBevelEdges(TBevelEdges edges);

    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width); // at least 1
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width); // at least 0

    // The frame values currently drawn (one of the two sets, or what an Up setter wrote).
    TBevelCut FrameInner() const { return frame_.inner; }
    TBevelCut FrameOuter() const { return frame_.outer; }
    TBevelKind FrameKind() const { return frame_.kind; }
    TBevelEdges FrameEdges() const { return frame_.edges; }

    // The area inside the frame and the border, in widget coordinates.
    QRect ClientRect() const;
    // The caption's own font; the widget's and its parent's font settings are not used.
    const QFont& CanvasFont() const { return canvasFont_; }

    // The character after the last single "&" of caption, or a null QChar when none is marked.
    static QChar AcceleratorOf(const QString& caption);
    // Alt with the caption's accelerator key as a key sequence; empty when none is marked.
    QKeySequence AcceleratorKey() const;

    // Raises OnClick as a mouse click on the button does, in the down look while the handler
    // runs; then the button returns to the look it had (up, unless a held mouse button or
    // Space keeps it down). Used by assistive technology; the focus stays where it is.
    // Does nothing when the button cannot take the focus (hidden or disabled).
    void ClickAsMouse();

    QSize sizeHint() const override;

signals:
    void OnClick();
    void OnDblClick();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct TBevelSet {
        TBevelCut inner;
        TBevelCut outer;
        TBevelKind kind;
        TBevelEdges edges;

        bool operator==(const TBevelSet&) const = default;
    };

    void ChangeState(bool down);
    // Stores one value of the up set and draws it at once; only a real change repaints.
    template <typename T>
    void SetUpBevel(T TBevelSet::*field, T value);
    void Click();
    bool CanFocus() const;
    bool TakeFocusForPress();
    void StartPress(bool clickCandidate);
    void SetPointerInside(bool inside);
    void PointerLeft();
    void PointerEntered();
    void UpdateAccelerator();
    static bool IsDialogKey(const QKeyEvent& event);
    bool IsAcceleratorShortcut(int shortcutId) const;

    int FrameThickness() const;
    void PaintFrame(QPainter& painter) const;
    void PaintCaption(QPainter& painter) const;
    void PaintFocusRect(QPainter& painter) const;

    QString caption_;
    bool isDown_ = false;
    bool repress_ = false;
    bool clickCandidate_ = false;
    bool pressActive_ = false;
    bool pointerInside_ = false;
    // A Space press reached this button; only then does a Space release click it.
    bool spaceArmed_ = false;
    TBevelSet frame_{TBevelCut::bvRaised, TBevelCut::bvNone, TBevelKind::bkTile, beAllEdges};
    TBevelSet up_ = frame_;
    TBevelSet down_{TBevelCut::bvNone, TBevelCut::bvLowered, TBevelKind::bkTile, beAllEdges};
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    QFont canvasFont_;
    // Alt, Alt+Shift, Alt+Ctrl and Alt+Ctrl+Shift with the accelerator key; 0 where not grabbed.
    std::array<int, 4> acceleratorIds_{};
};
