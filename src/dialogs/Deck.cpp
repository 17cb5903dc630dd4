// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/Deck.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/Modal.h"
#include "dialogs/Pattern.h"
#include "help/HelpContexts.h"
#include "help/HelpWindow.h"
#include "store/SettingsCatalog.h"

namespace canasta {

namespace {
std::string Path(const char* prefix, int deck) { return prefix + std::to_string(deck); }
}  // namespace

TBackSetting ReadDialogBack(ISettingsStore* store, int deck) {
    TBackSetting b;
    b.Type = static_cast<uint8_t>(std::clamp(ReadInt(store, Path("Cardback\\Type", deck), 0), 0, 2));
    b.Color = static_cast<uint32_t>(ReadInt(store, Path("Cardback\\Color", deck), 128));
    b.Pattern =
        static_cast<uint8_t>(std::clamp(ReadInt(store, Path("Cardback\\Pattern", deck), 1), 0, kPatternCount - 1));
    b.FileName = ReadString(store, Path("Cardback\\Filename", deck), "");
    return b;
}

void WriteBack(ISettingsStore* store, int deck, const TBackSetting& b) {
    WriteInt(store, Path("Cardback\\Type", deck), b.Type);
    switch (b.Type) {
        case kBackSolid: WriteInt(store, Path("Cardback\\Color", deck), static_cast<int32_t>(b.Color)); break;
        case kBackPattern: WriteInt(store, Path("Cardback\\Pattern", deck), b.Pattern); break;
        default: WriteString(store, Path("Cardback\\Filename", deck), b.FileName); break;
    }
}

TBackSetting DialogStartBack(ISettingsStore* store, int deck, const TBackSetting& inUse) {
    TBackSetting b = ReadDialogBack(store, deck);
    b.Type = inUse.Type;
    switch (inUse.Type) {
        case kBackSolid: b.Color = inUse.Color; break;
        case kBackPattern: b.Pattern = inUse.Pattern; break;
        default: b.FileName = inUse.FileName; break;
    }
    return b;
}

TfmDeck::TfmDeck(ISettingsStore* store, TApply apply, QWidget* parent)
    : TfmDeck(store, {ReadDialogBack(store, 0), ReadDialogBack(store, 1)}, std::move(apply), parent) {}

TfmDeck::TfmDeck(ISettingsStore* store, const std::array<TBackSetting, 2>& inUse, TApply apply, QWidget* parent)
    : QDialog(parent), Settings(store), Apply(std::move(apply)) {
    setObjectName(QStringLiteral("fmDeck"));
    setWindowTitle(QStringLiteral("Select Card Back"));
    Backs = {DialogStartBack(store, 0, inUse[0]), DialogStartBack(store, 1, inUse[1])};
    Stored = Backs;

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout();
    auto* left = new QVBoxLayout();

    auto* rgDeck = new QGroupBox(QStringLiteral("Select Deck"), this);
    auto* deckLayout = new QVBoxLayout(rgDeck);
    rbDeckOne = new QRadioButton(QStringLiteral("Deck &One"), rgDeck);
    rbDeckTwo = new QRadioButton(QStringLiteral("Deck T&wo"), rgDeck);
    deckLayout->addWidget(rbDeckOne);
    deckLayout->addWidget(rbDeckTwo);
    left->addWidget(rgDeck);

    auto* rgType = new QGroupBox(QStringLiteral("Cardback Type"), this);
    auto* typeLayout = new QVBoxLayout(rgType);
    rbSolid = new QRadioButton(QStringLiteral("&Solid Color"), rgType);
    rbPattern = new QRadioButton(QStringLiteral("S&tandard Pattern"), rgType);
    rbFile = new QRadioButton(QStringLiteral("C&ustom Pattern"), rgType);
    typeLayout->addWidget(rbSolid);
    typeLayout->addWidget(rbPattern);
    typeLayout->addWidget(rbFile);
    left->addWidget(rgType);
    left->addStretch(1);
    top->addLayout(left, 1);

    auto* right = new QVBoxLayout();
    auto* gbPreview = new QGroupBox(QStringLiteral("Current Cardback"), this);
    auto* previewLayout = new QVBoxLayout(gbPreview);
    imPreview = new QLabel(gbPreview);
    imPreview->setFixedSize(kThumbnailSize);
    imPreview->setAlignment(Qt::AlignCenter);
    previewLayout->addWidget(imPreview, 0, Qt::AlignHCenter);
    bnChange = new QPushButton(QStringLiteral("&Change..."), gbPreview);
    previewLayout->addWidget(bnChange);
    right->addWidget(gbPreview);
    right->addStretch(1);
    top->addLayout(right);
    layout->addLayout(top);

    auto* buttons = new QHBoxLayout();
    bnOK = new QPushButton(QStringLiteral("OK"), this);
    bnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bnApply = new QPushButton(QStringLiteral("&Apply"), this);
    bnOK->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(bnOK);
    buttons->addWidget(bnCancel);
    buttons->addWidget(bnApply);
    layout->addLayout(buttons);

    auto* deckGroup = new QButtonGroup(this);
    deckGroup->addButton(rbDeckOne, 0);
    deckGroup->addButton(rbDeckTwo, 1);
    auto* typeGroup = new QButtonGroup(this);
    typeGroup->addButton(rbSolid, kBackSolid);
    typeGroup->addButton(rbPattern, kBackPattern);
    typeGroup->addButton(rbFile, kBackFile);
    rbDeckOne->setChecked(true);
    ShowDeck();
    bnApply->setEnabled(false);

    connect(deckGroup, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (!on) return;
        ShowDeck();
        bnApply->setEnabled(true);
    });
    connect(typeGroup, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on && !Showing) TypeChosen(static_cast<uint8_t>(id));
    });
    connect(bnChange, &QPushButton::clicked, this, &TfmDeck::bnChangeClick);
    connect(bnOK, &QPushButton::clicked, this, &TfmDeck::accept);
    connect(bnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(bnApply, &QPushButton::clicked, this, &TfmDeck::bnApplyClick);

    InstallDialogHelp(this, hcDeckDialog);
    InstallHelpContext(rgDeck, hcDeckSelect);
    InstallHelpContext(rgType, hcDeckType);
    InstallHelpContext(rbSolid, hcDeckSolid);
    InstallHelpContext(rbPattern, hcDeckPattern);
    InstallHelpContext(rbFile, hcDeckCustom);
    InstallHelpContext(gbPreview, hcDeckPreview);
    InstallHelpContext(imPreview, hcDeckPreview);
    InstallHelpContext(bnChange, hcDeckChange);
    InstallHelpContext(bnOK, hcDeckOk);
    InstallHelpContext(bnCancel, hcDeckCancel);
    InstallHelpContext(bnApply, hcDeckApply);
    setFixedSize(sizeHint());
}

int TfmDeck::SelectedDeck() const { return rbDeckTwo->isChecked() ? 1 : 0; }

void TfmDeck::ShowDeck() {
    Showing = true;
    const TBackSetting& b = Back(SelectedDeck());
    (b.Type == kBackPattern ? rbPattern : b.Type == kBackFile ? rbFile : rbSolid)->setChecked(true);
    Showing = false;
    DrawPreview();
}

void TfmDeck::TypeChosen(uint8_t type) {
    Backs[static_cast<size_t>(SelectedDeck())].Type = type;
    DrawPreview();
    bnApply->setEnabled(true);
}

void TfmDeck::DrawPreview() {
    const TBackSetting& b = Back(SelectedDeck());
    const qreal dpr = devicePixelRatioF();
    PreviewImage = QImage();
    if (b.Type == kBackSolid) {
        QImage img(kThumbnailSize * dpr, QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(dpr);
        img.fill(palette().color(QPalette::Button));
        QPainter p(&img);
        p.drawImage(QPoint(0, 0), RenderSolidBack(ColorFromColorRef(b.Color), kThumbnailSize, dpr));
        p.end();
        PreviewImage = img;
    } else if (b.Type == kBackPattern) {
        PreviewImage = TCardImages::PatternThumbnail(b.Pattern, dpr);
    } else {
        QImage img;
        if (LoadFileBack(QString::fromStdString(b.FileName), kThumbnailSize, dpr, img)) PreviewImage = img;
    }
    imPreview->setPixmap(PreviewImage.isNull() ? QPixmap() : QPixmap::fromImage(PreviewImage));
}

void TfmDeck::bnChangeClick() {
    TBackSetting& b = Backs[static_cast<size_t>(SelectedDeck())];
    if (b.Type == kBackSolid) {
        QColorDialog dialog(ColorFromColorRef(b.Color), this);
        if (ExecModal(dialog) == QDialog::Accepted) b.Color = ColorRefFromColor(dialog.selectedColor());
    } else if (b.Type == kBackPattern) {
        TfmPattern dialog(b.Pattern, this);
        if (ExecModal(dialog) == QDialog::Accepted) b.Pattern = static_cast<uint8_t>(dialog.Selected());
    } else {
        QFileDialog dialog(this, QStringLiteral("Select Bitmap"));
        dialog.setNameFilters({QStringLiteral("Bitmaps (*.bmp)"), QStringLiteral("All Files (*)")});
        dialog.setDefaultSuffix(QStringLiteral("bmp"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (ExecModal(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            b.FileName = dialog.selectedFiles().first().toStdString().substr(0, 255);
    }
    DrawPreview();
    bnApply->setEnabled(true);
}

void TfmDeck::Store() {
    for (size_t d = 0; d < 2; ++d) {
        if (Backs[d] == Stored[d]) continue;
        WriteBack(Settings, static_cast<int>(d), Backs[d]);
        Stored[d] = Backs[d];
    }
}

void TfmDeck::bnApplyClick() {
    Store();
    if (Apply) Apply(Backs[0], Backs[1]);
    bnApply->setEnabled(false);
    raise();
    activateWindow();
}

void TfmDeck::accept() {
    Store();
    QDialog::accept();
}

}  // namespace canasta
