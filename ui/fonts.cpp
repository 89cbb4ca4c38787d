#include "ui/fonts.h"

#include <QDir>
#include <QFontDatabase>
#include <QStringList>

namespace circles {

namespace {

QStringList& carriedFaces() {
    static QStringList faces;
    return faces;
}

}  // namespace

QFont WindowFont(int pointSize) {
    static const bool substituted = [] {
        // First the faces the program carries itself, under :/fonts: the web page carries its
        // own, since a browser lends Qt none. Then IPAPGothic, which comes with Debian's
        // fonts-ipafont-gothic (`make run` and `make test` install it, as the package depends
        // on it); then the Japanese gothics other Linux desktops commonly carry; last the
        // Japanese faces of Windows, for one without the face itself (outside Japan its
        // Japanese fonts are optional).
        const QDir carried(QStringLiteral(":/fonts"));
        for (const QString& file : carried.entryList(QDir::Files)) {
            carriedFaces() += QFontDatabase::applicationFontFamilies(
                QFontDatabase::addApplicationFont(carried.filePath(file)));
        }
        QStringList faces = carriedFaces();
        faces += {QStringLiteral("IPAPGothic"),       QStringLiteral("VL PGothic"),
                  QStringLiteral("Noto Sans CJK JP"), QStringLiteral("TakaoPGothic"),
                  QStringLiteral("MS UI Gothic"),     QStringLiteral("Meiryo UI"),
                  QStringLiteral("Yu Gothic UI")};
        QFont::insertSubstitutions(QString::fromUtf8(kWindowFace), faces);
        return true;
    }();
    (void)substituted;
    QFont font(QString::fromUtf8(kWindowFace), pointSize, QFont::Normal, /*italic=*/false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // A carried face is drawn by Qt's own FreeType, which hints fully unless asked: it is hinted
    // lightly, as Debian's desktops hint the face, so that the texts look as they do there.
    if (!carriedFaces().isEmpty()) {
        font.setHintingPreference(QFont::PreferVerticalHinting);
    }
    return font;
}

}  // namespace circles
