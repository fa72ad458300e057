// Writes the program's icon for the desktop's icon theme:
// OUT/hicolor/NxN/apps/tandu.png, one file per size given.
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

#include "Artwork.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: tandu_icons OUT SIZE...\n", stderr);
        return 2;
    }
    QGuiApplication application(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int side = QByteArray(argv[i]).toInt();
        const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(out).arg(side);
        const QPixmap icon =
            tandu::qt::Artwork::picture(QStringLiteral("tandu"), QSize(side, side), 1.0);
        if (side <= 0 || !QDir().mkpath(folder) ||
            !icon.save(folder + QStringLiteral("/tandu.png"), "PNG", 9)) {
            std::fprintf(stderr, "tandu_icons: cannot write the %s pixel icon\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
