#pragma once
// The input dialog: one numeric field and the buttons "Enter" and "Halt". Created once, hidden,
// and shown for every input request; the field keeps its text between requests.

#include "session/InputPrompt.h"

#include <QDialog>
#include <QPointer>

class TCustButton;
class TNumEdit;

class TForm2 : public QDialog, public IInputPrompt {
    Q_OBJECT
public:
    // The results the dialog finishes with. "Enter" with a valid number and the close box give
    // EnteredResult (2); "Halt" gives HaltResult (-11), on which the current run is paused.
    // Neither is QDialog::Accepted (1) or QDialog::Rejected (0).
    static constexpr int EnteredResult = 2;
    static constexpr int HaltResult = -11;

    explicit TForm2(QWidget* parent = nullptr);

    // The field's text, returned to the worker whatever the result.
    QString Text() const;

    // The window the dialog appears over at each request; without one, the active window.
    void SetOwnerWindow(QWidget* window);

    // IInputPrompt: shown without a result yet, in front and active, centred over its owner
    // window wherever that is now, the focus in the field with the field's text selected;
    // dismissed like "Enter" but unvalidated.
    void Open() override;
    void Dismiss() override;

    void CustButton1Click();
    void CustButton2Click();

    TNumEdit* NumEdit1 = nullptr;
    TCustButton* CustButton1 = nullptr;
    TCustButton* CustButton2 = nullptr;

public slots:
    // The close box (and any other cancel request) ends with EnteredResult, unvalidated.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateWidgets();
    void ConnectWidgets();
    // Moves the dialog over the middle of the owner window, kept on that window's screen.
    void CentreOverOwner();

    QPointer<QWidget> owner_;
};
