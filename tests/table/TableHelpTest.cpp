// SPDX-License-Identifier: GPL-3.0-or-later
// Every control of every dialog opens help: each visible input control has a
// help context number with a "What's This?" text, and the table window has
// its help menu, F1 and its own contexts.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QWhatsThis>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>

#include <map>

#include "dialogs/PLRequest.h"
#include "dialogs/Chat.h"
#include "dialogs/ConnectDialog.h"
#include "dialogs/RuleDifferences.h"
#include "dialogs/TryConnect.h"
#include "table/CanMainNet.h"
#include "TableFixture.h"
#include "dialogs/Deck.h"
#include "dialogs/Pattern.h"
#include "dialogs/PlayerDialogs.h"
#include "dialogs/Results.h"
#include "dialogs/Welcome.h"
#include "dialogs/Rules.h"
#include "help/HelpContexts.h"
#include "help/HelpWindow.h"
#include "media/SoundDialog.h"
#include "table/WhoseTurn.h"

namespace canasta::test {
namespace {

bool IsInputControl(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QListWidget*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QSlider*>(w) ||
           qobject_cast<const QTabWidget*>(w) || qobject_cast<const QGroupBox*>(w);
}

QString Describe(const QWidget* w) {
    QString text;
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) text = b->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w)) text = g->title();
    return QStringLiteral("%1 \"%2\" (%3)")
        .arg(QString::fromLatin1(w->metaObject()->className()), text, w->objectName());
}

// The widget whose number a control shows: itself or its nearest numbered parent.
const QWidget* NumberedOwner(const QWidget* w) {
    for (; w; w = w->parentWidget()) {
        if (w->property("helpContext").toInt() != 0) return w;
        if (w->isWindow()) break;
    }
    return nullptr;
}

// A number of the control's own: the dialog's number or a tab widget's number
// reaching a control on one of its pages means the control was forgotten.
bool HasOwnNumber(const QWidget* control, const QWidget* owner, const QWidget* dialog, bool dialogNumberWillDo) {
    if (!owner) return false;
    if (owner == control) return true;
    if (owner == dialog) return dialogNumberWillDo;
    if (auto* tabs = qobject_cast<const QTabWidget*>(owner))
        return control == tabs->tabBar() || tabs->tabBar()->isAncestorOf(control);
    // A group's choices, or the one control of a group made for it.
    if (qobject_cast<const QGroupBox*>(owner)) {
        if (qobject_cast<const QRadioButton*>(control)) return true;
        int others = 0;
        for (const QWidget* c : owner->findChildren<QWidget*>())
            others += IsInputControl(c) && !qobject_cast<const QRadioButton*>(c);
        return others == 1;
    }
    // A part of a numbered control (a table's corner button).
    return IsInputControl(owner);
}

// The controls the user can see on any page of the dialog without a help
// context that has a text, and the context of each control that has one.
struct THelpCheck {
    QStringList Missing;
    std::map<const QWidget*, int> Contexts;
    int Checked = 0;
};

void CheckVisibleControls(QWidget& dialog, THelpCheck& out, bool dialogNumberWillDo) {
    auto scan = [&] {
        for (QWidget* w : dialog.findChildren<QWidget*>()) {
            if (!IsInputControl(w) || !w->isVisibleTo(&dialog) || out.Contexts.count(w)) continue;
            const int context = HelpContextOf(w);
            ++out.Checked;
            if (context == 0 || WhatsThisText(context).isEmpty() ||
                !HasOwnNumber(w, NumberedOwner(w), &dialog, dialogNumberWillDo))
                out.Missing << Describe(w);
            else
                out.Contexts[w] = context;
        }
    };
    // Pages of a tab widget other than the current one are hidden: visit each.
    QList<QTabWidget*> tabs = dialog.findChildren<QTabWidget*>();
    scan();
    for (QTabWidget* t : tabs) {
        const int was = t->currentIndex();
        for (int i = 0; i < t->count(); ++i) {
            t->setCurrentIndex(i);
            scan();
        }
        t->setCurrentIndex(was);
    }
}

// The dialog's own number, its "?" button, and every control covered.
// dialogNumberWillDo: a one-question box whose controls all share its number.
void ExpectDialogHelp(QWidget& dialog, int dialogContext, bool dialogNumberWillDo = false) {
    SCOPED_TRACE(dialog.windowTitle().toStdString());
    EXPECT_EQ(dialog.property("helpContext").toInt(), dialogContext);
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowContextHelpButtonHint) << "no \"?\" button";
    THelpCheck check;
    CheckVisibleControls(dialog, check, dialogNumberWillDo);
    EXPECT_GT(check.Checked, 0);
    EXPECT_TRUE(check.Missing.isEmpty()) << "without help: " << check.Missing.join(QStringLiteral(", ")).toStdString();
}

int ContextOf(const QWidget* w) { return HelpContextOf(w); }

}  // namespace

TEST_F(TableWindowTest, TableWindowHasHelpMenuAndContexts) {
    TfmCanMain& w = Open();
    QMenu* help = nullptr;
    QMenu* game = nullptr;
    QMenu* options = nullptr;
    for (QAction* a : w.menuBar()->actions()) {
        if (a->text() == "&Help") help = a->menu();
        if (a->text() == "&Game") game = a->menu();
        if (a->text() == "&Options") options = a->menu();
    }
    ASSERT_TRUE(help && game && options);
    const QList<QAction*> items = help->actions();
    const qsizetype topics = items.indexOf(w.HelpTopicsAction());
    const qsizetype about = items.indexOf(w.AboutAction());
    ASSERT_GE(topics, 0);
    EXPECT_LT(topics, about) << "Help Topics comes before About";
    EXPECT_EQ(w.HelpTopicsAction()->text(), "&Help Topics");
    EXPECT_EQ(w.HelpTopicsAction()->shortcut(), QKeySequence(Qt::Key_F1));
    bool whatsThis = false;
    for (QAction* a : items)
        whatsThis = whatsThis || a->objectName() == "qt_whatsthis_action" || a->text().contains("What");
    EXPECT_TRUE(whatsThis) << "no What's This item in the Help menu";
    // The rule differences tell the user to look in Options | Rules.
    EXPECT_TRUE(options->actions().contains(w.RulesAction()));
    EXPECT_FALSE(game->actions().contains(w.RulesAction()));

    EXPECT_EQ(ContextOf(w.EndHandButton()), hcEndHand);
    EXPECT_EQ(ContextOf(w.findChild<QLabel*>("lbStatus")), hcStatusText);
    for (const char* panel : {"pnPCurrScore", "pnPCurrMeld", "pnCCurrScore", "pnCCurrMeld"})
        EXPECT_EQ(ContextOf(w.findChild<QLabel*>(panel)), hcScorePanels) << panel;
    EXPECT_FALSE(w.EndHandButton()->whatsThis().isEmpty());

    // Help Topics plays a help sound and opens the contents beside the table.
    const size_t wavesBefore = Audio->Waves.size();
    w.HelpTopicsAction()->trigger();
    EXPECT_EQ(Audio->Waves.size(), wavesBefore + 1) << "no help sound";
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
    EXPECT_EQ(HelpWindow()->CurrentPage(), "index.html");
    // Closing the table closes the help.
    w.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(HelpWindow() == nullptr || !HelpWindow()->isVisible());
}

TEST_F(TableWindowTest, EveryDialogOfTheMenusHasHelpOnEveryControl) {
    TfmCanMain& w = Open();
    w.Players().List.push_back({"Anna", std::make_shared<TWinRatio>(3, 1)});
    w.Players().Current = 0;
    std::map<QString, int> opened;
    OnDialog = [&](QDialog& d) {
        if (qobject_cast<TfmRules*>(&d)) ExpectDialogHelp(d, hcRulesDialog), ++opened["Rules"];
        if (qobject_cast<TfmDeck*>(&d)) ExpectDialogHelp(d, hcDeckDialog), ++opened["Deck"];
        if (qobject_cast<TfmHighScores*>(&d)) ExpectDialogHelp(d, hcHallOfFame), ++opened["Hall"];
        if (qobject_cast<TfmWinRatio*>(&d)) ExpectDialogHelp(d, hcWinRatio), ++opened["Ratio"];
        if (qobject_cast<TfmCustomize*>(&d)) ExpectDialogHelp(d, hcCustomizeDialog), ++opened["Customize"];
        if (auto* sound = qobject_cast<TfmSound*>(&d)) {
            ExpectDialogHelp(d, hcSoundDialog);
            EXPECT_EQ(ContextOf(sound->JukeboxBrowse), hcMusicJukeboxBrowse);
            ++opened["Sound"];
        }
        d.reject();
        return int(QDialog::Rejected);
    };
    for (QAction* a : {w.RulesAction(), w.DecksAction(), w.HiscoresAction(), w.WinRatioAction(), w.CustomizeAction(),
                       w.SoundAction()})
        a->trigger();
    for (const char* name : {"Rules", "Deck", "Hall", "Ratio", "Customize", "Sound"})
        EXPECT_EQ(opened[name], 1) << name << " was not opened";
}

TEST_F(TableWindowTest, DialogControlsOpenTheirOwnTopic) {
    Open();
    // A control's text is the one of its own number, not only its dialog's.
    TfmRules rules(&Store, StandardRules(), false, 0);
    EXPECT_EQ(rules.ckNaturalPair->whatsThis(), WhatsThisText(hcRulesNaturalPair));
    EXPECT_EQ(ContextOf(rules.rbCardsTwo), hcRulesCardsDrawn);
    EXPECT_EQ(ContextOf(rules.bnStandard), hcRulesStandard);
    TfmDeck deck(&Store, {});
    EXPECT_EQ(ContextOf(deck.rbFile), hcDeckCustom);
    EXPECT_EQ(ContextOf(deck.rbDeckTwo), hcDeckSelect);
}

TEST_F(TableWindowTest, PatternResultAndNameBoxesHaveHelp) {
    Open();
    TfmPattern pattern(3);
    ExpectDialogHelp(pattern, hcPatternDialog);

    THandResult r;
    r.PlayerName = "Player";
    r.OpponentName = "Computer";
    TfmScore score(r, {});
    ExpectDialogHelp(score, hcScoreWindow);
    EXPECT_EQ(ContextOf(score.bnDetails), hcScoreDetailsButton);
    TfmDetails details(r);
    ExpectDialogHelp(details, hcDetailsWindow);
    TMatchResult m;
    m.OpponentName = "Computer";
    TfmGameOver local(m, false);
    ExpectDialogHelp(local, hcGameOver);
    TfmGameOver net(m, true);
    ExpectDialogHelp(net, hcGameOver);

    TfmPLRequest listing(&Store, QStringLiteral("Ann"));
    ExpectDialogHelp(listing, hcListingDialog);

    TfmWhoseTurn turn(QStringLiteral("You draw first"), Window.get());
    EXPECT_EQ(ContextOf(&turn), hcWhoseTurn);
    TfmWelcome welcome(&Store);
    ExpectDialogHelp(welcome, hcWelcome);

    // The New Player and Rename boxes and the high-score name box.
    int boxes = 0;
    OnDialog = [&](QDialog& d) {
        if (qobject_cast<QInputDialog*>(&d)) {
            ++boxes;
            // The box lays out its controls when it is shown.
            d.show();
            ExpectDialogHelp(d, d.windowTitle() == "New Player" ? hcPlayersNew : hcHallNameBox, true);
        }
        d.reject();
        return int(QDialog::Rejected);
    };
    QString text;
    AskText(Window.get(), "New Player", "Enter the name of the new player:", text, hcPlayersNew);
    AskText(Window.get(), "Canasta", "Your name:", text, hcHallNameBox);
    EXPECT_EQ(boxes, 2);
}

TEST_F(TableWindowTest, NetworkWindowsHaveHelpOnEveryControl) {
    TfmCanMain& w = Open();
    TTableNetwork& net = w.Network();

    TfmConnect connect(&Store, net.Session(), "", nullptr);
    connect.Addresses = [] { return std::vector<std::string>{"192.168.1.20"}; };
    connect.DetectAddress = [](const std::string&, std::function<void(const std::string&)> found) {
        found("192.168.1.20");
    };
    connect.Refresh();
    ExpectDialogHelp(connect, hcConnectDialog);
    connect.rbLAN->setChecked(true);
    EXPECT_EQ(ContextOf(connect.bnHelp), hcConnectHelpLan);
    connect.rbInternet->setChecked(true);
    EXPECT_EQ(ContextOf(connect.bnHelp), hcConnectHelpInternet);

    TfmRuleDifferences differences([] {});
    ExpectDialogHelp(differences, hcDiffWindow);
    EXPECT_EQ(ContextOf(differences.bnUse), hcDiffUseOpponents);

    // The two tool windows have F1 and their numbers, without a "?" button.
    TfmTryConnect trying(QStringLiteral("192.168.1.20"), [] {});
    EXPECT_EQ(ContextOf(&trying), hcTryConnect);
    EXPECT_EQ(ContextOf(trying.bnCancel), hcTryConnectCancel);
    TfmChat chat(&Store, &w, false, {});
    EXPECT_EQ(ContextOf(&chat), hcChatWindow);
    EXPECT_EQ(ContextOf(chat.mmChat), hcChatMessages);
    EXPECT_EQ(ContextOf(chat.edChat), hcChatInput);
    for (QWidget* tool : {static_cast<QWidget*>(&trying), static_cast<QWidget*>(&chat)}) {
        bool f1 = false;
        for (QAction* a : tool->actions()) f1 |= a->shortcut() == QKeySequence(Qt::Key_F1);
        EXPECT_TRUE(f1) << tool->windowTitle().toStdString();
    }
    EXPECT_EQ(net.ChatOnTopAction()->whatsThis(), WhatsThisText(hcChatOnTop));
}

// What's This and the tooltips on the table: each area has its own text.
TEST_F(TableWindowTest, EveryAreaOfTheTableAnswersWhatsThisAndHasATooltip) {
    TfmCanMain& w = Open();
    TestTable t = Table();
    t.Hand({"5S", "9H", "KD"});
    t.Meld(6, {"7S", "7C", "7H"});
    t.Meld(kRankThree, {"3H"});
    t.OppHand({"8D"});
    t.OppMeld(10, {"JS", "JC", "JH", "JD", "JS", "JC", "JH"});
    t.OppMeld(kRankThree, {"3D"});
    t.Pile({"4C", "8C"});
    t.DrawPhase();
    Arrange(t);
    const TableLayout& L = Layout();
    auto cardAt = [&](TArea area, const TCardList& list, int column) {
        for (const TCard& c : list)
            if (c.Column == column) {
                const TPoint p = w.CardPoint(area, c);
                return QPoint(p.X + 4, p.Y + 4);
            }
        ADD_FAILURE() << "no card in column " << column;
        return QPoint();
    };
    const TCard& handCard = G().Seat(TSeat::Player).Hand.Cards[0];
    const TPoint handAt = w.CardPoint(TArea::PlayerHand, handCard);
    struct TSpot {
        const char* Name;
        QPoint At;
        TfmCanMain::TTableArea Area;
        int Context;
        QString Tip;
    };
    using A = TfmCanMain::TTableArea;
    const std::vector<TSpot> spots = {
        {"stock", {L.TableLeft + 5, L.StockTop + 5}, A::Stock, hcTableStock, "The stock: "},
        {"pile", {L.TableLeft + 5, L.DiscardTop + 5}, A::Pile, hcTablePile, "The discard pile: 2 cards."},
        {"hand", {handAt.X + 4, handAt.Y + 4}, A::Hand, hcTableHand, "Your hand: 3 cards."},
        {"melds", cardAt(TArea::PlayerMelds, G().Seat(TSeat::Player).Melds, 6), A::Melds, hcTableMelds,
         "Your melds: 0 canastas."},
        {"red threes", cardAt(TArea::PlayerMelds, G().Seat(TSeat::Player).Melds, kRankThree), A::RedThrees,
         hcTableRedThrees, "Your red threes: 1."},
        {"opponent's melds", cardAt(TArea::OpponentMelds, G().Seat(TSeat::Opponent).Melds, 10), A::OpponentMelds,
         hcTableOpponentMelds, "The computer's melds: 1 canasta."},
        {"opponent's red threes", cardAt(TArea::OpponentMelds, G().Seat(TSeat::Opponent).Melds, kRankThree),
         A::OpponentRedThrees, hcTableOpponentRedThrees, "The computer's red threes: 1."},
        {"opponent's hand",
         {L.TableLeft + 5, L.HandRowTop + 5},
         A::OpponentHand,
         hcTableOpponentHand,
         "The computer's hand: 1 card."},
    };
    QStringList texts;
    for (const TSpot& spot : spots) {
        SCOPED_TRACE(spot.Name);
        EXPECT_EQ(w.TableAreaAt(spot.At), spot.Area);
        const QString text = w.TableWhatsThis(spot.At);
        EXPECT_FALSE(text.isEmpty());
        EXPECT_EQ(text, WhatsThisText(spot.Context));
        texts << text;
        EXPECT_TRUE(w.TableToolTip(spot.At).startsWith(spot.Tip)) << w.TableToolTip(spot.At).toStdString();
        // The table tells Qt's What's This mode that it has something to say there.
        QHelpEvent query(QEvent::QueryWhatsThis, spot.At, View()->mapToGlobal(spot.At));
        QApplication::sendEvent(View(), &query);
        EXPECT_TRUE(query.isAccepted());
    }
    texts.removeDuplicates();
    EXPECT_EQ(texts.size(), int(spots.size())) << "each area has a text of its own";
    // Outside the window nothing is claimed.
    EXPECT_EQ(w.TableAreaAt(QPoint(-5, -5)), A::None);
    EXPECT_TRUE(w.TableWhatsThis(QPoint(-5, -5)).isEmpty());

    // The message line and the score row below the table, captions included.
    EXPECT_FALSE(w.StatusLabel()->whatsThis().isEmpty());
    EXPECT_FALSE(w.StatusLabel()->toolTip().isEmpty());
    int captions = 0;
    for (QLabel* l : w.findChild<QWidget*>("pnBottom")->findChildren<QLabel*>()) {
        if (l == w.StatusLabel()) continue;
        ++captions;
        EXPECT_EQ(ContextOf(l), hcScorePanels) << l->text().toStdString();
        EXPECT_FALSE(l->toolTip().isEmpty()) << l->text().toStdString();
    }
    EXPECT_GE(captions, 10);
}

TEST_F(TableWindowTest, ShiftF1ThenAClickOnTheTableExplainsWithoutPlaying) {
    TfmCanMain& w = Open();
    w.activateWindow();
    View()->setFocus();
    const int stock = G().Stock.Count;
    QTest::keyClick(View(), Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(QWhatsThis::inWhatsThisMode()) << "Shift+F1 enters What's This mode";
    ClickStock();
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    EXPECT_EQ(G().Stock.Count, stock) << "the click explained the stock and drew nothing";
    bool popup = false;
    for (QWidget* top : QApplication::topLevelWidgets())
        popup = popup || (top->isVisible() && QByteArray(top->metaObject()->className()) == "QWhatsThat");
    EXPECT_TRUE(popup) << "no What's This text shown";
    QWhatsThis::hideText();
}

}  // namespace canasta::test
