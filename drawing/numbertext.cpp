#include "drawing/numbertext.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include <QByteArray>

#include "scene/checked.h"

namespace circles {

namespace {

// Decimal exponents of the plain form; anything outside gets an exponent.
constexpr int kSmallestPlainExponent = -4;
constexpr int kLargestPlainExponent = 14;
constexpr int kSignificantDigits = 15;

QLatin1String Latin1(std::string_view text) {
    return QLatin1String(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString GeneralNumberText(double value, const QLocale& locale) {
    if (std::isnan(value)) {
        return QStringLiteral("NaN");
    }
    if (std::isinf(value)) {
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    }
    if (value == 0.0) {
        return QStringLiteral("0");  // also for negative zero
    }

    // Scientific form with 14 decimals rounds correctly to 15 significant digits and tells the
    // decimal exponent of the rounded value (9.999999999999999 becomes 1.00000000000000e+01).
    // Qt's conversion always writes '.', whatever the C library's locale: under a locale whose
    // decimal point is two bytes long, snprintf's would shift every digit after it.
    const QByteArray formatted = QByteArray::number(std::fabs(value), 'e', kSignificantDigits - 1);
    const char* scientific = formatted.constData();
    char digits[kSignificantDigits];
    digits[0] = scientific[0];
    for (int i = 1; i < kSignificantDigits; ++i) {
        digits[i] = scientific[i + 1];  // skip the '.'
    }
    const int exponent = std::atoi(scientific + kSignificantDigits + 2);  // after "e"
    int count = kSignificantDigits;
    while (count > 1 && digits[count - 1] == '0') {
        --count;
    }
    const std::string_view significant(digits, static_cast<std::size_t>(count));
    const QString separator = locale.decimalPoint();

    QString text;
    text.reserve(32);
    if (value < 0) {
        text += QLatin1Char('-');
    }
    if (exponent < kSmallestPlainExponent || exponent > kLargestPlainExponent) {
        text += QLatin1Char(significant[0]);
        if (count > 1) {
            text += separator;
            text += Latin1(significant.substr(1));
        }
        char tail[16];
        std::snprintf(tail, sizeof tail, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        text += QLatin1String(tail);
    } else if (exponent >= 0) {
        const auto wholeDigits = static_cast<std::size_t>(exponent) + 1;
        if (significant.size() <= wholeDigits) {
            text += Latin1(significant);
            text +=
                QString(static_cast<qsizetype>(wholeDigits - significant.size()), QLatin1Char('0'));
        } else {
            text += Latin1(significant.substr(0, wholeDigits));
            text += separator;
            text += Latin1(significant.substr(wholeDigits));
        }
    } else {
        text += QLatin1Char('0');
        text += separator;
        text += QString(-exponent - 1, QLatin1Char('0'));
        text += Latin1(significant);
    }
    return text;
}

QString CenterLabel(PointXY p, const QLocale& locale) {
    return QLatin1Char('(') + GeneralNumberText(p.X, locale) + QLatin1Char(',') +
           GeneralNumberText(p.Y, locale) + QLatin1Char(')');
}

QString IntersectionLabel(PointXY p) {
    const std::int32_t x = RoundToInt32(p.X);
    const std::int32_t y = RoundToInt32(p.Y);
    return QLatin1Char('(') + QString::number(x) + QLatin1Char(',') + QString::number(y) +
           QLatin1Char(')');
}

}  // namespace circles
