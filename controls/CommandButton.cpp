#include "controls/CommandButton.h"

#include "controls/CustButton.h"

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
