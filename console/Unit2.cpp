#include "console/Unit2.h"

#include "common/ErrorBox.h"
#include "controls/ClassicFont.h"
#include "controls/CommandButton.h"
#include "controls/CustButton.h"
#include "controls/NumEdit.h"
#include "translator/NumberText.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>

#include <algorithm>

TForm2::TForm2(QWidget* parent) : QDialog(parent)
{
    CreateWidgets();
    ConnectWidgets();
}

void TForm2::CreateWidgets()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Form2"));
    // Small caption with a close box, not resizable.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    // The main window decides when the program ends; an open dialog must not keep it alive.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(ClassicFont());
    move(396, 283);
    setFixedSize(126, 50);

    NumEdit1 = new TNumEdit(this);
    NumEdit1->setObjectName(QStringLiteral("NumEdit1"));
    NumEdit1->setAccessibleName(QStringLiteral("Value"));
    NumEdit1->SetIsFloat(false);
    NumEdit1->SetIsSigned(false);
    NumEdit1->SetMinValue(0);
    NumEdit1->SetMaxValue(0);
    NumEdit1->setText(QStringLiteral("0"));
    NumEdit1->setGeometry(2, 2, 121, 21);

    CustButton1 = NewCommandButton(this, QStringLiteral("CustButton1"), QStringLiteral("Enter"),
                                   QRect(3, 24, 62, 25));

    CustButton2 = NewCommandButton(this, QStringLiteral("CustButton2"), QStringLiteral("Halt"),
                                   QRect(65, 24, 59, 25));

    setTabOrder(NumEdit1, CustButton1);
    setTabOrder(CustButton1, CustButton2);
}

void TForm2::ConnectWidgets()
{
    connect(CustButton1, &TCustButton::OnClick, this, &TForm2::CustButton1Click);
    connect(CustButton2, &TCustButton::OnClick, this, &TForm2::CustButton2Click);
}

QString TForm2::Text() const
{
    return NumEdit1->text();
}

void TForm2::SetOwnerWindow(QWidget* window)
{
    owner_ = window;
}

void TForm2::Open()
{
    setResult(0);
    CentreOverOwner();
    // The button last used would otherwise keep the focus, and typed digits go nowhere.
    NumEdit1->setFocus(Qt::OtherFocusReason);
    NumEdit1->selectAll();
    show();
    raise();
    activateWindow();
}

void TForm2::CentreOverOwner()
{
    QWidget* owner = owner_ ? owner_->window() : QApplication::activeWindow();
    if (!owner || owner == this || !owner->isVisible())
        return;
    QRect frame(QPoint(), frameGeometry().size());
    frame.moveCenter(owner->frameGeometry().center());
    if (const QScreen* screen = owner->screen()) {
        const QRect area = screen->availableGeometry();
        frame.moveLeft(std::clamp(frame.left(), area.left(), area.right() - frame.width() + 1));
        frame.moveTop(std::clamp(frame.top(), area.top(), area.bottom() - frame.height() + 1));
    }
    move(frame.topLeft());
}

void TForm2::Dismiss()
{
    done(EnteredResult);
}

void TForm2::CustButton1Click()
{
    try {
        StrToInt(Text().toStdString());
    } catch (const std::exception& error) {
        ShowErrorBox(this, QString::fromStdString(error.what()));
        return;
    }
    done(EnteredResult);
}

void TForm2::CustButton2Click()
{
    done(HaltResult);
}

void TForm2::reject()
{
    done(EnteredResult);
}

void TForm2::keyPressEvent(QKeyEvent* event)
{
    // Escape closes a QDialog, but this dialog has no cancel button: the key does nothing
    // unless a focused button takes it.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
