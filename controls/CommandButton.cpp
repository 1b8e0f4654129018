#include "controls/CommandButton.h"

#include "controls/CustButton.h"

#include <QAction>

TCustButton* NewCommandButton(QWidget* parent, const QString& name, const QString& caption,
                              const QRect& geometry)
{
    auto* button = new TCustButton(parent);
    button->setObjectName(name);
    button->SetCaption(caption);
    button->setGeometry(geometry);
    button->SetUpBevelInner(TBevelCut::bvRaised);
    button->SetUpBevelOuter(TBevelCut::bvNone);
    button->SetDownBevelInner(TBevelCut::bvNone);
    button->SetDownBevelOuter(TBevelCut::bvLowered);
    button->SetDown(false);
    return button;
}

TCustButton* NewCommandButton(QWidget* parent, const QString& name, QAction& action,
                              const QRect& geometry)
{
    TCustButton* button = NewCommandButton(parent, name, QString(), geometry);
    const auto follow = [button, &action] {
        // Qt's icon text is the menu text with its mnemonic marks taken out.
        button->SetCaption(action.iconText());
        button->setEnabled(action.isEnabled());
    };
    follow();
    QObject::connect(&action, &QAction::changed, button, follow);
    QObject::connect(button, &TCustButton::OnClick, &action, &QAction::trigger);
    return button;
}
