#pragma once

// The texts of the coordinate labels: general number text for the centres, rounded whole
// numbers for the intersection points.

#include <QLocale>
#include <QString>

#include "scene/point.h"

namespace circles {

/// A double as general number text: rounded to 15 significant digits, trailing zeros dropped,
/// no blanks, a minus sign ('-') before negative values, and the locale's decimal separator
/// between the whole and the fractional part. Whole values have no separator; values between
/// -1 and 1 have a zero before it. Digits are always ASCII.
///
/// Magnitudes of 1e15 and above, or below 1e-4, are written with an exponent instead: the
/// significant digits with the separator after the first, then 'E', the exponent's sign and
/// at least two exponent digits. Negative zero is written "0"; NaN and the infinities are
/// written "NaN", "Infinity" and "-Infinity".
///
///     GeneralNumberText(-12.5)                  "-12.5"
///     GeneralNumberText(0.25, QLocale::German)  "0,25"
///     GeneralNumberText(1.5e20)                 "1.5E+20"
///     GeneralNumberText(0.00001)                "1E-05"
QString GeneralNumberText(double value, const QLocale& locale = QLocale());

/// The label of a centre: "(X,Y)" with both coordinates as general number text.
///
///     CenterLabel({-12.5, 410})  "(-12.5,410)"
QString CenterLabel(PointXY p, const QLocale& locale = QLocale());

/// The label of an intersection point: "(X,Y)" with both coordinates rounded to the nearest
/// 32-bit integer, a tie going to the even neighbour. A coordinate whose rounding does not
/// fit, or that is not a number, raises the overflow error.
///
///     IntersectionLabel({150.5, 99.5})  "(150,100)"
///     IntersectionLabel({2.5, -0.5})    "(2,0)"
QString IntersectionLabel(PointXY p);

}  // namespace circles
