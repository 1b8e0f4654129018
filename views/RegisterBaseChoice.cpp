#include "views/RegisterBaseChoice.h"

#include "views/RegisterListView.h"

#include <QAction>
#include <QActionGroup>
#include <QSettings>

namespace {

const QString Key = QStringLiteral("registerBase");

struct TStoredBase {
    TRegisterBase base;
    const char* text;
};

constexpr TStoredBase StoredBases[] = {
    {TRegisterBase::SignedDecimal, "signedDecimal"},
    {TRegisterBase::Hexadecimal, "hexadecimal"},
    {TRegisterBase::UnsignedDecimal, "unsignedDecimal"},
};

// The settings' spelling of a base, and back; an unknown text is signed decimal.
QString StoredText(TRegisterBase base)
{
    for (const TStoredBase& stored : StoredBases)
        if (stored.base == base)
            return QString::fromLatin1(stored.text);
    return QString::fromLatin1(StoredBases[0].text);
}

TRegisterBase FromStoredText(const QString& text)
{
    for (const TStoredBase& stored : StoredBases)
        if (text == QLatin1String(stored.text))
            return stored.base;
    return TRegisterBase::SignedDecimal;
}

} // namespace

TRegisterBaseChoice::TRegisterBaseChoice(QActionGroup& choices, QSettings& settings,
                                         QObject* parent)
    : QObject(parent), choices_(choices), settings_(settings),
      base_(FromStoredText(settings.value(Key).toString()))
{
    for (QAction* action : choices_.actions())
        if (static_cast<TRegisterBase>(action->data().toInt()) == base_)
            action->setChecked(true);
    connect(&choices_, &QActionGroup::triggered, this,
            &TRegisterBaseChoice::Choose);
}

void TRegisterBaseChoice::AddView(TRegisterListView& view)
{
    views_.append(&view);
    view.SetBase(base_);
    view.SetBaseActions(choices_.actions());
}

void TRegisterBaseChoice::Choose(QAction* action)
{
    base_ = static_cast<TRegisterBase>(action->data().toInt());
    for (TRegisterListView* view : views_)
        view->SetBase(base_);
    settings_.setValue(Key, StoredText(base_));
}
