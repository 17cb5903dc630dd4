// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help of the "Canasta Sound" dialog. The dialog lives in the media
// library, which the help library itself uses, so the window installs it.
namespace canasta {

class TfmSound;

void InstallSoundDialogHelp(TfmSound& dialog);

}  // namespace canasta
