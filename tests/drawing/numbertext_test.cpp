#include "drawing/numbertext.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "scene/errors.h"

namespace circles {
namespace {

struct NumberCase {
    double value;
    const char* point;  // with '.' as the separator
    const char* comma;  // with ','
};

// clang-format off
constexpr NumberCase kNumbers[] = {
    {100.0,                  "100",                 "100"},
    {-12.5,                  "-12.5",               "-12,5"},
    {410.0,                  "410",                 "410"},
    {0.0,                    "0",                   "0"},
    {-0.0,                   "0",                   "0"},
    {0.5,                    "0.5",                 "0,5"},
    {-0.25,                  "-0.25",               "-0,25"},
    {1.0 / 3.0,              "0.333333333333333",   "0,333333333333333"},
    {2.0 / 3.0,              "0.666666666666667",   "0,666666666666667"},  // rounded, not cut
    {123.456,                "123.456",             "123,456"},
    {0.1 + 0.2,              "0.3",                 "0,3"},  // 0.30000000000000004: 15 digits
    {150.13614893617,        "150.13614893617",     "150,13614893617"},
    {9.9999999999999982,     "10",                  "10"},   // the double below 10; rounding carries
    {-2147483648.0,          "-2147483648",         "-2147483648"},
    {123456789012345.0,      "123456789012345",     "123456789012345"},
    {999999999999999.4,      "999999999999999",     "999999999999999"},
    {999999999999999.9,      "1E+15",               "1E+15"},  // rounds up to 16 digits
    {1e15,                   "1E+15",               "1E+15"},
    {-1.5e20,                "-1.5E+20",            "-1,5E+20"},
    {1.7976931348623157e308, "1.79769313486232E+308", "1,79769313486232E+308"},
    {0.0001,                 "0.0001",              "0,0001"},
    {0.000123456,            "0.000123456",         "0,000123456"},
    {0.00001,                "1E-05",               "1E-05"},
    {-2.5e-7,                "-2.5E-07",            "-2,5E-07"},
    {5e-324,                 "4.94065645841247E-324", "4,94065645841247E-324"},
};
// clang-format on

TEST(GeneralNumberText, FollowsTheTable) {
    const QLocale point(QLocale::English, QLocale::UnitedStates);
    const QLocale comma(QLocale::German, QLocale::Germany);
    for (const NumberCase& c : kNumbers) {
        EXPECT_EQ(GeneralNumberText(c.value, point), QString::fromLatin1(c.point))
            << "value " << c.value;
        EXPECT_EQ(GeneralNumberText(c.value, comma), QString::fromLatin1(c.comma))
            << "value " << c.value;
    }
}

TEST(GeneralNumberText, JapaneseLocaleUsesAPoint) {
    EXPECT_EQ(GeneralNumberText(-12.5, QLocale(QLocale::Japanese, QLocale::Japan)), "-12.5");
}

TEST(GeneralNumberText, NamesValuesThatAreNotNumbers) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(GeneralNumberText(std::nan("")), "NaN");
    EXPECT_EQ(GeneralNumberText(inf), "Infinity");
    EXPECT_EQ(GeneralNumberText(-inf), "-Infinity");
}

TEST(CenterLabel, WritesBothCoordinatesWithoutBlanks) {
    const QLocale point(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(CenterLabel({100, 100}, point), "(100,100)");
    EXPECT_EQ(CenterLabel({-12.5, 410}, point), "(-12.5,410)");
    EXPECT_EQ(CenterLabel({0.5, -0.75}, QLocale(QLocale::French, QLocale::France)), "(0,5,-0,75)");
}

TEST(IntersectionLabel, RoundsTiesToEven) {
    struct Case {
        PointXY p;
        const char* text;
    };
    const Case cases[] = {
        {{150.5, 99.5}, "(150,100)"},
        {{2.5, -0.5}, "(2,0)"},
        {{150.13614893617, 293.61406529196}, "(150,294)"},
        {{-1.5, -2.5}, "(-2,-2)"},
        {{-2.6, 3.4999999}, "(-3,3)"},
        {{2147483647.4, -2147483648.4}, "(2147483647,-2147483648)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IntersectionLabel(c.p), QString::fromLatin1(c.text)) << c.text;
    }
}

TEST(IntersectionLabel, RaisesOverflowForCoordinatesOutOfRange) {
    const double inf = std::numeric_limits<double>::infinity();
    const PointXY bad[] = {
        {2147483647.5, 0}, {0, -2147483648.6}, {1e10, 0}, {0, std::nan("")}, {-inf, 0},
    };
    for (const PointXY& p : bad) {
        try {
            IntersectionLabel(p);
            ADD_FAILURE() << "no error for (" << p.X << ", " << p.Y << ")";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.kind(), ErrorKind::Overflow) << p.X << ", " << p.Y;
        }
    }
}

}  // namespace
}  // namespace circles
