#include "ui/fonts.h"

#include <QStringList>

namespace circles {

void InstallFaceSubstitutes() {
    // IPAPGothic comes with Debian's fonts-ipafont-gothic, which the build installs; the others
    // are the Japanese gothics other desktops commonly carry.
    QFont::insertSubstitutions(
        QString::fromUtf8(kWindowFace),
        {QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic"),
         QStringLiteral("Noto Sans CJK JP"), QStringLiteral("TakaoPGothic")});
}

QFont WindowFont(int pointSize) {
    QFont font(QString::fromUtf8(kWindowFace), pointSize, QFont::Normal, /*italic=*/false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace circles
