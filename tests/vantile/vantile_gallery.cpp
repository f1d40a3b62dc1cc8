// A window of sample markers (each edge kind, several colours and captions), created through the
// component layer as the program creates them. With a file name it saves a screen grab there
// and ends; without one it stays open.

#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string>

#include "vantile/ComponentHost.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Vantile samples"));
    window.resize(520, 300);
    const std::array<std::uint32_t, 5> colours{0x00C0C0C0, 0x00C0C0FF, 0x0080FFFF, 0x00FF8000,
                                               0x8000000F};
    const std::array<const char*, 5> captions{"R", "3b", "13#", "Major", ""};
    for (int edge = 0; edge <= 4; ++edge) {
        for (int c = 0; c < 5; ++c) {
            vantile::PropertyBag bag;
            bag.Write("backcolor", static_cast<std::int32_t>(colours[static_cast<size_t>(c)]));
            bag.Write("edge", static_cast<std::int32_t>(edge));
            bag.Write("caption", std::string(captions[static_cast<size_t>(c)]));
            if (c < 3) {
                bag.Write("font", vantile::FontDesc{"Terminal", 6.0, true, false, 255});
            }
            QWidget* control = vantile::CreateControl(vantile::kVantileProgId, &window, &bag);
            if (control == nullptr) {
                return 1;
            }
            const bool small = c < 3;
            control->setGeometry(10 + c * 100, 10 + edge * 56, small ? 18 * 2 : 80,
                                 small ? 25 * 2 - 10 : 44);
        }
    }
    window.show();
    if (argc > 1) {
        const QString file = QString::fromLocal8Bit(argv[1]);
        QTimer::singleShot(500, [&window, &app, file] {
            const QPixmap shot = window.screen()->grabWindow(window.winId());
            shot.save(file);
            // The edges pixel by pixel: the small markers four times as large.
            shot.copy(0, 0, 260, 300)
                .scaled(1040, 1200, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                .save(file + QStringLiteral(".zoom.png"));
            app.quit();
        });
    }
    return app.exec();
}
