// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a picture of the help window showing one page, for looking at the
// help as the program shows it:  helpshot <page[#anchor] | context number> <out.png>
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "help/HelpWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: helpshot <page[#anchor] | context number> <out.png>\n");
        return 2;
    }
    const QString what = QString::fromLocal8Bit(argv[1]);
    bool isNumber = false;
    const int number = what.toInt(&isNumber);
    const bool found = isNumber ? canasta::ShowHelpTopic(number) : canasta::ShowHelpPage(what);
    if (!found) std::fprintf(stderr, "helpshot: %s not found, showing the contents\n", argv[1]);
    canasta::TfmHelp* help = canasta::HelpWindow();
    help->resize(760, 640);
    QApplication::processEvents();
    const bool saved = help->grab().save(QString::fromLocal8Bit(argv[2]), "PNG");
    canasta::CloseHelp();
    return saved ? 0 : 1;
}
