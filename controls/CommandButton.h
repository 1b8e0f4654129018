#pragma once
// The command buttons of both windows share one look.

#include <QRect>
#include <QString>

class QWidget;
class TCustButton;

// A bevel button placed on `parent`, raised when up and sunk when down, with its object name
// and caption.
TCustButton* NewCommandButton(QWidget* parent, const QString& name, const QString& caption,
                              const QRect& geometry);
