// SPDX-License-Identifier: GPL-3.0-or-later
// The help window opens at the contents, at pages and at help context
// numbers, stays usable beside modal dialogs, and closes with the program;
// the controls' "What's This?" help comes from the same table.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <QWhatsThisClickedEvent>

#include "help/HelpContexts.h"
#include "help/HelpWindow.h"

namespace canasta {
namespace {

class HelpWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        CloseHelp();
        SetHelpOwner(nullptr);
    }
    void TearDown() override {
        QWhatsThis::hideText();
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        CloseHelp();
        SetHelpOwner(nullptr);
    }
};

TEST_F(HelpWindowTest, ContentsFirst) {
    EXPECT_EQ(HelpWindow(), nullptr);
    ShowHelpContents();
    TfmHelp* help = HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->CurrentPage(), "index.html");
    EXPECT_EQ(help->windowTitle(), "Canasta Help");
    EXPECT_TRUE(help->Browser()->toPlainText().contains("Your first game"));
    EXPECT_FALSE(help->acBack->isEnabled());
}

TEST_F(HelpWindowTest, OpensATopicByItsNumberAtItsAnchor) {
    EXPECT_TRUE(ShowHelpTopic(hcRulesPairForExistingMeld));
    TfmHelp* help = HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->CurrentPage(), "rules.html");
    EXPECT_EQ(help->CurrentAnchor(), "pair-existing");
    EXPECT_EQ(help->windowTitle(), "Canasta Help - The rule switches");
    // The anchor lies well down the page: the browser scrolled to it.
    QApplication::processEvents();
    EXPECT_GT(help->Browser()->verticalScrollBar()->value(), 0);

    // The same window shows the next topic; Back returns to the last one.
    EXPECT_TRUE(ShowHelpTopic(hcNetwork));
    EXPECT_EQ(HelpWindow(), help);
    EXPECT_EQ(help->CurrentPage(), "network.html");
    EXPECT_TRUE(help->acBack->isEnabled());
    help->acBack->trigger();
    EXPECT_EQ(help->CurrentPage(), "rules.html");
    EXPECT_TRUE(help->acForward->isEnabled());
    help->acForward->trigger();
    EXPECT_EQ(help->CurrentPage(), "network.html");
    help->acContents->trigger();
    EXPECT_EQ(help->CurrentPage(), "index.html");
}

TEST_F(HelpWindowTest, EveryNumberOpensItsPage) {
    for (int number : KnownHelpContexts()) {
        const THelpContext* c = HelpContexts().Find(number);
        ASSERT_NE(c, nullptr) << number;
        EXPECT_TRUE(ShowHelpTopic(number)) << number;
        EXPECT_EQ(HelpWindow()->CurrentPage(), c->Page) << number;
        EXPECT_EQ(HelpWindow()->CurrentAnchor(), c->Anchor) << number;
    }
}

TEST_F(HelpWindowTest, UnknownNumbersAndPagesShowTheContents) {
    EXPECT_FALSE(ShowHelpTopic(4711));
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_EQ(HelpWindow()->CurrentPage(), "index.html");
    ShowHelpTopic(hcSound);
    EXPECT_FALSE(ShowHelpPage("nowhere.html"));
    EXPECT_EQ(HelpWindow()->CurrentPage(), "index.html");
    EXPECT_FALSE(ShowHelpPage("../CMakeLists.txt"));
    EXPECT_EQ(HelpWindow()->CurrentPage(), "index.html");
    // A page by its short name.
    EXPECT_TRUE(ShowHelpPage("scoring#example"));
    EXPECT_EQ(HelpWindow()->CurrentPage(), "scoring.html");
    EXPECT_EQ(HelpWindow()->CurrentAnchor(), "example");
}

TEST_F(HelpWindowTest, LinksInsideThePagesWork) {
    ShowHelpContents();
    QTextBrowser* browser = HelpWindow()->Browser();
    browser->setSource(QUrl(QStringLiteral("melding.html#firstmeld")));
    EXPECT_EQ(HelpWindow()->CurrentPage(), "melding.html");
    EXPECT_TRUE(browser->toPlainText().contains("The first meld"));
    EXPECT_EQ(HelpWindow()->windowTitle(), "Canasta Help - Melding, wild cards and canastas");
}

TEST_F(HelpWindowTest, ClosesWithTheProgram) {
    QWidget owner;
    owner.show();
    SetHelpOwner(&owner);
    ShowHelpContents();
    QPointer<TfmHelp> help = HelpWindow();
    ASSERT_TRUE(help);
    EXPECT_EQ(help->parentWidget(), &owner);
    EXPECT_TRUE(help->isWindow());
    CloseHelp();
    EXPECT_TRUE(help.isNull());
    EXPECT_EQ(HelpWindow(), nullptr);
    CloseHelp();  // twice is harmless

    // Owned by the table window, it goes with it even without CloseHelp.
    {
        QWidget table;
        SetHelpOwner(&table);
        ShowHelpContents();
        help = HelpWindow();
        ASSERT_TRUE(help);
    }
    EXPECT_TRUE(help.isNull());
}

TEST_F(HelpWindowTest, IsLentToAModalDialogAndSurvivesIt) {
    QWidget owner;
    SetHelpOwner(&owner);
    ShowHelpContents();
    QPointer<TfmHelp> help = HelpWindow();
    auto* dialog = new QDialog(&owner);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    ASSERT_EQ(QApplication::activeModalWidget(), dialog);

    // Opened from the dialog, the help window belongs to it for a while, so
    // that the dialog's modality does not block it.
    ShowHelpTopic(hcRulesNaturalPair);
    ASSERT_TRUE(help);
    EXPECT_EQ(HelpWindow(), help.data());
    EXPECT_EQ(help->parentWidget(), dialog);
    EXPECT_TRUE(help->isVisible());
    const QRect where = help->geometry();

    // The dialog closes: the help window stays open where it was.
    dialog->hide();
    ASSERT_TRUE(help);
    EXPECT_EQ(help->parentWidget(), &owner);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->geometry(), where);
    EXPECT_EQ(help->CurrentPage(), "rules.html");
    delete dialog;
    EXPECT_TRUE(help);
}

TEST_F(HelpWindowTest, GoesBackToTheDialogBelowWhenDialogsAreStacked) {
    QWidget owner;
    SetHelpOwner(&owner);
    QDialog outer(&owner);
    outer.setWindowModality(Qt::ApplicationModal);
    outer.show();
    ShowHelpContents();
    QPointer<TfmHelp> help = HelpWindow();
    ASSERT_TRUE(help);
    EXPECT_EQ(help->parentWidget(), &outer);
    {
        QDialog inner(&outer);
        inner.setWindowModality(Qt::ApplicationModal);
        inner.show();
        ShowHelpTopic(hcPatternGrid);
        EXPECT_EQ(help->parentWidget(), &inner);
        inner.hide();
        ASSERT_TRUE(help);
        EXPECT_EQ(help->parentWidget(), &outer);
    }
    ASSERT_TRUE(help);
    outer.hide();
    ASSERT_TRUE(help);
    EXPECT_EQ(help->parentWidget(), &owner);
    EXPECT_TRUE(help->isVisible());
}

TEST_F(HelpWindowTest, SurvivesADialogDeletedWhileShown) {
    ShowHelpContents();
    QPointer<TfmHelp> help = HelpWindow();
    auto* dialog = new QDialog;
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    ShowHelpContents();
    ASSERT_TRUE(help);
    EXPECT_EQ(help->parentWidget(), dialog);
    delete dialog;
    ASSERT_TRUE(help);
    EXPECT_EQ(help->parentWidget(), nullptr);
}

// ---------------------------------------------------------------- What's This?

TEST_F(HelpWindowTest, WhatsThisTextsComeFromTheTable) {
    const QString text = WhatsThisText(hcRulesNaturalPair);
    const THelpContext* c = HelpContexts().Find(hcRulesNaturalPair);
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(text.contains(c->Text.toHtmlEscaped()));
    EXPECT_TRUE(text.contains("href=\"rules.html#natural-pair\""));
    EXPECT_TRUE(Qt::mightBeRichText(text));
    EXPECT_TRUE(WhatsThisText(0).isEmpty());
    EXPECT_TRUE(WhatsThisText(4711).isEmpty());
    for (int number : KnownHelpContexts()) EXPECT_FALSE(WhatsThisText(number).isEmpty()) << number;
}

TEST_F(HelpWindowTest, ControlsCarryTheirNumbersAndChildrenInheritThem) {
    QDialog dialog;
    auto* group = new QGroupBox("&Number of Canastas needed to go out", &dialog);
    auto* one = new QRadioButton("&One", group);
    auto* box = new QCheckBox("&Natural pair required", &dialog);
    InstallHelpContext(group, hcRulesCanastasToGoOut);
    InstallHelpContext(box, hcRulesNaturalPair);
    EXPECT_EQ(group->property("helpContext").toInt(), int(hcRulesCanastasToGoOut));
    EXPECT_EQ(box->whatsThis(), WhatsThisText(hcRulesNaturalPair));
    EXPECT_EQ(HelpContextOf(box), int(hcRulesNaturalPair));
    EXPECT_EQ(HelpContextOf(one), int(hcRulesCanastasToGoOut));
    EXPECT_EQ(HelpContextOf(&dialog), 0);
    EXPECT_EQ(HelpContextOf(nullptr), 0);
    // The dialog's own number is the last resort of its controls, but a
    // window never takes the number of the window it belongs to.
    QLineEdit plain(&dialog);
    EXPECT_EQ(HelpContextOf(&plain), 0);
    InstallHelpContext(&dialog, hcRulesDialog);
    EXPECT_EQ(HelpContextOf(&plain), int(hcRulesDialog));
    QDialog inner(&dialog);
    QCheckBox innerBox(&inner);
    EXPECT_EQ(HelpContextOf(&innerBox), 0);
}

TEST_F(HelpWindowTest, TheLinkOfAWhatsThisPopupOpensThePage) {
    QCheckBox box("&Draw extra card");
    InstallHelpContext(&box, hcRulesDrawExtra);
    QWhatsThisClickedEvent click(QStringLiteral("rules.html#draw-extra"));
    QApplication::sendEvent(&box, &click);
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
    EXPECT_EQ(HelpWindow()->CurrentPage(), "rules.html");
    EXPECT_EQ(HelpWindow()->CurrentAnchor(), "draw-extra");
}

QMenu* OpenContextMenu(QWidget* w) {
    const QPoint local(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, local, w->mapToGlobal(local));
    QApplication::sendEvent(w, &event);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QAction* ActionNamed(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

TEST_F(HelpWindowTest, RightClickOffersWhatsThis) {
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* group = new QGroupBox("Number of &Cards drawn each turn");
    auto* two = new QRadioButton("T&wo", group);
    (new QVBoxLayout(group))->addWidget(two);
    layout->addWidget(group);
    InstallHelpContext(group, hcRulesCardsDrawn);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    // A right click on the radio button comes up to its group.
    QMenu* menu = OpenContextMenu(two);
    ASSERT_NE(menu, nullptr);
    QAction* whatsThis = ActionNamed(menu, QStringLiteral("What's This?"));
    ASSERT_NE(whatsThis, nullptr);
    EXPECT_EQ(menu->actions().size(), 1);
    whatsThis->trigger();
    menu->close();
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    EXPECT_STREQ(popup->metaObject()->className(), "QWhatsThat");
    QWhatsThis::hideText();
}

TEST_F(HelpWindowTest, RightClickOnALineEditKeepsItsOwnItems) {
    QDialog dialog;
    auto* edit = new QLineEdit(&dialog);
    InstallHelpContext(edit, hcConnectOpponent);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QMenu* menu = OpenContextMenu(edit);
    ASSERT_NE(menu, nullptr);
    EXPECT_NE(ActionNamed(menu, QStringLiteral("What's This?")), nullptr);
    EXPECT_GT(menu->actions().size(), 3);  // Undo, Cut, Copy, Paste ... as usual
    menu->close();
}

TEST_F(HelpWindowTest, NoMenuWithoutANumberOrWithAMenuOfItsOwn) {
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* plain = new QCheckBox("plain");
    auto* own = new QCheckBox("own menu");
    layout->addWidget(plain);
    layout->addWidget(own);
    own->setContextMenuPolicy(Qt::CustomContextMenu);
    bool ownMenu = false;
    QObject::connect(own, &QWidget::customContextMenuRequested, [&] { ownMenu = true; });
    InstallHelpContext(own, hcChatMessages);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(OpenContextMenu(plain), nullptr);
    EXPECT_EQ(OpenContextMenu(own), nullptr);
    EXPECT_TRUE(ownMenu);
}

TEST_F(HelpWindowTest, DialogHelpKeys) {
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* box = new QCheckBox("&Freeze discard pile");
    auto* other = new QCheckBox("no number");
    layout->addWidget(box);
    layout->addWidget(other);
    InstallHelpContext(box, hcRulesThreeFreezes);
    InstallDialogHelp(&dialog, hcRulesDialog);
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowContextHelpButtonHint);
    EXPECT_EQ(dialog.property("helpContext").toInt(), int(hcRulesDialog));
    QAction* f1 = nullptr;
    QAction* shiftF1 = nullptr;
    for (QAction* a : dialog.actions()) {
        if (a->shortcut() == QKeySequence(Qt::Key_F1)) f1 = a;
        if (a->shortcut() == QKeySequence(Qt::SHIFT | Qt::Key_F1)) shiftF1 = a;
    }
    ASSERT_NE(f1, nullptr);
    ASSERT_NE(shiftF1, nullptr);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));

    // F1 opens the page of the control with the focus ...
    box->setFocus();
    QTest::keyClick(&dialog, Qt::Key_F1);
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_EQ(HelpWindow()->CurrentPage(), "rules.html");
    EXPECT_EQ(HelpWindow()->CurrentAnchor(), "three-freezes");
    // ... or of the dialog, for a control without a number of its own.
    dialog.activateWindow();
    QApplication::setActiveWindow(&dialog);
    other->setFocus();
    f1->trigger();
    EXPECT_EQ(HelpWindow()->CurrentPage(), "rules.html");
    EXPECT_TRUE(HelpWindow()->CurrentAnchor().isEmpty());

    // Shift+F1 starts "What's This?" mode.
    shiftF1->trigger();
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
}

}  // namespace
}  // namespace canasta
