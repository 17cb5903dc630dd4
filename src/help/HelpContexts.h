// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Help context numbers: every control of every dialog carries one. The
// numbers are named here; what each one opens (a help page and an anchor)
// and its short "What's This?" text come from the help folder's
// contexts.txt, so the manual and the pop-ups are written in one place.
#include <QString>
#include <map>
#include <vector>

namespace canasta {

// X(name, number) for every help context number the program uses.
// The table of numbers stays laid out by hand.
// clang-format off
#define CANASTA_HELP_CONTEXTS(X)                                                                  \
    /* topics */                                                                                  \
    X(hcContents, 1000) X(hcQuickStart, 1001) X(hcBasics, 1002) X(hcMelding, 1003)               \
    X(hcPile, 1004) X(hcGoingOut, 1005) X(hcScoring, 1006) X(hcRules, 1007) X(hcControls, 1008) \
    X(hcTable, 1009) X(hcComputer, 1010) X(hcNetwork, 1011) X(hcChat, 1012)                      \
    X(hcRuleDifferences, 1013) X(hcPlayerList, 1014) X(hcSavedGames, 1015)                       \
    X(hcHighScores, 1016) X(hcPlayers, 1017) X(hcCardBacks, 1018) X(hcSound, 1019)               \
    X(hcCustomize, 1020)                                                                          \
    /* table window and result windows */                                                        \
    X(hcScoreWindow, 1030) X(hcScoreDetailsButton, 1031) X(hcDetailsWindow, 1032)                \
    X(hcGameOver, 1033) X(hcEndHand, 1040) X(hcStatusText, 1041) X(hcScorePanels, 1042)          \
    X(hcWhoseTurn, 1043) X(hcMoveLog, 1044) X(hcMoveLogList, 1045) X(hcMoveLogClose, 1046)        \
    /* the areas of the table */                                                                 \
    X(hcTableStock, 1050) X(hcTablePile, 1051) X(hcTableHand, 1052) X(hcTableMelds, 1053)        \
    X(hcTableOpponentMelds, 1054) X(hcTableOpponentHand, 1055) X(hcTableRedThrees, 1056)        \
    X(hcTableOpponentRedThrees, 1057)                                                             \
    /* "Connect to Opponent" and "Network Canasta" */                                            \
    X(hcConnectDialog, 1100) X(hcConnectPlayOver, 1101) X(hcConnectInternet, 1102)               \
    X(hcConnectLan, 1103) X(hcConnectOpponent, 1104) X(hcConnectPaste, 1105)                     \
    X(hcConnectOwnIps, 1106) X(hcConnectCopy, 1107) X(hcConnectRefresh, 1108)                    \
    X(hcConnectIdServer, 1109) X(hcConnectConnect, 1110) X(hcConnectCancel, 1111)               \
    X(hcConnectHelpInternet, 1112) X(hcConnectHelpLan, 1113) X(hcTryConnect, 1114)               \
    X(hcTryConnectCancel, 1115)                                                                   \
    /* "Canasta Chat" */                                                                         \
    X(hcChatWindow, 1120) X(hcChatMessages, 1121) X(hcChatInput, 1122) X(hcChatFont, 1123)       \
    X(hcChatOnTop, 1124)                                                                          \
    /* "Rule Differences" */                                                                     \
    X(hcDiffWindow, 1130) X(hcDiffList, 1131) X(hcDiffHide, 1132) X(hcDiffUseOpponents, 1133)    \
    /* "Request Internet Player Listing" */                                                      \
    X(hcListingDialog, 1140) X(hcListingNick, 1141) X(hcListingEmail, 1142)                      \
    X(hcListingServer, 1143) X(hcListingRequest, 1144) X(hcListingWhichList, 1145)               \
    X(hcListingUin, 1146) X(hcListingSend, 1147) X(hcListingCancel, 1148)                        \
    X(hcListingService, 1149)                                                                     \
    /* "Rules" */                                                                                \
    X(hcRulesDialog, 1200) X(hcRulesAddToCanasta, 1201) X(hcRulesTopCardCounts, 1202)            \
    X(hcRulesInitiallyFrozen, 1203) X(hcRulesFrozenPerPlayer, 1204) X(hcRulesNaturalPair, 1205)  \
    X(hcRulesPairForExistingMeld, 1206) X(hcRulesDrawExtra, 1207) X(hcRulesThreeFreezes, 1208)   \
    X(hcRulesCanastaRequired, 1209) X(hcRulesBonusCounts, 1210) X(hcRulesWildCanasta, 1211)      \
    X(hcRulesCanastasToGoOut, 1212) X(hcRulesCardsDrawn, 1213) X(hcRulesStandard, 1214)          \
    X(hcRulesWarning, 1215) X(hcRulesOk, 1216) X(hcRulesCancel, 1217) X(hcRulesPages, 1218)      \
    /* "Select Card Back" and "Select Card Back Pattern" */                                      \
    X(hcDeckDialog, 1300) X(hcDeckSelect, 1301) X(hcDeckType, 1302) X(hcDeckSolid, 1303)         \
    X(hcDeckPattern, 1304) X(hcDeckCustom, 1305) X(hcDeckPreview, 1306) X(hcDeckChange, 1307)    \
    X(hcDeckOk, 1308) X(hcDeckCancel, 1309) X(hcDeckApply, 1310) X(hcPatternDialog, 1320)        \
    X(hcPatternGrid, 1321) X(hcPatternOk, 1322) X(hcPatternCancel, 1323)                         \
    /* "Customize Canasta" */                                                                    \
    X(hcCustomizeDialog, 1400) X(hcCustomizeOk, 1401) X(hcCustomizeCancel, 1402)                 \
    X(hcCustomizeApply, 1403) X(hcCustomizeSize, 1410) X(hcCustomizeColor, 1411)                 \
    X(hcCustomizeStatusbar, 1412) X(hcCustomizeTurns, 1413) X(hcCustomizeHighscores, 1414)       \
    X(hcPlayersList, 1420) X(hcPlayersCurrent, 1421) X(hcPlayersNew, 1422)                       \
    X(hcPlayersRename, 1423) X(hcPlayersDelete, 1424) X(hcPlayersSetCurrent, 1425)               \
    X(hcPlayersResetStats, 1426) X(hcCustomizeLevel, 1430) X(hcCustomizeAggression, 1431)        \
    X(hcCustomizeLevelWarning, 1432) X(hcCustomizeDiscarding, 1440) X(hcCustomizeDelay, 1441)    \
    X(hcCustomizeNoAnimation, 1442) X(hcCustomizeSpeed, 1443) X(hcCustomizeAutoSave, 1444)       \
    /* "Canasta Hall of Fame" and its name box */                                                \
    X(hcHallOfFame, 1500) X(hcHallLevel, 1501) X(hcHallType, 1502) X(hcHallRows, 1503)           \
    X(hcHallClear, 1504) X(hcHallOk, 1505) X(hcHallNameBox, 1506)                                \
    /* "Statistics" */                                                                           \
    X(hcWinRatio, 1520) X(hcWinRatioPlayer, 1521) X(hcWinRatioCounts, 1522)                      \
    X(hcWinRatioReset, 1523) X(hcWinRatioOk, 1524) X(hcStatisticsTally, 1525)                    \
    X(hcStatisticsScores, 1526)                                                                   \
    /* the welcome window */                                                                     \
    X(hcWelcome, 1700) X(hcWelcomeFirstGame, 1701) X(hcWelcomeKeys, 1702)                        \
    X(hcWelcomeDontShow, 1703) X(hcWelcomeClose, 1704)                                            \
    /* "Canasta Sound" */                                                                        \
    X(hcSoundDialog, 1600) X(hcSoundEnabled, 1601) X(hcSoundEvents, 1602)                        \
    X(hcSoundAssociated, 1603) X(hcSoundAdd, 1604) X(hcSoundRemove, 1605) X(hcSoundPlay, 1606)   \
    X(hcSoundDefault, 1607) X(hcMusicEnabled, 1610) X(hcMusicType, 1611) X(hcMusicJukebox, 1612) \
    X(hcMusicJukeboxBrowse, 1613) X(hcMusicSingle, 1614) X(hcMusicSingleBrowse, 1615)            \
    X(hcSoundOk, 1616) X(hcSoundCancel, 1617)
// clang-format on

enum THelpContextNumber : int {
#define CANASTA_HELP_ENUM(name, number) name = number,
    CANASTA_HELP_CONTEXTS(CANASTA_HELP_ENUM)
#undef CANASTA_HELP_ENUM
};

// Every number above, in order.
const std::vector<int>& KnownHelpContexts();

// One line of contexts.txt.
struct THelpContext {
    int Number = 0;
    QString Page;    // file name inside the help folder, e.g. "rules.html"
    QString Anchor;  // empty for the top of the page
    QString Text;    // the "What's This?" text, plain
    int Line = 0;    // line in contexts.txt, for messages
};

// The table of contexts.txt.
class THelpContexts {
public:
    // Reads "number page[#anchor] text" lines; blank lines and lines starting
    // with '#' are skipped. Returns false, with the first problem in error, on
    // a malformed line or a number given twice (the good lines are kept).
    bool Parse(const QString& text, QString* error = nullptr);
    // Reads the file; false when it cannot be read or does not parse.
    bool Load(const QString& file, QString* error = nullptr);

    const THelpContext* Find(int number) const;
    const std::map<int, THelpContext>& All() const { return Table; }
    bool Empty() const { return Table.empty(); }

private:
    std::map<int, THelpContext> Table;
};

// The folder of the help pages: the shipped data folder's "help".
QString HelpFolder();
// contexts.txt of HelpFolder(), read once.
const THelpContexts& HelpContexts();

}  // namespace canasta
