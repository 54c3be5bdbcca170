// Draws the four skins' images into a folder with the resource list that rcc compiles into the
// programs: cartena-skin-artwork OUTPUT_FOLDER. Run on the offscreen platform at build time.
#include "ArtCatalogue.h"
#include "Utility/Skin.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);  // symbol texts need the font database
    if (argc != 2) {
        std::fprintf(stderr, "usage: cartena-skin-artwork OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    if (!output.mkpath("images")) {
        std::fprintf(stderr, "cannot make %s/images\n", argv[1]);
        return 1;
    }
    QString resources = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/skins\">\n";
    int written = 0;
    for (int skin = 0; skin < kArtSkinCount; ++skin) {
        std::vector<ArtFamily> families = buttonArtwork(skinPalette(skin));
        for (ArtFamily& family : panelArtwork(skinPalette(skin))) families.push_back(std::move(family));
        for (const ArtFamily& family : families) {
            const QStringList names = artFileNames(family);
            for (int state = 0; state < names.size(); ++state) {
                const QImage image = renderArt(family.size, [&](QPainter& p, const QRectF& box) {
                    family.paint(p, box, static_cast<ButtonState>(state));
                });
                const QString name = QString::fromStdString(pmGetSkinImageName(skin, names[state].toStdString()));
                const QString path = output.filePath("images/" + name);
                const bool saved = family.extension == ".bmp" ? image.convertToFormat(QImage::Format_RGB32).save(path, "BMP")
                                                              : image.save(path, "PNG");
                if (!saved) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                    return 1;
                }
                resources += QString("  <file alias=\"%1\">images/%1</file>\n").arg(name.toHtmlEscaped());
                ++written;
            }
        }
    }
    resources += "</qresource>\n</RCC>\n";
    QFile list(output.filePath("skins.qrc"));
    if (!list.open(QIODevice::WriteOnly | QIODevice::Truncate) || list.write(resources.toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(list.fileName()));
        return 1;
    }
    std::printf("%d skin images\n", written);
    return 0;
}
