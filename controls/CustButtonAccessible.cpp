#include "controls/CustButtonAccessible.h"

#include "controls/CustButton.h"

#include <QAccessible>

namespace {

QAccessibleInterface* CustButtonFactory(const QString& className, QObject* object)
{
    // Asked once per class of the object's hierarchy, most derived first, so a subclass of the
    // button gets this interface too unless a factory knows it better.
    if (className != QLatin1StringView(TCustButton::staticMetaObject.className()))
        return nullptr;
    auto* button = qobject_cast<TCustButton*>(object);
    return button ? new TCustButtonAccessible(button) : nullptr;
}

} // namespace

TCustButtonAccessible::TCustButtonAccessible(TCustButton* button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

TCustButton* TCustButtonAccessible::Button() const
{
    return static_cast<TCustButton*>(widget());
}

QString TCustButtonAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name:
        // The button draws "&" as a character, so the caption needs no mnemonic stripping.
        return widget()->accessibleName().isEmpty() ? Button()->Caption() : widget()->accessibleName();
    case QAccessible::Accelerator:
        return Button()->AcceleratorKey().toString(QKeySequence::NativeText);
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::State TCustButtonAccessible::state() const
{
    QAccessible::State st = QAccessibleWidget::state();
    st.pressed = Button()->Down();
    return st;
}

QStringList TCustButtonAccessible::actionNames() const
{
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void TCustButtonAccessible::doAction(const QString& actionName)
{
    if (actionName == pressAction())
        Button()->ClickAsMouse();
    else
        QAccessibleWidget::doAction(actionName);
}

QStringList TCustButtonAccessible::keyBindingsForAction(const QString& actionName) const
{
    if (actionName != pressAction())
        return QAccessibleWidget::keyBindingsForAction(actionName);
    const QKeySequence key = Button()->AcceleratorKey();
    return key.isEmpty() ? QStringList() : QStringList{key.toString(QKeySequence::NativeText)};
}

void InstallCustButtonAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(CustButtonFactory);
        return true;
    }();
    (void)installed;
}
