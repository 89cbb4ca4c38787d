// The label texts of an arbitrary point: the input's first byte picks a locale, the next 16
// bytes are X and Y. A centre label reads back as both coordinates to 15 significant digits,
// whatever the separator (make fuzz runs this under a C library locale whose decimal point is
// two bytes long). An intersection label reads back as the nearest integers, a tie going to
// the even one, unless a coordinate does not fit 32 bits and it raises the overflow error.
#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <QLocale>

#include "drawing/numbertext.h"
#include "scene/errors.h"

namespace {

void Require(bool holds, const char* what, const QString& text) {
    if (!holds) {
        std::fprintf(stderr, "%s: \"%s\"\n", what, text.toUtf8().constData());
        std::abort();
    }
}

// The number a whole text writes, with '.' as the separator; NaN when it is not one. Read
// wider than a double, since 15 digits of the largest doubles round beyond their range.
long double Read(const QString& text) {
    const std::string s = text.toStdString();
    long double value = std::nanl("");
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    return error == std::errc() && end == s.data() + s.size() ? value : std::nanl("");
}

// Whether "(X,Y)" writes the point, each number as near(read, value) says; with a comma for
// the separator, the comma between the numbers is one at which both halves read back.
template <typename Near>
bool WritesPoint(const QString& text, const QString& separator, circles::PointXY p, Near near) {
    for (auto comma = text.indexOf(','); comma > 0; comma = text.indexOf(',', comma + 1)) {
        const long double x = Read(text.mid(1, comma - 1).replace(separator, "."));
        const long double y =
            Read(text.mid(comma + 1, text.size() - comma - 2).replace(separator, "."));
        if (text.startsWith('(') && text.endsWith(')') && near(x, p.X) && near(y, p.Y)) {
            return true;
        }
    }
    return false;
}

}  // namespace

// The C library's locale comes from the environment, as the program's QApplication takes it.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    std::setlocale(LC_ALL, "");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QLocale kLocales[] = {QLocale(QLocale::Japanese), QLocale(QLocale::German),
                                       QLocale(QLocale::Pashto, QLocale::Afghanistan)};
    if (size < 1) {
        return 0;
    }
    const QLocale& locale = kLocales[data[0] % std::size(kLocales)];
    double xy[2] = {};
    std::memcpy(xy, data + 1, std::min(size - 1, sizeof xy));
    const circles::PointXY p{xy[0], xy[1]};

    if (std::isfinite(p.X) && std::isfinite(p.Y)) {
        const QString text = circles::CenterLabel(p, locale);
        const auto fifteenDigits = [](long double read, double value) {
            return std::fabs(read - value) <= 6e-15L * std::fabs(value);  // half a 15th digit
        };
        Require(WritesPoint(text, locale.decimalPoint(), p, fifteenDigits), "centre label", text);
    }
    try {
        const QString text = circles::IntersectionLabel(p);
        const auto nearestEven = [](long double read, double value) {
            const long double off = std::fabs(read - value);
            return off < 0.5L || (off == 0.5L && std::fmod(read, 2.0L) == 0.0L);
        };
        Require(WritesPoint(text, ".", p, nearestEven), "intersection label", text);
    } catch (const circles::RuntimeError& error) {
        Require(error.kind() == circles::ErrorKind::Overflow, "error kind", QString());
        Require(!(std::fabs(p.X) < 2147483647 && std::fabs(p.Y) < 2147483647), "overflow", "");
    }
    return 0;
}
