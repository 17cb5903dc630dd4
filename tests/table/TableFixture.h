// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A table window on the offscreen platform, driven with real mouse and key
// events. Modal windows are answered by a script instead of a person.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/Modal.h"
#include "media/MediaTestSupport.h"
#include "support/TestTable.h"
#include "support/TestWindow.h"
#include "table/CanMain.h"

namespace canasta::test {

// What a modal window showed.
struct TSeenDialog {
    QString Name;  // object name ("fmScore" ...) or the message box class
    QString Title;
    QString Text;  // a message box's text
};

class TableWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The data folder is shared by all tests: no automatic save from another test.
        QFile::remove(AutosaveFile());
        SetModalHandler([this](QDialog& d) { return Answer(d); });
    }
    void TearDown() override {
        Opened.Close();
        SetModalHandler({});
        QFile::remove(AutosaveFile());
    }

    // Creates the window (size index from the store) and deals the first hand
    // with the player to draw.
    TfmCanMain& Open(int sizeIndex = 0) {
        Store.WriteValue("Settings\\Resolution", std::string("0,0,") + WindowSizeOf(sizeIndex).Name);
        TStartOptions options;
        options.ForcedSize = sizeIndex;
        return Start(options);
    }

    // A window as the program starts it (the stored size and position unless
    // forced); the sounds it plays are recorded in Audio.
    TfmCanMain& Start(TStartOptions options) {
        options.SplashMs = 0;
        auto player = std::make_unique<TFakeAudioPlayer>();
        Audio = player.get();
        TfmCanMain& w = Opened.Open(Store, options, std::move(player));
        w.PauseScale = 0;
        w.Game().Levels = {&Level, &Level, &Level};
        w.Game().FixedSeed = true;
        w.Game().Rng.Seed = 4711;
        w.Game().PlayerDrawsFirst = true;
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.tmSplashTimer();
        return w;
    }

    // Puts a hand-built table into the window's game.
    void Arrange(TestTable& t) {
        TGame& g = Window->Game();
        static_cast<TGameState&>(g) = t.G.State();
        g.Rules = t.G.Rules;
        g.SetStockExhausted(g.StockExhausted);
        g.SetTurnPhase(g.TurnPhase);
        Window->Table()->repaint();
    }
    TestTable Table(TRuleOptions rules = {}) { return TestTable(rules); }

    TGame& G() { return Window->Game(); }
    QWidget* View() { return Window->Table(); }

    void Click(int x, int y, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::mouseClick(View(), b, m, QPoint(x, y));
    }
    // The visible top strip of a card of that area.
    void ClickCard(TArea area, const TCard& c, Qt::MouseButton b = Qt::LeftButton,
                   Qt::KeyboardModifiers m = Qt::NoModifier) {
        const TPoint at = Window->CardPoint(area, c);
        Click(at.X + 4, at.Y + 4, b, m);
    }
    void ClickHand(const std::string& name, Qt::MouseButton b = Qt::LeftButton,
                   Qt::KeyboardModifiers m = Qt::NoModifier) {
        const int i = FindFirstById(G().Seat(TSeat::Player).Hand, CardId(name));
        ASSERT_GE(i, 0) << name << " not in hand";
        ClickCard(TArea::PlayerHand, G().Seat(TSeat::Player).Hand.Cards[static_cast<size_t>(i)], b, m);
    }
    const TableLayout& Layout() { return Window->TableGeometry(); }
    void ClickStock() { Click(Layout().TableLeft + 5, Layout().StockTop + 5); }
    void ClickPile() { Click(Layout().TableLeft + 5, Layout().DiscardTop + 5); }
    void Key(int key, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(View(), Qt::Key(key), m); }

    int ColumnCount(int column) { return CountInColumn(G().Seat(TSeat::Player).Melds, column); }
    int InHand(const std::string& name) {
        int n = 0;
        for (const TCard& c : G().Seat(TSeat::Player).Hand) n += c.Id == CardId(name);
        return n;
    }

    // Modal windows: recorded, then answered by OnDialog (default: OK / Yes).
    int Answer(QDialog& d) {
        TSeenDialog seen{d.objectName(), d.windowTitle(), {}};
        if (auto* box = qobject_cast<QMessageBox*>(&d)) {
            seen.Name = QStringLiteral("QMessageBox");
            seen.Text = box->text();
        }
        Seen.push_back(seen);
        if (OnDialog) return OnDialog(d);
        return Accept(d);
    }
    // OK or Yes, as the dialog's own accept does it; going on without saving
    // where a question offers to save.
    static int Accept(QDialog& d) {
        if (auto* box = qobject_cast<QMessageBox*>(&d))
            return box->standardButtons() & QMessageBox::Discard ? QMessageBox::Discard : QMessageBox::Yes;
        d.accept();
        return d.result();
    }
    int CountSeen(const QString& name) const {
        int n = 0;
        for (const TSeenDialog& s : Seen) n += s.Name == name;
        return n;
    }

    TMemorySettings Store;
    DrawDiscardLevel Level;
    TTestWindow Opened;
    std::unique_ptr<TfmCanMain>& Window = Opened.Window;
    TFakeAudioPlayer* Audio = nullptr;  // the current window's sound output
    std::vector<TSeenDialog> Seen;
    std::function<int(QDialog&)> OnDialog;
};

}  // namespace canasta::test
