#pragma once
// A one-line field for whole numbers: typed and pasted characters are filtered, Value reads
// and writes the text as an integer, and an optional range is enforced when the field is left.

#include <QLineEdit>

#include <cstdint>

class TNumEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TNumEdit(QWidget* parent = nullptr);

    // The text as a decimal (or prefixed hexadecimal) integer; MinValue when it is not one.
    std::int32_t Value() const;
    // Sets the text to the decimal form of the clamped value.
    void SetValue(std::int32_t value);
    // value limited to [MinValue, MaxValue]; unchanged when the two bounds are equal.
    std::int32_t Clamp(std::int32_t value) const;

    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool enabled) { editorEnabled_ = enabled; }
    bool IsFloat() const { return isFloat_; }
    void SetIsFloat(bool isFloat) { isFloat_ = isFloat; }
    bool IsHex() const { return isHex_; }
    void SetIsHex(bool isHex) { isHex_ = isHex; }
    bool IsSigned() const { return isSigned_; }
    void SetIsSigned(bool isSigned) { isSigned_ = isSigned; }
    std::int32_t Increment() const { return increment_; }
    void SetIncrement(std::int32_t increment) { increment_ = increment; }
    std::int32_t MinValue() const { return minValue_; }
    void SetMinValue(std::int32_t value) { minValue_ = value; }
    std::int32_t MaxValue() const { return maxValue_; }
    void SetMaxValue(std::int32_t value) { maxValue_ = value; }
    // Whether entering the field other than by a left click selects its whole text.
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool autoSelect) { autoSelect_ = autoSelect; }

    // True when ch may enter the field. In signed mode a minus sign toggles the leading "-"
    // of the text as a side effect (and is itself still refused).
    virtual bool CheckChar(char32_t ch);
    // Adds Increment to Value (saturating); on a read-only field it only beeps.
    virtual void Increase();
    // Subtracts Increment from Value (saturating); on a read-only field it only beeps.
    virtual void Decrease();

    // Inserts the clipboard's acceptable characters in place of the selection.
    void PasteFromClipboard();
    // Cuts the selection when the editor is enabled and the field is not read-only.
    void CutToClipboard();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PasteText(const QString& text);
    void StepBy(std::int64_t delta);
    static bool IsFieldKey(const QKeyEvent& event);

    bool editorEnabled_ = true;
    bool isFloat_ = false;
    bool isHex_ = false;
    bool isSigned_ = false;
    std::int32_t increment_ = 1;
    std::int32_t minValue_ = 0;
    std::int32_t maxValue_ = 0;
    bool autoSelect_ = true;
    // The field lost the focus only to an activated window or popup and still holds its place.
    bool focusParked_ = false;
};
