// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Select Card Back": a solid colour, a built-in pattern or an image file for
// the back of each of the two decks.
#include <QDialog>

#include <array>
#include <functional>

#include "model/Settings.h"
#include "cardart/CardArt.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace canasta {

// Reads a deck's back as the dialog does (its own defaults: colour 128 and
// pattern 1 for both decks).
TBackSetting ReadDialogBack(ISettingsStore* store, int deck);
// A deck's back as the dialog starts with it: the type and the value the
// table uses for it, the other values read as by ReadDialogBack.
TBackSetting DialogStartBack(ISettingsStore* store, int deck, const TBackSetting& inUse);
// Writes the type and the one value the type uses.
void WriteBack(ISettingsStore* store, int deck, const TBackSetting& back);

class TfmDeck : public QDialog {
    Q_OBJECT
public:
    using TApply = std::function<void(const TBackSetting&, const TBackSetting&)>;
    // Starts from the stored backs, read with the dialog's own defaults.
    TfmDeck(ISettingsStore* store, TApply apply, QWidget* parent = nullptr);
    // Starts from the backs the table shows (their type and the value it
    // uses; the other values as stored): confirmed unchanged, the dialog then
    // leaves every setting as it was.
    TfmDeck(ISettingsStore* store, const std::array<TBackSetting, 2>& inUse, TApply apply, QWidget* parent = nullptr);

    const TBackSetting& Back(int deck) const { return Backs[static_cast<size_t>(deck)]; }
    int SelectedDeck() const;
    // The preview as shown (empty when a file back cannot be read).
    QImage Preview() const { return PreviewImage; }

    void bnChangeClick();
    void bnApplyClick();
    void accept() override;

    QRadioButton* rbDeckOne;
    QRadioButton* rbDeckTwo;
    QRadioButton* rbSolid;
    QRadioButton* rbPattern;
    QRadioButton* rbFile;
    QLabel* imPreview;
    QPushButton* bnChange;
    QPushButton* bnOK;
    QPushButton* bnCancel;
    QPushButton* bnApply;

private:
    void ShowDeck();
    void TypeChosen(uint8_t type);
    void DrawPreview();
    void Store();

    ISettingsStore* Settings;
    TApply Apply;
    std::array<TBackSetting, 2> Backs;
    // The backs as stored (or as the dialog found them): only a deck that
    // differs from these is written.
    std::array<TBackSetting, 2> Stored;
    QImage PreviewImage;
    bool Showing = false;
};

}  // namespace canasta
