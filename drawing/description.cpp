#include "drawing/description.h"

#include <array>

#include "drawing/numbertext.h"

namespace circles {

namespace {

const std::array<const char*, 2> kCircleName{"青い円", "赤い円"};

// Where the circles meet, in the words of the picture's own labels.
QString DescribeCrossing(const Scene& scene, const CrossPoints& crossing) {
    const auto& [c0, c1] = scene.CenterPt;
    if (Coincide(c0, scene.Radius[0], c1, scene.Radius[1])) {
        return QString::fromUtf8("2 つの円は重なっています。");
    }
    const auto& [p1, p2] = crossing.CrossPt;
    switch (crossing.CrossCount) {
        case 1:
            return QString::fromUtf8("2 つの円は %1 で接しています。").arg(IntersectionLabel(p1));
        case 2:
            return QString::fromUtf8("交点は %1 と %2 です。")
                .arg(IntersectionLabel(p1), IntersectionLabel(p2));
        default:
            return QString::fromUtf8("2 つの円は交わりません。");
    }
}

}  // namespace

QString DescribePicture(const Scene& scene, const CrossPoints& crossing) {
    QString text;
    for (std::size_t i = 0; i < kCircleName.size(); ++i) {
        text += QString::fromUtf8("%1は中心 %2、半径 %3。")
                    .arg(QString::fromUtf8(kCircleName[i]), CenterLabel(scene.CenterPt[i]),
                         GeneralNumberText(scene.Radius[i]));
    }
    return text + DescribeCrossing(scene, crossing) +
           QString::fromUtf8(
               "矢印キーで青い円の中心を、Ctrl キーを押しながら矢印キーで赤い円の中心を 1 "
               "ピクセルずつ (Shift キーも押すと 10 ピクセルずつ) 動かせ、タッチ操作では指で"
               "なぞると青い円の中心を、長押ししてからなぞると赤い円の中心を動かせます。");
}

}  // namespace circles
