#include "scene/intersection.h"

#include "scene/checked.h"

namespace circles {

namespace {

// pi to 15 significant digits, and the angles derived from it. It is not the double nearest
// to pi (that one is larger by about 3.1e-15); the directions below are formed from this one
// so that vertical centre lines get exactly these angles.
constexpr double kPi = 3.14159265358979;
constexpr double kHalfPi = kPi / 2;
constexpr double kThreeHalvesPi = 3 * kPi / 2;

// A horizontal offset between the centres up to this many pixels counts as a nearly vertical
// centre line: its direction is not taken from the arctangent of the slope dy / dx, which
// grows without bound as dx shrinks and overflows for a subnormal dx.
constexpr double kVerticalThreshold = 0.001;

/// The angle of the slope dy / dx, turned by pi when the line points left.
CheckedDouble SlopeAngle(CheckedDouble dx, CheckedDouble dy) {
    CheckedDouble theta = Atan(dy / dx);
    if (dx < 0.0) {
        theta = theta + kPi;
    }
    return theta;
}

/// The direction of the line from (0, 0) to (dx, dy), as an angle from the positive X axis
/// towards the positive Y axis, between -pi/2 and 3pi/2.
CheckedDouble DirectionAngle(CheckedDouble dx, CheckedDouble dy) {
    if (Abs(dx) > kVerticalThreshold) {
        return SlopeAngle(dx, dy);
    }
    if (dx == 0.0) {
        if (dy > 0.0) {
            return kHalfPi;
        }
        if (dy < 0.0) {
            return kThreeHalvesPi;
        }
        return 0.0;
    }
    // Nearly vertical but not exactly. Taking the line as straight up or down would turn the
    // points about C1 by about dx / d radians, far off the circles when d is small too (0.001 px
    // across and 0.002 px apart is 30 degrees). The angle is measured from the vertical
    // instead, through the small tangent dx / dy; where dy is smaller still, the slope dy / dx
    // is the small one.
    if (Abs(dy) >= Abs(dx)) {
        return (dy > 0.0 ? kHalfPi : kThreeHalvesPi) - Atan(dx / dy);
    }
    return SlopeAngle(dx, dy);
}

/// The point at distance r from (x, y) in the direction of angle.
PointXY PointAt(CheckedDouble x, CheckedDouble y, CheckedDouble r, CheckedDouble angle) {
    const CheckedDouble px = r * Cos(angle) + x;
    const CheckedDouble py = r * Sin(angle) + y;
    return {px.value(), py.value()};
}

}  // namespace

bool Coincide(const PointXY& C1, double r1, const PointXY& C2, double r2) {
    return C1 == C2 && r1 == r2;
}

std::int32_t CalcIntersection(PointXY& P1, PointXY& P2, const PointXY& C1, const double& r1,
                              const PointXY& C2, const double& r2) {
    if (Coincide(C1, r1, C2, r2)) {
        return 0;
    }
    const CheckedDouble x1 = C1.X;
    const CheckedDouble y1 = C1.Y;
    const CheckedDouble x2 = C2.X;
    const CheckedDouble y2 = C2.Y;
    const CheckedDouble R1 = r1;
    const CheckedDouble R2 = r2;

    const CheckedDouble d = Sqrt(Square(x1 - x2) + Square(y1 - y2));

    // Existence. All three conditions are evaluated, and each is written so that a NaN fails
    // the first and the third and passes the second; a NaN anywhere therefore gives 0.
    const bool close_enough = R1 + R2 >= d;
    const bool not_inside = !(Abs(R1 - R2) > d);
    const CheckedDouble radius_product = R1 * R2;
    const bool non_zero_radii = radius_product < 0.0 || radius_product > 0.0;
    if (!(close_enough && not_inside && non_zero_radii)) {
        return 0;
    }
    // Centres so close that their distance rounds to 0 (a subnormal apart) give no direction to
    // turn from: report no point rather than dividing 0 by 0 below.
    if (d == 0.0) {
        return 0;
    }

    // Law of cosines: c is the cosine of the angle at C1 between the centre line and the line
    // to either intersection point.
    const CheckedDouble c = (Square(d) + Square(R1) - Square(R2)) / ((R1 + R1) * d);
    const CheckedDouble sine_squared = 1.0 - Square(c);

    // Half-angle at C1. |c| >= 1 means the circles touch (or rounding took |c| a hair past 1
    // for circles that touch): the angle is 0 when C1 lies outside the second circle, and pi
    // when it lies inside it and the touching point is on the far side of C1 from C2.
    // A right angle (c = 0) has an infinite tangent, so it is taken directly.
    const bool touching = sine_squared <= 0.0;
    CheckedDouble alpha = kHalfPi;
    if (touching) {
        alpha = c > 0.0 ? 0.0 : kPi;
    } else if (c != 0.0) {
        alpha = Atan(Sqrt(sine_squared) / c);
        if (alpha < 0.0) {
            alpha = alpha + kPi;
        }
    }

    const CheckedDouble theta = DirectionAngle(x2 - x1, y2 - y1);

    if (touching) {
        // One point, computed once, so that rounding in cos and sin cannot split it in two.
        const PointXY point = PointAt(x1, y1, R1, theta + alpha);
        P1 = point;
        P2 = point;
        return 1;
    }

    // Both points are computed before either is written, so that a fault leaves P1 and P2
    // as they were.
    const PointXY right = PointAt(x1, y1, R1, theta + alpha);
    const PointXY left = PointAt(x1, y1, R1, theta - alpha);
    P1.X = right.X;
    P1.Y = right.Y;
    P2.X = left.X;
    P2.Y = left.Y;
    return P1 == P2 ? 1 : 2;
}

}  // namespace circles
