#pragma once
// The command buttons of both windows share one look.

#include <QRect>
#include <QString>

class QAction;
class QWidget;
class TCustButton;

// A bevel button placed on `parent`, raised when up and sunk when down, with its object name
// and caption.
TCustButton* NewCommandButton(QWidget* parent, const QString& name, const QString& caption,
                              const QRect& geometry);

// The same button for a command's action: it shows the action's text without its mnemonic
// marks ("Translate && &Emulate" reads "Translate & Emulate") and is enabled with it, both kept
// up to date, and a click triggers the action.
TCustButton* NewCommandButton(QWidget* parent, const QString& name, QAction& action,
                              const QRect& geometry);
