// Program entry: the application, the settings store, the table window.
#include <QApplication>
#include <QCommandLineParser>

#include "store/RegistryEnhanced.h"
#include "table/CanMain.h"

using namespace canasta;

namespace {

// Holds what outlives every window but the table: the settings store.
struct TdmMain {
    TRegistryEnhanced Registry;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Canasta"));
    QApplication::setApplicationVersion(QStringLiteral("4.13"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Two-handed Canasta against the computer."));
    parser.addHelpOption();
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                  QStringLiteral("Save the window as a PNG file once the first hand is dealt, then quit."),
                                  QStringLiteral("file"));
    QCommandLineOption size(QStringLiteral("size"),
                            QStringLiteral("Window size: 0 = 640x480, 1 = 800x600, 2 = 1024x768, 3 = 1280x1024."),
                            QStringLiteral("n"));
    parser.addOption(screenshot);
    parser.addOption(size);
    parser.process(app);

    TStartOptions options;
    options.ScreenshotFile = parser.value(screenshot);
    if (parser.isSet(size)) {
        bool ok = false;
        const int n = parser.value(size).toInt(&ok);
        if (!ok || n < 0 || n >= kSizeCount) {
            fprintf(stderr, "canasta: --size must be 0, 1, 2 or 3\n");
            return 2;
        }
        options.ForcedSize = n;
    }

    TdmMain dm;
    TfmCanMain fm(dm.Registry, options);
    fm.show();
    return app.exec();
}
