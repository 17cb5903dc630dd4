// SPDX-License-Identifier: GPL-3.0-or-later
// The manual says what the program does: the captions it quotes are the
// dialogs' own, the rule defaults and the standard rules are the program's,
// and its tables and worked example add up with the program's scoring.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <functional>
#include <map>

#include "dialogs/Deck.h"
#include "dialogs/Pattern.h"
#include "dialogs/PlayerDialogs.h"
#include "dialogs/Results.h"
#include "dialogs/Welcome.h"
#include "dialogs/Rules.h"
#include "help/HelpTestSupport.h"
#include "dialogs/PLRequest.h"
#include "media/MediaTestSupport.h"
#include "media/SoundDialog.h"
#include "dialogs/Chat.h"
#include "dialogs/RuleDifferences.h"
#include "dialogs/TryConnect.h"
#include "support/TestTable.h"

namespace canasta {
namespace {

using test::Caption;
using test::HelpPages;
using test::THelpPage;

const THelpPage& Page(const QString& name) {
    const auto it = HelpPages().find(name);
    if (it == HelpPages().end()) throw std::runtime_error("no help page " + name.toStdString());
    return it->second;
}

// Every caption a dialog shows the player (title, pages, groups, buttons)
// is quoted in one of the pages.
void ExpectCaptionsDocumented(QWidget& dialog, const QStringList& pages) {
    QString text;
    for (const QString& p : pages) text += Page(p).Text + QLatin1Char('\n');
    QStringList captions{dialog.windowTitle()};
    for (auto* tabs : dialog.findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
    for (auto* group : dialog.findChildren<QGroupBox*>()) captions << group->title();
    for (auto* button : dialog.findChildren<QAbstractButton*>()) captions << button->text();
    for (QString c : captions) {
        c = Caption(c);
        if (c.isEmpty()) continue;
        EXPECT_TRUE(text.contains(c)) << "\"" << c.toStdString() << "\" of " << dialog.windowTitle().toStdString()
                                      << " is not in " << pages.join(", ").toStdString();
    }
}

TEST(ManualMatchesProgram, CaptionsOfTheRulesDialog) {
    TfmRules dialog(nullptr, TRuleOptions{}, false, 0);
    ExpectCaptionsDocumented(dialog, {"rules.html"});
    // Both forms of the canasta-required caption.
    dialog.rbCanastasTwo->setChecked(true);
    ExpectCaptionsDocumented(dialog, {"rules.html"});
    dialog.rbCanastasOne->setChecked(true);
    ExpectCaptionsDocumented(dialog, {"rules.html"});
    // The warning shown during a game, word for word.
    TfmRules locked(nullptr, TRuleOptions{}, true, 0);
    EXPECT_TRUE(Page("rules.html").Text.contains(locked.lbWarning->text().simplified()));
}

TEST(ManualMatchesProgram, CaptionsOfTheOtherDialogs) {
    TMemorySettings store;
    {
        TPreferences prefs;
        TPlayers players;
        TfmCustomize::TContext context;
        context.Store = &store;
        TfmCustomize dialog(prefs, players, context);
        ExpectCaptionsDocumented(dialog, {"customize.html", "players.html"});
    }
    {
        TfmDeck dialog(&store, [](const TBackSetting&, const TBackSetting&) {});
        ExpectCaptionsDocumented(dialog, {"cardbacks.html"});
        TfmPattern pattern(0);
        ExpectCaptionsDocumented(pattern, {"cardbacks.html"});
    }
    {
        THighScores scores;
        TfmHighScores dialog(scores, &store, 0, 0, 0);
        ExpectCaptionsDocumented(dialog, {"highscores.html"});
        TPlayers players;
        players.List.push_back({"Ann", std::make_shared<TWinRatio>(1, 2)});
        players.Current = 0;
        TfmWinRatio ratio(players, &store);
        ExpectCaptionsDocumented(ratio, {"players.html"});
        TPlayers none;
        TfmWinRatio byDefault(none, &store);
        ExpectCaptionsDocumented(byDefault, {"players.html"});
    }
    {
        TfmWelcome welcome(&store);
        ExpectCaptionsDocumented(welcome, {"quickstart.html"});
    }
    {
        test::TSoundRig rig;
        TfmSound dialog(*rig.Sound);
        ExpectCaptionsDocumented(dialog, {"sound.html"});
    }
    {
        THandResult hand;
        hand.PlayerName = "Player";
        hand.OpponentName = "Computer";
        TfmScore score(hand, [] {});
        ExpectCaptionsDocumented(score, {"scoring.html"});
        TfmDetails details(hand);
        ExpectCaptionsDocumented(details, {"scoring.html"});
        TMatchResult match;
        match.Comment = "It's a draw!";
        TfmGameOver over(match, false);
        ExpectCaptionsDocumented(over, {"scoring.html"});
        TfmGameOver overNet(match, true);
        ExpectCaptionsDocumented(overNet, {"scoring.html"});
    }
}

TEST(ManualMatchesProgram, CaptionsOfTheNetworkWindows) {
    TMemorySettings store;
    QWidget table;
    TfmChat chat(&store, &table, false, [](const QString&) {});
    ExpectCaptionsDocumented(chat, {"chat.html"});
    TfmRuleDifferences differences([] {});
    ExpectCaptionsDocumented(differences, {"ruledifferences.html"});
    TfmTryConnect trying(QStringLiteral("192.168.1.20"), [] {});
    ExpectCaptionsDocumented(trying, {"network.html"});
    TfmPLRequest request(&store, QStringLiteral("Ann"));
    ExpectCaptionsDocumented(request, {"playerlist.html"});
}

// ---------------------------------------------------------------- rules

QString Shown(int count) { return count == 2 ? QStringLiteral("Two") : QStringLiteral("One"); }
QString Shown(bool on) { return on ? QStringLiteral("on") : QStringLiteral("off"); }

struct TSwitch {
    const char* Anchor;
    std::function<QString(const TRuleOptions&)> Value;
    std::function<QString(const TfmRules&)> Caption;
};

const std::vector<TSwitch>& Switches() {
    static const std::vector<TSwitch> s = {
        {"add-top-card", [](auto& o) { return Shown(o.AddToCanasta); },
         [](auto& d) { return d.ckAddToCanasta->text(); }},
        {"top-card-counts", [](auto& o) { return Shown(o.TopCardCounts); },
         [](auto& d) { return d.ckTopCardCounts->text(); }},
        {"initially-frozen", [](auto& o) { return Shown(o.InitiallyFrozen); },
         [](auto& d) { return d.ckInitiallyFrozen->text(); }},
        {"frozen-per-player", [](auto& o) { return Shown(o.FrozenPerPlayer); },
         [](auto& d) { return d.ckFrozenPerPlayer->text(); }},
        {"natural-pair", [](auto& o) { return Shown(o.NaturalPair); }, [](auto& d) { return d.ckNaturalPair->text(); }},
        {"pair-existing", [](auto& o) { return Shown(o.PairForExistingMeld); },
         [](auto& d) { return d.ckPairForExistingMeld->text(); }},
        {"draw-extra", [](auto& o) { return Shown(o.RedThreeDrawsExtra); },
         [](auto& d) { return d.ckDrawExtra->text(); }},
        {"three-freezes", [](auto& o) { return Shown(o.RedThreeFreezes); },
         [](auto& d) { return d.ckThreeFreezes->text(); }},
        {"canasta-required", [](auto& o) { return Shown(o.CanastaRequired); },
         [](auto&) { return QStringLiteral("&Canasta(s) required for positive score"); }},
        {"bonus-counts", [](auto& o) { return Shown(o.BonusCounts); }, [](auto& d) { return d.ckBonusCounts->text(); }},
        {"wild-canasta", [](auto& o) { return Shown(o.WildCanastaAllowed); },
         [](auto& d) { return d.ckWildCanasta->text(); }},
        {"canastas-to-go-out", [](auto& o) { return Shown(o.CanastasToGoOut); },
         [](auto& d) { return d.rgCanastas->title(); }},
        {"cards-drawn", [](auto& o) { return Shown(o.CardsDrawn); }, [](auto& d) { return d.rgCards->title(); }},
    };
    return s;
}

TEST(ManualMatchesProgram, EveryRuleSwitchWithItsCaptionAndDefault) {
    const QString& html = Page("rules.html").Html;
    TfmRules dialog(nullptr, TRuleOptions{}, false, 0);
    const TRuleOptions defaults;
    ASSERT_EQ(Switches().size(), 13u);
    for (const TSwitch& s : Switches()) {
        SCOPED_TRACE(s.Anchor);
        const QRegularExpression dt(
            QStringLiteral("<dt id=\"%1\">([^<]*) &ndash; default: ([A-Za-z]+)</dt>").arg(s.Anchor));
        const auto m = dt.match(html);
        ASSERT_TRUE(m.hasMatch());
        QString caption = m.captured(1);
        caption.remove(QStringLiteral(": One / Two"));
        EXPECT_EQ(caption, Caption(s.Caption(dialog)));
        EXPECT_EQ(m.captured(2), s.Value(defaults));
    }
}

TEST(ManualMatchesProgram, TheStandardRulesTable) {
    const QString& html = Page("rules.html").Html;
    const qsizetype start = html.indexOf(QStringLiteral("id=\"standard\""));
    ASSERT_GT(start, 0);
    static const QRegularExpression row(QStringLiteral("<tr><td>([^<]+)</td><td>([^<]+)</td><td>([^<]+)</td></tr>"));
    std::map<QString, std::pair<QString, QString>> rows;
    for (auto it = row.globalMatch(html, start); it.hasNext();) {
        const auto m = it.next();
        rows[m.captured(1)] = {m.captured(2), m.captured(3)};
    }
    ASSERT_EQ(rows.size(), 13u);
    TfmRules dialog(nullptr, TRuleOptions{}, false, 0);
    const TRuleOptions defaults;
    const TRuleOptions standard = StandardRules();
    for (const TSwitch& s : Switches()) {
        const QString caption = Caption(s.Caption(dialog));
        ASSERT_TRUE(rows.count(caption)) << caption.toStdString();
        EXPECT_EQ(rows[caption].first, s.Value(defaults)) << caption.toStdString();
        EXPECT_EQ(rows[caption].second, s.Value(standard)) << caption.toStdString();
    }
    // The button does what the table says.
    dialog.bnStandardClick();
    EXPECT_EQ(dialog.Options(), standard);
    EXPECT_TRUE(Page("rules.html").Text.contains(Caption(dialog.bnStandard->text())));
}

// ---------------------------------------------------------------- numbers

// The number cells of a row of a table in the page, from its label on.
std::vector<QString> RowCells(const QString& html, const QString& label, qsizetype from = 0) {
    const QRegularExpression row(
        QStringLiteral("<tr><td>(?:<b>)?%1(?:</b>)?</td>(.*?)</tr>").arg(QRegularExpression::escape(label)));
    const auto m = row.match(html, from);
    std::vector<QString> cells;
    if (!m.hasMatch()) return cells;
    static const QRegularExpression cell(QStringLiteral("<td[^>]*>(.*?)</td>"));
    for (auto it = cell.globalMatch(m.captured(1)); it.hasNext();) {
        QString c = it.next().captured(1);
        c.remove(QStringLiteral("<b>"))
            .remove(QStringLiteral("</b>"))
            .replace(QStringLiteral("&minus;"), QStringLiteral("-"));
        cells.push_back(c.trimmed());
    }
    return cells;
}

TEST(ManualMatchesProgram, TheWorkedScoringExampleAddsUp) {
    // The hand of the example, scored by the program.
    test::TestTable t;
    t.Meld(12, {"KS", "KC", "KD", "KH", "KS", "KC", "KD"});
    t.Meld(13, {"AS", "AC", "AD", "AH", "AS", "JK", "2C"});
    t.Meld(6, {"7S", "7C", "7D"});
    t.Meld(2, {"3D", "3H"});
    t.OppMeld(11, {"QS", "QC", "QD", "QH", "QS", "2D", "2H"});
    t.OppMeld(4, {"5S", "5C", "5D", "5H"});
    t.OppMeld(2, {"3D"});
    t.OppHand({"JK", "AH", "9S", "4S", "3S"});
    t.G.WentOut = woPlayer;
    t.G.Seat(TSeat::Player).PointsBeforeTurn = 145;  // melded in an earlier turn
    THandScore p, o;
    t.G.ScoreHand(p, o);

    const QString& html = Page("scoring.html").Html;
    const qsizetype from = html.indexOf(QStringLiteral("id=\"example\""));
    ASSERT_GT(from, 0);
    auto expectRow = [&](const char* label, int pn, int pv, int on, int ov, bool counts = true) {
        const auto cells = RowCells(html, QString::fromUtf8(label), from);
        ASSERT_EQ(cells.size(), 4u) << label;
        if (counts) {
            EXPECT_EQ(cells[0], QString::number(pn)) << label;
            EXPECT_EQ(cells[2], QString::number(on)) << label;
        }
        EXPECT_EQ(cells[1], QString::number(pv)) << label;
        EXPECT_EQ(cells[3], QString::number(ov)) << label;
    };
    expectRow("Cards on the Table", p.TableCount, p.TableValue, o.TableCount, o.TableValue);
    expectRow("Cards in Hand", p.HandCount, p.HandValue, o.HandCount, o.HandValue);
    expectRow("Canastas", p.CanastaCount, p.CanastaValue, o.CanastaCount, o.CanastaValue);
    expectRow("Red Threes", p.RedThreeCount, p.RedThreeValue, o.RedThreeCount, o.RedThreeValue);
    expectRow("Finish Bonus", 0, p.FinishBonus, 0, o.FinishBonus, false);
    expectRow("TOTAL", 0, p.Total, 0, o.Total, false);
    const QString& text = Page("scoring.html").Text;
    EXPECT_TRUE(text.contains(QStringLiteral("%1 \u2212 %2 = %3").arg(p.Total).arg(o.Total).arg(p.Total - o.Total)));

    // Going out concealed instead.
    t.G.Seat(TSeat::Player).PointsBeforeTurn = 0;
    t.G.ScoreHand(p, o);
    EXPECT_EQ(p.FinishBonus, 200);
    EXPECT_TRUE(text.contains(QStringLiteral("your total %1").arg(p.Total)));
}

TEST(ManualMatchesProgram, TheFirstMeldMinimums) {
    const QString& html = Page("melding.html").Html;
    const qsizetype from = html.indexOf(QStringLiteral("id=\"firstmeld\""));
    const std::pair<const char*, std::vector<int>> rows[] = {
        {"below 0", {-1000, -5}},
        {"0 up to 1499", {0, 1499}},
        {"1500 up to 2999", {1500, 2999}},
        {"3000 or more", {3000, 4995}},
    };
    for (const auto& [label, scores] : rows) {
        const auto cells = RowCells(html, QString::fromUtf8(label), from);
        ASSERT_EQ(cells.size(), 1u) << label;
        for (int score : scores)
            EXPECT_EQ(cells[0], QString::number(MinimumInitialMeld(score))) << label << " " << score;
    }
}

TEST(ManualMatchesProgram, TheCardValues) {
    const QString& html = Page("basics.html").Html;
    const qsizetype from = html.indexOf(QStringLiteral("id=\"values\""));
    using test::CardId;
    const std::pair<const char*, std::vector<const char*>> rows[] = {
        {"Joker", {"JK"}},
        {"Two, ace", {"2S", "2H", "AC", "AD"}},
        {"Eight, nine, ten, jack, queen, king", {"8S", "9C", "10D", "JH", "QS", "KD"}},
        {"Four, five, six, seven", {"4S", "5C", "6D", "7H"}},
        {"Black three", {"3S", "3C"}},
    };
    for (const auto& [label, cards] : rows) {
        const auto cells = RowCells(html, QString::fromUtf8(label), from);
        ASSERT_EQ(cells.size(), 1u) << label;
        for (const char* card : cards) EXPECT_EQ(cells[0], QString::number(CardPoints(CardId(card)))) << card;
    }
    EXPECT_EQ(CardPoints(CardId("3D")), 0);  // red threes: "bonus only"
}

TEST(ManualMatchesProgram, TheGameOverComments) {
    test::TestTable t;
    const QString& html = Page("scoring.html").Html;
    const qsizetype from = html.indexOf(QStringLiteral("id=\"gameover\""));
    // Each row with margins from both of its ends.
    const std::pair<const char*, std::vector<int>> rows[] = {
        {"more than 2500", {2505, 4000}},
        {"over 1800, up to 2500", {1805, 2500}},
        {"over 500, up to 1800", {505, 1800}},
        {"over 200, up to 500", {205, 500}},
        {"200 or less", {5, 200}},
    };
    for (const auto& [label, margins] : rows) {
        const auto cells = RowCells(html, QString::fromUtf8(label), from);
        ASSERT_EQ(cells.size(), 1u) << label;
        QString comment = cells[0];
        comment.remove(QLatin1Char('"'));
        for (int d : margins) {
            const QString said = QString::fromStdString(t.G.MatchComment(d));
            EXPECT_TRUE(said.startsWith(QStringLiteral("Congratulations "))) << said.toStdString();
            EXPECT_TRUE(said.endsWith(comment)) << d << ": " << said.toStdString();
        }
    }
    const QString& text = Page("scoring.html").Text;
    EXPECT_TRUE(text.contains(QString::fromStdString(t.G.MatchComment(0))));
    const QString close = QString::fromStdString(t.G.MatchComment(-100));
    EXPECT_TRUE(text.contains(close.mid(close.lastIndexOf(QStringLiteral(", ")) + 2)));
}

}  // namespace
}  // namespace canasta
