#include "common/Tints.h"

QColor Blend(const QColor& a, const QColor& b, double t)
{
    const auto mix = [t](double x, double y) { return x + (y - x) * t; };
    QColor result = QColor::fromRgbF(static_cast<float>(mix(a.redF(), b.redF())),
                                     static_cast<float>(mix(a.greenF(), b.greenF())),
                                     static_cast<float>(mix(a.blueF(), b.blueF())));
    result.setAlphaF(a.alphaF());
    return result;
}

QColor ChangeTint(const QPalette& palette, QPalette::ColorGroup group)
{
    constexpr double SelectionShare = 0.35;
    // Whole 8-bit channels, as the views paint it: the colour read back from a painted cell
    // is the colour given.
    return QColor(Blend(palette.color(group, QPalette::Base),
                        palette.color(group, QPalette::Highlight), SelectionShare)
                      .rgb());
}
