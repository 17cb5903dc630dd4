// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/GameHost.h"

namespace canasta {

void THeadlessHost::Note(const char* kind, const std::string& text) {
    if (Record) Events.push_back({kind, text});
}

bool THeadlessHost::NextAnswer() {
    if (Answers.empty()) return true;
    bool a = Answers.front();
    Answers.erase(Answers.begin());
    return a;
}

void THeadlessHost::ShowStatus(const std::string& text) {
    Status = text;
    Note("status", text);
}
void THeadlessHost::ShowStatusError(const std::string& text) {
    LastError = text;
    ++ErrorCount;
    Note("error", text);
}
void THeadlessHost::Beep() { Note("beep", ""); }
void THeadlessHost::Inform(const std::string& text, TMsgKind) {
    LastInform = text;
    ++InformCount;
    Note("inform", text);
}
void THeadlessHost::Notice(const std::string& text) {
    LastNotice = text;
    Note("notice", text);
}
void THeadlessHost::AnimateMove(const TCard&, TCardPlace, TCardPlace) {}
void THeadlessHost::Invalidate(TRegion) {}
void THeadlessHost::Wait(int ms) { WaitedMs += ms; }
void THeadlessHost::PlaySound(TSoundEvent e) {
    Note("sound", std::to_string(static_cast<int>(e)));
    if (OnSound) OnSound(e);
}
void THeadlessHost::MoveMade(const TMoveReport& move) {
    if (RecordMoves) Moves.push_back(move);
    Note("move", std::to_string(static_cast<int>(move.Kind)) + ":" + std::to_string(move.CardId) + ":" +
                     std::to_string(move.Column));
}
void THeadlessHost::SetUndoEnabled(bool e) { UndoEnabled = e; }
void THeadlessHost::SetEndHandVisible(bool v) { EndHandVisible = v; }
void THeadlessHost::SetEndHandEnabled(bool e) { EndHandEnabled = e; }
void THeadlessHost::SetRulesHint(const std::string& h) { RulesHint = h; }
void THeadlessHost::ShowWhoseTurn(const std::string& text) { Note("whoseturn", text); }
void THeadlessHost::ShowHandResult(const THandResult& r) {
    Note("hand", std::to_string(r.Player.Total) + " " + std::to_string(r.Opponent.Total));
}
void THeadlessHost::HandFinished(const THandResult& r) {
    if (Record) Hands.push_back(r);
}
std::optional<bool> THeadlessHost::ShowMatchResult(const TMatchResult& r) {
    Note("match", r.Comment);
    return NextAnswer();
}
void THeadlessHost::MatchFinished(const TMatchResult& r) {
    if (Record) Matches.push_back(r);
}

}  // namespace canasta
