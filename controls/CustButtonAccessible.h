#pragma once
// What assistive technology (a screen reader) sees of a bevel button: a push button named by
// its caption, with a press action and focus and pressed states.

#include <QAccessibleWidget>

class TCustButton;

class TCustButtonAccessible : public QAccessibleWidget {
public:
    explicit TCustButtonAccessible(TCustButton* button);

    // Name: an explicit accessibleName, else the caption exactly as drawn ("&" included).
    QString text(QAccessible::Text t) const override;
    // The widget's states, plus pressed while the button shows the down look.
    QAccessible::State state() const override;

    // pressAction first, then the widget's own (setFocusAction).
    QStringList actionNames() const override;
    // pressAction clicks once, as a mouse click does; a disabled or hidden button ignores it.
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    TCustButton* Button() const;
};

// Makes every TCustButton answer QAccessible::queryAccessibleInterface with a
// TCustButtonAccessible. Safe to call any number of times; each new button calls it.
void InstallCustButtonAccessibility();
