// SPDX-License-Identifier: GPL-3.0-or-later
// The help pages hang together: every link and anchor resolves, every page is
// reachable from the contents, and every help context number of the program
// leads to a page with a "What's This?" text.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <algorithm>
#include <QStringDecoder>
#include <QUrl>
#include <set>

#include "help/HelpTestSupport.h"

namespace canasta {
namespace {

using test::HelpPages;
using test::THelpPage;

const THelpPage& Page(const QString& name) {
    static const THelpPage none;
    const auto it = HelpPages().find(name);
    return it == HelpPages().end() ? none : it->second;
}

TEST(HelpPages, FolderHoldsTheContentsAndTheContextTable) {
    const QDir folder(HelpFolder());
    ASSERT_TRUE(folder.exists()) << HelpFolder().toStdString();
    EXPECT_TRUE(QFileInfo(folder.filePath("index.html")).isFile());
    EXPECT_TRUE(QFileInfo(folder.filePath("contexts.txt")).isFile());
    EXPECT_TRUE(QFileInfo(folder.filePath("style.css")).isFile());
    EXPECT_GE(HelpPages().size(), 20u);
}

TEST(HelpPages, EveryPageIsUtf8WithATitleAndTheStyleSheet) {
    static const QRegularExpression title(QStringLiteral("<title>([^<]+)</title>"));
    for (const auto& [name, page] : HelpPages()) {
        SCOPED_TRACE(name.toStdString());
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8.decode(page.Bytes);
        EXPECT_FALSE(utf8.hasError());
        EXPECT_TRUE(page.Html.startsWith(QStringLiteral("<!DOCTYPE html>")));
        EXPECT_TRUE(page.Html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
        EXPECT_TRUE(
            page.Html.contains(QStringLiteral("<link rel=\"stylesheet\" type=\"text/css\" href=\"style.css\">")));
        const auto m = title.match(page.Html);
        ASSERT_TRUE(m.hasMatch());
        EXPECT_FALSE(m.captured(1).trimmed().isEmpty());
        // One heading per page, and the page's text is not empty.
        EXPECT_EQ(page.Html.count(QStringLiteral("<h1>")), 1);
        EXPECT_GT(page.Text.size(), 400);
        // Balanced paragraphs and tables catch a lost closing tag.
        EXPECT_EQ(page.Html.count(QStringLiteral("<table")), page.Html.count(QStringLiteral("</table>")));
        EXPECT_EQ(page.Html.count(QStringLiteral("<ul")), page.Html.count(QStringLiteral("</ul>")));
        EXPECT_EQ(page.Html.count(QStringLiteral("<ol")), page.Html.count(QStringLiteral("</ol>")));
        EXPECT_EQ(page.Html.count(QStringLiteral("<dl")), page.Html.count(QStringLiteral("</dl>")));
        EXPECT_EQ(page.Html.count(QStringLiteral("<a ")), page.Html.count(QStringLiteral("</a>")));
    }
}

TEST(HelpPages, AnchorsAreUniqueWithinAPage) {
    for (const auto& [name, page] : HelpPages()) {
        std::set<QString> seen;
        for (const QString& id : page.Ids)
            EXPECT_TRUE(seen.insert(id).second) << name.toStdString() << "#" << id.toStdString();
    }
}

TEST(HelpPages, EveryLinkLeadsToAFileAndAnAnchorOfTheHelp) {
    const QDir folder(HelpFolder());
    int checked = 0;
    for (const auto& [name, page] : HelpPages()) {
        for (const QString& link : page.Links) {
            SCOPED_TRACE((name + " -> " + link).toStdString());
            const QUrl url(link);
            ASSERT_TRUE(url.isValid());
            // The help is read without a network: no links that leave it.
            ASSERT_TRUE(url.scheme().isEmpty());
            ASSERT_FALSE(link.startsWith(QLatin1Char('/')));
            const QString file = url.path().isEmpty() ? name : url.path();
            ASSERT_FALSE(file.contains(QLatin1Char('/')));
            ASSERT_TRUE(QFileInfo(folder.filePath(file)).isFile());
            if (url.hasFragment()) {
                const THelpPage& target = Page(file);
                EXPECT_TRUE(target.Ids.contains(url.fragment())) << "no anchor " << url.fragment().toStdString();
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 150);
}

TEST(HelpPages, EveryPageIsListedInTheContents) {
    const THelpPage& index = Page(QStringLiteral("index.html"));
    for (const auto& [name, page] : HelpPages()) {
        if (name == QLatin1String("index.html")) continue;
        EXPECT_TRUE(index.Links.contains(name)) << name.toStdString() << " is missing from the contents";
        EXPECT_TRUE(page.Links.contains(QStringLiteral("index.html"))) << name.toStdString() << " has no way back";
    }
}

TEST(HelpPages, TalkToPlayersOnly) {
    // The pages are for players: no words of the development documents.
    static const QRegularExpression internal(QStringLiteral(R"(\bspec(ification)?s?\b|\bPart \d+\.\d+|\bTODO\b)"),
                                             QRegularExpression::CaseInsensitiveOption);
    for (const auto& [name, page] : HelpPages())
        EXPECT_FALSE(internal.match(page.Html).hasMatch()) << name.toStdString();
    QFile contexts(QDir(HelpFolder()).filePath("contexts.txt"));
    ASSERT_TRUE(contexts.open(QIODevice::ReadOnly));
    EXPECT_FALSE(internal.match(QString::fromUtf8(contexts.readAll())).hasMatch());
}

// ---------------------------------------------------------------- contexts.txt

TEST(HelpContexts, ParsesNumbersPagesAnchorsAndTexts) {
    THelpContexts t;
    QString error;
    ASSERT_TRUE(t.Parse(QStringLiteral("# comment\n\n1200 rules.html  The   rule switches.\n"
                                       "  1205 rules.html#natural-pair Two naturals.\r\n"),
                        &error))
        << error.toStdString();
    ASSERT_EQ(t.All().size(), 2u);
    const THelpContext* a = t.Find(1200);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Page, "rules.html");
    EXPECT_TRUE(a->Anchor.isEmpty());
    EXPECT_EQ(a->Text, "The rule switches.");
    EXPECT_EQ(a->Line, 3);
    const THelpContext* b = t.Find(1205);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Anchor, "natural-pair");
    EXPECT_EQ(b->Text, "Two naturals.");
    EXPECT_EQ(t.Find(1), nullptr);
}

TEST(HelpContexts, RefusesBrokenLinesAndKeepsTheGoodOnes) {
    const char* broken[] = {
        "12x rules.html Text.",      // not a number
        "1200 rules.html",           // no text
        "1200 ../rules.html Text.",  // outside the folder
        "1200 rules.html# Text.",    // empty anchor
        "-4 rules.html Text.",       // not positive
    };
    for (const char* line : broken) {
        THelpContexts t;
        QString error;
        EXPECT_FALSE(t.Parse(QString::fromUtf8(line), &error)) << line;
        EXPECT_TRUE(error.contains("line 1")) << error.toStdString();
        EXPECT_TRUE(t.Empty());
    }
    THelpContexts t;
    QString error;
    EXPECT_FALSE(
        t.Parse(QStringLiteral("1000 index.html One.\n1000 rules.html Two.\n1001 basics.html Three."), &error));
    EXPECT_TRUE(error.contains("line 2")) << error.toStdString();
    ASSERT_NE(t.Find(1000), nullptr);
    EXPECT_EQ(t.Find(1000)->Page, "index.html");  // the first one stays
    EXPECT_NE(t.Find(1001), nullptr);
}

TEST(HelpContexts, TheShippedTableParses) {
    THelpContexts t;
    QString error;
    EXPECT_TRUE(t.Load(QDir(HelpFolder()).filePath("contexts.txt"), &error)) << error.toStdString();
    EXPECT_EQ(t.All().size(), HelpContexts().All().size());
    EXPECT_FALSE(THelpContexts().Load(QStringLiteral("/nonexistent/contexts.txt")));
}

TEST(HelpContexts, EveryNumberOfTheProgramHasAPageAnAnchorAndAText) {
    const THelpContexts& table = HelpContexts();
    std::set<int> seen;
    for (int number : KnownHelpContexts()) {
        SCOPED_TRACE(number);
        EXPECT_TRUE(seen.insert(number).second) << "number used twice";
        const THelpContext* c = table.Find(number);
        ASSERT_NE(c, nullptr) << "no line in contexts.txt";
        const THelpPage& page = Page(c->Page);
        ASSERT_FALSE(page.Name.isEmpty()) << c->Page.toStdString() << " is not a help page";
        if (!c->Anchor.isEmpty()) {
            EXPECT_TRUE(page.Ids.contains(c->Anchor)) << c->Page.toStdString() << "#" << c->Anchor.toStdString();
        }
        EXPECT_GE(c->Text.size(), 15);
        EXPECT_TRUE(c->Text.endsWith(QLatin1Char('.'))) << c->Text.toStdString();
    }
}

TEST(HelpContexts, EveryLineOfTheTableIsANumberOfTheProgram) {
    const std::vector<int>& known = KnownHelpContexts();
    for (const auto& [number, c] : HelpContexts().All())
        EXPECT_NE(std::find(known.begin(), known.end(), number), known.end())
            << number << " (contexts.txt line " << c.Line << ") is not named in HelpContexts.h";
}

TEST(HelpContexts, TheConnectDialogsHelpButtonTopics) {
    // The Help button of "Connect to Opponent" opens 1112 with "Internet"
    // chosen and 1113 with "LAN".
    EXPECT_EQ(int(hcConnectHelpInternet), 1112);
    EXPECT_EQ(int(hcConnectHelpLan), 1113);
    const THelpContext* internet = HelpContexts().Find(1112);
    const THelpContext* lan = HelpContexts().Find(1113);
    ASSERT_TRUE(internet && lan);
    EXPECT_EQ(internet->Page + "#" + internet->Anchor, "network.html#internet");
    EXPECT_EQ(lan->Page + "#" + lan->Anchor, "network.html#lan");
}

TEST(HelpContexts, TopicNumbersOpenTheirPages) {
    const std::pair<int, const char*> topics[] = {
        {hcContents, "index.html"},        {hcRules, "rules.html"},         {hcControls, "controls.html"},
        {hcNetwork, "network.html"},       {hcChat, "chat.html"},           {hcSavedGames, "savedgames.html"},
        {hcHighScores, "highscores.html"}, {hcPlayers, "players.html"},     {hcCardBacks, "cardbacks.html"},
        {hcSound, "sound.html"},           {hcCustomize, "customize.html"}, {hcComputer, "computer.html"},
        {hcScoring, "scoring.html"},
    };
    for (const auto& [number, page] : topics) {
        const THelpContext* c = HelpContexts().Find(number);
        ASSERT_NE(c, nullptr) << number;
        EXPECT_EQ(c->Page, page);
        EXPECT_TRUE(c->Anchor.isEmpty());
    }
}

}  // namespace
}  // namespace canasta
