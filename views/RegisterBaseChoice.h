#pragma once
// The register list's base as the user chose it, from the View menu or the list's context
// menu: the list follows the checked action of the base choices at once (each action carries
// its TRegisterBase as data), and the
// choice is kept in the application's settings, so the next window starts with it. A stored
// value this program does not know (an older or hand-edited file) reads as signed decimal.

#include "emulator/RegisterText.h"

#include <QList>
#include <QObject>

class QAction;
class QActionGroup;
class QSettings;
class TRegisterListView;

class TRegisterBaseChoice : public QObject {
    Q_OBJECT
public:
    // Checks the stored base's action. The choices and the settings must outlive this object.
    TRegisterBaseChoice(QActionGroup& choices, QSettings& settings, QObject* parent = nullptr);

    // The list shows the chosen base from now on, and its context menu offers the choices.
    // The list must outlive this object.
    void AddView(TRegisterListView& view);

private:
    void Choose(QAction* action);

    QActionGroup& choices_;
    QSettings& settings_;
    TRegisterBase base_ = TRegisterBase::SignedDecimal;
    QList<TRegisterListView*> views_;
};
