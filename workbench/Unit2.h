#pragma once
// The input dialog: one numeric field and the buttons "Enter" and "Halt". Created once, hidden,
// and shown for every input request; the field keeps its text between requests.

#include <QDialog>

class TCustButton;
class TNumEdit;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    // "Enter" with a valid number and the close box end the dialog with the toolkit's cancel
    // result; "Halt" with its own result, which is none of the toolkit's.
    static constexpr int CancelResult = 2;
    static constexpr int HaltResult = -11;

    explicit TForm2(QWidget* parent = nullptr);

    // The field's text, returned to the worker whatever the result.
    QString Text() const;

    void CustButton1Click();
    void CustButton2Click();

    TNumEdit* NumEdit1 = nullptr;
    TCustButton* CustButton1 = nullptr;
    TCustButton* CustButton2 = nullptr;

public slots:
    // The close box (and any other cancel request) ends with the cancel result, unvalidated.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateWidgets();
    void ConnectWidgets();
};
