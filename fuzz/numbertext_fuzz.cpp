// Fuzzes the label texts. The input's first byte picks a locale, the next 16 bytes are a point
// (X, then Y; shorter inputs are padded with zero bytes). Properties:
//   - GeneralNumberText writes only ASCII digits, '-', the locale's decimal separator and an
//     exponent "E+dd"/"E-dd", in the documented shape, and reads back as exactly the value
//     rounded to 15 significant digits; NaN and the infinities get their fixed words;
//   - CenterLabel is "(X,Y)" with both coordinates reading back the same way (with a comma
//     separator the label is read at every comma until one split gives both numbers);
//   - IntersectionLabel is "(X,Y)" with the coordinates rounded to the nearest integer, a tie
//     going to the even one, written in plain decimal digits; when a rounding does not fit
//     in 32 bits, or a coordinate is not a number, it raises the overflow error instead.
// The C library's locale is taken from the environment at start, as the program's
// QApplication does, so that a run under a locale with an unusual decimal point (make fuzz
// uses ps_AF.UTF-8, whose separator is the two-byte U+066B) shows whether the texts depend on
// it. The expected values are worked out here independently: the 15-digit rounding with
// std::to_chars, the integer rounding from floor().
#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include <QLocale>
#include <QString>

#include "drawing/numbertext.h"
#include "scene/errors.h"

namespace {

using circles::PointXY;

struct Input {
    std::uint8_t locale = 0;
    double x = 0;
    double y = 0;
};

/// A double in full, independent of the C library's locale.
std::string Show(double value) {
    char buffer[64];
    return {buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr};
}

[[noreturn]] void Fail(const Input& in, const QString& text, const char* what) {
    std::fprintf(stderr, "property broken: %s\n  point (%s, %s), locale byte %u\n  text \"%s\"\n",
                 what, Show(in.x).c_str(), Show(in.y).c_str(), static_cast<unsigned>(in.locale),
                 text.toUtf8().constData());
    std::abort();
}

/// Locales with a point, a comma and non-ASCII decimal separators.
const QLocale& PickLocale(std::uint8_t selector) {
    static const std::array<QLocale, 7> locales{
        QLocale::c(),
        QLocale(QLocale::Japanese, QLocale::Japan),
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::Arabic, QLocale::Egypt),
        QLocale(QLocale::Persian, QLocale::Iran),
    };
    return locales[selector % locales.size()];
}

/// The value rounded to 15 significant digits. Read back as a long double, whose range and
/// precision hold every such decimal exactly enough to tell it from its neighbours, including
/// 1.79769313486232E+308, which lies beyond the largest double.
long double RoundedTo15Digits(double value) {
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    long double rounded = 0;
    std::from_chars(buffer, written.ptr, rounded);
    return rounded;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

/// Reads a general number text written with the given decimal separator. Returns nothing when
/// the text does not have the shape: [-] whole [sep fraction] [E sign digits], where the whole
/// part has no leading zero (a lone 0 is fine), the fraction does not end in 0, the exponent
/// has at least two digits, and there are at most 15 significant digits. An exponent form
/// has a single non-zero digit before the separator.
std::optional<long double> ReadGeneralNumber(QString text, const QString& separator) {
    if (text.contains(QLatin1Char('.')) && separator != QLatin1String(".")) {
        return std::nullopt;
    }
    text.replace(separator, QLatin1String("."));
    const QByteArray ascii = text.toLatin1();
    if (QString::fromLatin1(ascii) != text) {
        return std::nullopt;  // something beyond Latin-1 besides the separator
    }
    const std::string_view s(ascii.constData(), static_cast<std::size_t>(ascii.size()));
    std::size_t i = 0;
    if (i < s.size() && s[i] == '-') {
        ++i;
    }
    const std::size_t wholeStart = i;
    while (i < s.size() && IsDigit(s[i])) {
        ++i;
    }
    const std::string_view whole = s.substr(wholeStart, i - wholeStart);
    if (whole.empty() || (whole.size() > 1 && whole[0] == '0')) {
        return std::nullopt;
    }
    std::string_view fraction;
    if (i < s.size() && s[i] == '.') {
        const std::size_t fractionStart = ++i;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
        }
        fraction = s.substr(fractionStart, i - fractionStart);
        if (fraction.empty() || fraction.back() == '0') {
            return std::nullopt;
        }
    }
    bool exponentForm = false;
    if (i < s.size() && s[i] == 'E') {
        exponentForm = true;
        if (++i >= s.size() || (s[i] != '+' && s[i] != '-')) {
            return std::nullopt;
        }
        const std::size_t exponentStart = ++i;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
        }
        if (i - exponentStart < 2) {
            return std::nullopt;
        }
        if (whole.size() != 1 || whole[0] == '0') {
            return std::nullopt;
        }
    }
    if (i != s.size()) {
        return std::nullopt;
    }
    // Significant digits: from the first non-zero digit, trailing zeros of a whole number
    // included only when they are needed to place the separator.
    std::string digits = std::string(whole) + std::string(fraction);
    digits.erase(0, digits.find_first_not_of('0'));
    if (fraction.empty() && !exponentForm) {
        digits.erase(digits.find_last_not_of('0') + 1);
    }
    if (digits.size() > 15) {
        return std::nullopt;
    }
    long double value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return value;
}

/// Checks GeneralNumberText(value) and returns its text.
QString CheckGeneralNumberText(const Input& in, double value, const QLocale& locale) {
    QString text = circles::GeneralNumberText(value, locale);
    if (std::isnan(value) || std::isinf(value)) {
        const char* word = std::isnan(value) ? "NaN" : value < 0 ? "-Infinity" : "Infinity";
        if (text != QLatin1String(word)) {
            Fail(in, text, "not-a-number or infinity not written as its word");
        }
        return text;
    }
    const std::optional<long double> read = ReadGeneralNumber(text, locale.decimalPoint());
    if (!read) {
        Fail(in, text, "general number text of the wrong shape");
    }
    const long double expected = RoundedTo15Digits(value);
    if (*read != expected || std::signbit(*read) != (value < 0)) {
        Fail(in, text, "general number text does not read back as the value to 15 digits");
    }
    // The plain form covers the decimal exponents -4 to 14 of the rounded value.
    const long double magnitude = std::fabs(expected);
    const bool plain = magnitude == 0 || (magnitude >= 1e-4L && magnitude < 1e15L);
    if (plain == text.contains(QLatin1Char('E'))) {
        Fail(in, text, "exponent form used for the wrong magnitude");
    }
    return text;
}

void CheckCenterLabel(const Input& in, const QLocale& locale) {
    const QString x = CheckGeneralNumberText(in, in.x, locale);
    const QString y = CheckGeneralNumberText(in, in.y, locale);
    const QString label = circles::CenterLabel({in.x, in.y}, locale);
    if (!label.startsWith(QLatin1Char('(')) || !label.endsWith(QLatin1Char(')'))) {
        Fail(in, label, "centre label not in brackets");
    }
    const QString inner = label.mid(1, label.size() - 2);
    const auto matches = [&](const QString& part, double value) {
        if (std::isnan(value) || std::isinf(value)) {
            return part == circles::GeneralNumberText(value, locale);
        }
        const std::optional<long double> read = ReadGeneralNumber(part, locale.decimalPoint());
        return read && *read == RoundedTo15Digits(value);
    };
    for (qsizetype comma = inner.indexOf(QLatin1Char(',')); comma >= 0;
         comma = inner.indexOf(QLatin1Char(','), comma + 1)) {
        if (matches(inner.left(comma), in.x) && matches(inner.mid(comma + 1), in.y)) {
            return;
        }
    }
    Fail(in, label, "centre label does not read back as its two coordinates");
}

/// The nearest 32-bit integer, a tie going to the even one; nothing when it does not fit or
/// the value is not a number.
std::optional<std::int32_t> RoundedToInt32(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const double below = std::floor(value);
    const double above = below + 1;  // exact wherever the value has a fractional part
    const double excess = value - below;
    double nearest = below;
    if (excess > 0.5 || (excess == 0.5 && std::fmod(below, 2.0) != 0.0)) {
        nearest = above;
    }
    if (nearest < -2147483648.0 || nearest > 2147483647.0) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(nearest);
}

void CheckIntersectionLabel(const Input& in) {
    const std::optional<std::int32_t> x = RoundedToInt32(in.x);
    const std::optional<std::int32_t> y = RoundedToInt32(in.y);
    QString label;
    try {
        label = circles::IntersectionLabel({in.x, in.y});
    } catch (const circles::RuntimeError& e) {
        if (e.kind() != circles::ErrorKind::Overflow) {
            Fail(in, QString::fromUtf8(e.what()),
                 "intersection label raised an error other than overflow");
        }
        if (x && y) {
            Fail(in, QString::fromUtf8(e.what()),
                 "intersection label raised overflow for a point that fits");
        }
        return;
    }
    if (!x || !y) {
        Fail(in, label, "intersection label written for a point that does not fit 32 bits");
    }
    // Plain decimal digits with a minus sign only before a negative number: no "-0", no
    // leading zeros, no blanks or group separators.
    const std::string expected = "(" + std::to_string(*x) + "," + std::to_string(*y) + ")";
    if (label != QLatin1String(expected.c_str())) {
        Fail(in, label, "intersection label does not read back as the rounded coordinates");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    const char* name = std::setlocale(LC_ALL, "");
    std::fprintf(stderr, "C library locale: %s, decimal point \"%s\"\n",
                 name ? name : "(unchanged)", std::localeconv()->decimal_point);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in;
    std::uint8_t bytes[17] = {};
    std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
    in.locale = bytes[0];
    std::memcpy(&in.x, bytes + 1, sizeof in.x);
    std::memcpy(&in.y, bytes + 9, sizeof in.y);

    try {
        CheckCenterLabel(in, PickLocale(in.locale));
        CheckIntersectionLabel(in);
    } catch (const circles::RuntimeError& e) {
        Fail(in, QString::fromUtf8(e.what()), "a centre label raised an error");
    } catch (const std::exception& e) {
        Fail(in, QString::fromUtf8(e.what()),
             "an exception other than circles::RuntimeError escaped");
    }
    return 0;
}
