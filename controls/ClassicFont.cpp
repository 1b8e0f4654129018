#include "controls/ClassicFont.h"

#include <QStringList>

QFont ClassicFont()
{
    static const bool substitutesRegistered = [] {
        // Liberation Sans, Arimo and Nimbus Sans share Arial's advance widths, which at 11
        // pixels come close to MS Sans Serif's; DejaVu Sans, the usual last resort, is about a
        // tenth wider.
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("Nimbus Sans"), QStringLiteral("Arial"),
                                    QStringLiteral("DejaVu Sans")});
        return true;
    }();
    (void)substitutesRegistered;
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}
