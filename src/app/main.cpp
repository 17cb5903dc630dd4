// SPDX-License-Identifier: GPL-3.0-or-later
// Program entry: the application, the parts that outlive the window, the table window.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "Version.h"
#include "app/AppRoot.h"
#include "app/QuitSignals.h"
#include "help/HelpContexts.h"
#include "media/MediaFiles.h"
#include "table/CanMain.h"
#include "table/CanMainNet.h"

using namespace canasta;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Canasta"));
    QApplication::setApplicationVersion(QLatin1String(kReleaseVersion));
    // The desktop file and icon the window belongs to.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.canasta.Canasta"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Two-handed Canasta against the computer."));
    parser.addHelpOption();
    QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save the window as a PNG file once the first hand is dealt, then quit."),
        QStringLiteral("file"));
    QCommandLineOption size(QStringLiteral("size"),
                            QStringLiteral("Window size: 0 = 640x480, 1 = 800x600, 2 = 1024x768, 3 = 1280x1024."),
                            QStringLiteral("n"));
    parser.addOption(screenshot);
    parser.addOption(size);
    QCommandLineOption dataFolder(
        QStringLiteral("data-folder"),
        QStringLiteral("Print the folders of the shipped sounds, music and help, then quit."));
    parser.addOption(dataFolder);
    // Scripted play: a bot in the player's seat and the connection made without questions.
    QCommandLineOption autoplay(QStringLiteral("autoplay"),
                                QStringLiteral("Let a bot play this seat: greedy or random."),
                                QStringLiteral("strategy"));
    QCommandLineOption listen(QStringLiteral("listen"), QStringLiteral("Wait for another instance to connect."));
    QCommandLineOption connectTo(QStringLiteral("connect"), QStringLiteral("Connect to the instance at this address."),
                                 QStringLiteral("address"));
    QCommandLineOption quitAfterMatch(QStringLiteral("quit-after-match"), QStringLiteral("End after the Game Over."));
    QCommandLineOption quitAfterHands(QStringLiteral("quit-after-hands"), QStringLiteral("End after this many hands."),
                                      QStringLiteral("n"));
    QCommandLineOption port(QStringLiteral("port"), QStringLiteral("The game's port (default 31415)."),
                            QStringLiteral("n"));
    QCommandLineOption seed(QStringLiteral("seed"),
                            QStringLiteral("Scripted play: deal and play from this seed, to replay a run."),
                            QStringLiteral("n"));
    QCommandLineOption noWelcome(QStringLiteral("no-welcome"),
                                 QStringLiteral("Do not open the welcome window at start-up (for tests)."));
    for (const QCommandLineOption* o :
         {&autoplay, &listen, &connectTo, &quitAfterMatch, &quitAfterHands, &port, &seed, &noWelcome})
        parser.addOption(*o);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A saved game (.can) to continue."),
                                 QStringLiteral("[file]"));
    parser.process(app);
    if (parser.isSet(dataFolder)) {
        printf("data: %s\nsounds: %s\nmusic: %s\nhelp: %s\n", ShippedDataFolder().c_str(), ShippedSoundFolder().c_str(),
               ShippedMusicFolder().c_str(), qPrintable(HelpFolder()));
        return 0;
    }

    TStartOptions options;
    options.ScreenshotFile = parser.value(screenshot);
    options.Arguments = parser.positionalArguments();
    if (parser.isSet(size)) {
        bool ok = false;
        const int n = parser.value(size).toInt(&ok);
        if (!ok || n < 0 || n >= kSizeCount) {
            fprintf(stderr, "canasta: --size must be 0, 1, 2 or 3\n");
            return 2;
        }
        options.ForcedSize = n;
    }

    TNetStartOptions net;
    net.Autoplay = parser.value(autoplay);
    net.Listen = parser.isSet(listen);
    net.ConnectTo = parser.value(connectTo);
    net.QuitAfterMatch = parser.isSet(quitAfterMatch);
    net.QuitAfterHands = parser.value(quitAfterHands).toInt();
    net.Port = parser.value(port);
    if (parser.isSet(seed)) {
        bool ok = false;
        const uint32_t n = parser.value(seed).toUInt(&ok);
        if (!ok) {
            fprintf(stderr, "canasta: --seed must be a number from 0 to 4294967295\n");
            return 2;
        }
        net.Seed = n;
    }
    const QString first = options.Arguments.value(0);
    if (const int at = first.indexOf(QLatin1String("/ip:")); at >= 0) net.IpArgument = first.mid(at + 4);
    if (!net.Autoplay.isEmpty()) options.SplashMs = 100;
    // Scripted runs have nobody to welcome.
    options.Welcome = !parser.isSet(noWelcome) && net.Autoplay.isEmpty() && !net.Listen && net.ConnectTo.isEmpty();

    // Settings problems met before the window exists wait for it.
    TfmCanMain* window = nullptr;
    QStringList early;
    auto report = [&](const std::string& message) {
        const QString text = QString::fromStdString(message);
        if (window)
            window->ReportSettingsProblem(text);
        else
            early << text;
    };
    // Installed before anything can start the audio library, which would
    // otherwise take these signals for itself.
    bool signalled = false;
    TQuitSignals quitSignals([&window, &signalled](int) {
        if (window)
            window->QuitBySignal();
        else
            signalled = true;
    });

    // Built in this order, the window goes before the parts it works with.
    TAppRoot root(report);
    TfmCanMain fm(root.Parts(), options);
    window = &fm;
    for (const QString& text : early) fm.ReportSettingsProblem(text);
    if (signalled) fm.QuitBySignal();
    fm.Network().Configure(net);
    fm.show();
    const int code = app.exec();
    window = nullptr;
    return code;
}
