#pragma once
// Help → Instruction reference: a window listing every instruction form, the line a student
// writes for it, its opcode, its bytes and what it does, with a filter field above the table.
// Non-modal; one per owner window, shown again rather than created again.

#include <QWidget>

class QLabel;
class QTableView;
class TInstructionReferenceModel;
class TFilterEdit;
class TFormFilterModel;

class TInstructionReference : public QWidget {
    Q_OBJECT
public:
    // A top-level window even with a parent; the parent only owns it and deletes it with itself.
    explicit TInstructionReference(QWidget* parent = nullptr);

    // The owner's reference window, created on the first call and reused after: shown, raised,
    // activated, with the keyboard in the filter field and its text selected.
    static TInstructionReference* ShowFor(QWidget* owner);

private:
    void CreateWidgets();
    void LayOutWidgets();
    void ConnectWidgets();
    void ApplyFilter(const QString& text);

    TFilterEdit* filter_ = nullptr;
    QLabel* count_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* legend_ = nullptr;
    TInstructionReferenceModel* model_ = nullptr;
    TFormFilterModel* proxy_ = nullptr;
};
