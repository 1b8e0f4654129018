#include "ClassicFont.h"

#include <QStringList>

QFont ClassicFont()
{
    static const bool substitutesRegistered = [] {
        // Liberation Sans and its relatives share Arial's widths, close to the original's;
        // DejaVu Sans, the usual last resort, is about a tenth wider.
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
