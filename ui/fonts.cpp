#include "ui/fonts.h"

#include <QStringList>

namespace circles {

QFont WindowFont(int pointSize) {
    // IPAPGothic comes with Debian's fonts-ipafont-gothic, which the build installs; then the
    // Japanese gothics other Linux desktops commonly carry; last the Japanese faces of Windows,
    // for one without the face itself (outside Japan its Japanese fonts are optional).
    static const bool substituted = [] {
        QFont::insertSubstitutions(QString::fromUtf8(kWindowFace),
                                   {QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic"),
                                    QStringLiteral("Noto Sans CJK JP"),
                                    QStringLiteral("TakaoPGothic"), QStringLiteral("MS UI Gothic"),
                                    QStringLiteral("Meiryo UI"), QStringLiteral("Yu Gothic UI")});
        return true;
    }();
    (void)substituted;
    QFont font(QString::fromUtf8(kWindowFace), pointSize, QFont::Normal, /*italic=*/false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace circles
