#include "ui/fonts.h"

#include <QStringList>

namespace circles {

QFont WindowFont(int pointSize) {
    // IPAPGothic comes with Debian's fonts-ipafont-gothic, which the build installs; the others
    // are the Japanese gothics other desktops commonly carry.
    static const bool substituted = [] {
        QFont::insertSubstitutions(
            QString::fromUtf8(kWindowFace),
            {QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic"),
             QStringLiteral("Noto Sans CJK JP"), QStringLiteral("TakaoPGothic")});
        return true;
    }();
    (void)substituted;
    QFont font(QString::fromUtf8(kWindowFace), pointSize, QFont::Normal, /*italic=*/false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace circles
