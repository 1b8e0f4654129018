#include "window/ButtonBar.h"

#include "controls/CommandButton.h"
#include "controls/CustButton.h"
#include "window/WindowCommands.h"

TButtonBar::TButtonBar(const TWindowCommands& commands, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Panel3"));
    setFixedHeight(41);
    struct TButtonPlace {
        TCustButton** button;
        const char* name;
        QAction* action;
        QRect geometry;
    };
    const TButtonPlace places[] = {
        {&CustButton1, "CustButton1", commands.TranslateAction, QRect(6, 4, 73, 25)},
        {&CustButton2, "CustButton2", commands.TranslateAndEmulateAction, QRect(82, 4, 109, 25)},
        {&CustButton3, "CustButton3", commands.EmulateAction, QRect(194, 4, 59, 25)},
        {&CustButton4, "CustButton4", commands.PauseAction, QRect(256, 4, 49, 25)},
        {&CustButton5, "CustButton5", commands.StopAction, QRect(308, 4, 55, 25)},
    };
    for (const TButtonPlace& place : places) {
        *place.button = NewCommandButton(this, QString::fromLatin1(place.name), *place.action,
                                         place.geometry);
    }
    for (int i = 0; i + 1 < static_cast<int>(std::size(places)); ++i)
        setTabOrder(*places[i].button, *places[i + 1].button);
}
