#include "drawing/numbertext.h"

#include <limits>

#include <gtest/gtest.h>

#include "scene/errors.h"

namespace circles {
namespace {

TEST(NumberText, WritesCentreLabelsInTheLocalesSeparator) {
    const QLocale point(QLocale::Japanese, QLocale::Japan);
    const QLocale comma(QLocale::German, QLocale::Germany);
    const struct {
        double value;
        const char* text;  // with '.' for the separator
    } cases[] = {
        {100, "100"},
        {-12.5, "-12.5"},
        {-0.0, "0"},
        {-0.25, "-0.25"},
        {2.0 / 3.0, "0.666666666666667"},  // rounded to 15 digits, not cut
        {0.1 + 0.2, "0.3"},                // 0.30000000000000004
        {9.9999999999999982, "10"},        // the double below 10; the rounding carries
        {999999999999999.4, "999999999999999"},
        {999999999999999.9, "1E+15"},
        {-1.5e20, "-1.5E+20"},
        {0.0001, "0.0001"},
        {-2.5e-7, "-2.5E-07"},
        {std::numeric_limits<double>::quiet_NaN(), "NaN"},
        {-std::numeric_limits<double>::infinity(), "-Infinity"},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(GeneralNumberText(c.value, point), text) << c.text;
        EXPECT_EQ(GeneralNumberText(c.value, comma), QString(text).replace('.', ',')) << c.text;
    }
    EXPECT_EQ(CenterLabel({-12.5, 410}, point), "(-12.5,410)");
    EXPECT_EQ(CenterLabel({0.5, -0.75}, comma), "(0,5,-0,75)");
}

TEST(NumberText, RoundsIntersectionLabelsHalfToEven) {
    const struct {
        PointXY p;
        const char* text;  // nullptr when the rounding does not fit 32 bits
    } cases[] = {
        {{150.5, 99.5}, "(150,100)"},  {{2.5, -0.5}, "(2,0)"},
        {{-1.5, 293.614}, "(-2,294)"}, {{2147483647.4, -2147483648.4}, "(2147483647,-2147483648)"},
        {{2147483647.5, 0}, nullptr},  {{0, std::numeric_limits<double>::quiet_NaN()}, nullptr},
    };
    for (const auto& c : cases) {
        try {
            EXPECT_EQ(IntersectionLabel(c.p), QString::fromLatin1(c.text));
        } catch (const RuntimeError& e) {
            EXPECT_EQ(c.text, nullptr) << e.what();
            EXPECT_EQ(e.kind(), ErrorKind::Overflow);
        }
    }
}

}  // namespace
}  // namespace circles
