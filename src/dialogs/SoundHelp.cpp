// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/SoundHelp.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "help/HelpContexts.h"
#include "help/HelpWindow.h"
#include "media/SoundDialog.h"

namespace canasta {

void InstallSoundDialogHelp(TfmSound& d) {
    InstallDialogHelp(&d, hcSoundDialog);
    InstallHelpContext(d.Tabs, hcSoundDialog);
    InstallHelpContext(d.SoundEnabled, hcSoundEnabled);
    InstallHelpContext(d.EventList, hcSoundEvents);
    InstallHelpContext(d.SoundList, hcSoundAssociated);
    InstallHelpContext(d.AddButton, hcSoundAdd);
    InstallHelpContext(d.RemoveButton, hcSoundRemove);
    InstallHelpContext(d.PlayButton, hcSoundPlay);
    InstallHelpContext(d.DefaultButton, hcSoundDefault);
    InstallHelpContext(d.MusicEnabled, hcMusicEnabled);
    // The type box holds both choices; each choice and its field say more.
    if (QWidget* typeBox = d.JukeboxChoice->parentWidget(); typeBox && typeBox != d.Tabs)
        InstallHelpContext(typeBox, hcMusicType);
    InstallHelpContext(d.JukeboxChoice, hcMusicJukebox);
    InstallHelpContext(d.JukeboxFolder, hcMusicJukebox);
    InstallHelpContext(d.JukeboxBrowse, hcMusicJukeboxBrowse);
    InstallHelpContext(d.SingleChoice, hcMusicSingle);
    InstallHelpContext(d.SingleFile, hcMusicSingle);
    InstallHelpContext(d.SingleBrowse, hcMusicSingleBrowse);
    InstallHelpContext(d.OkButton, hcSoundOk);
    InstallHelpContext(d.CancelButton, hcSoundCancel);
}

}  // namespace canasta
