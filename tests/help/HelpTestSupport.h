// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help pages as the tests see them: their files, anchors, links and text.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTextDocumentFragment>
#include <map>

#include "help/HelpContexts.h"

namespace canasta::test {

struct THelpPage {
    QString Name;      // "rules.html"
    QByteArray Bytes;  // as stored
    QString Html;
    QStringList Ids;    // every id="..." in document order
    QStringList Links;  // every href="..." and src="..."
    QString Text;       // the text a reader sees, whitespace simplified
};

inline THelpPage ReadHelpPage(const QString& name) {
    THelpPage p;
    p.Name = name;
    QFile f(QDir(HelpFolder()).filePath(name));
    if (f.open(QIODevice::ReadOnly)) p.Bytes = f.readAll();
    p.Html = QString::fromUtf8(p.Bytes);
    static const QRegularExpression id(QStringLiteral(R"re(\sid\s*=\s*"([^"]*)")re"));
    for (auto it = id.globalMatch(p.Html); it.hasNext();) p.Ids << it.next().captured(1);
    static const QRegularExpression link(QStringLiteral(R"re(\s(?:href|src)\s*=\s*"([^"]*)")re"));
    for (auto it = link.globalMatch(p.Html); it.hasNext();) p.Links << it.next().captured(1);
    p.Text = QTextDocumentFragment::fromHtml(p.Html).toPlainText().simplified();
    return p;
}

// Every page of the help folder, by file name.
inline const std::map<QString, THelpPage>& HelpPages() {
    static const std::map<QString, THelpPage> pages = [] {
        std::map<QString, THelpPage> m;
        const QStringList names = QDir(HelpFolder()).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
        for (const QString& n : names) m.emplace(n, ReadHelpPage(n));
        return m;
    }();
    return pages;
}

// A caption as the reader sees it: without the accelerator marks.
inline QString Caption(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text.simplified();
}

}  // namespace canasta::test
