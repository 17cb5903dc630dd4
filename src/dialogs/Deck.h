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
// Writes the type and the one value the type uses.
void WriteBack(ISettingsStore* store, int deck, const TBackSetting& back);

class TfmDeck : public QDialog {
    Q_OBJECT
public:
    using TApply = std::function<void(const TBackSetting&, const TBackSetting&)>;
    TfmDeck(ISettingsStore* store, TApply apply, QWidget* parent = nullptr);

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
    QImage PreviewImage;
    bool Showing = false;
};

}  // namespace canasta
