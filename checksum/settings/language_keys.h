#pragma once
// The keys a language file defines. Every shipped language file defines all
// of them; a file that lacks one leaves that text empty (or, after a switch,
// as the language before had it).

#include <array>
#include <string_view>

namespace settings {

// The group that describes the file itself.
inline constexpr std::u16string_view kLanguageFileGroup = u"LANGUAGE FILE";

inline constexpr std::array<std::u16string_view, 6> kLanguageFileKeys = {
    u"tLangFileNAME", // display name in the languages menu
    u"tLangFileVERSION",
    u"tLangFileDATE",
    u"tLangFileAUTHOR",
    u"tLangFileLANGID", // the manual is "Hashmere_" + this + ".help"
    u"tLangFileSOFTWARE",
};

inline constexpr std::array<std::u16string_view, 35> kInterfaceTextKeys = {
    u"tGenMESSAGE",         // title of every message box
    u"tGenOK",              // button of information messages
    u"tGenNO",              // no button of questions
    u"tGenYES",             // yes button of questions
    u"tGenBROWSE",          // both browse buttons
    u"tMainFILE",           // frame around the file path
    u"tMainALGORITHM",      // frame around the algorithm rows
    u"tMainCLIPBOARD",      // copy buttons of the rows and the copy-all button
    u"tMainSAVE",           // save-results button
    u"tMainDELETEALL",      // clear-everything button
    u"tMainVERIFICATION",   // frame around the expected checksum
    u"tMainVERIFY",         // run button while idle
    u"tMainCANCEL",         // run button while running
    u"tMenuFILE",           // first menu title
    u"tMenuOPEN",           // open-file command
    u"tMenuQUIT",           // quit command
    u"tMenuLANGUAGES",      // languages menu title
    u"tMenuHELP",           // help menu title
    u"tMenuOPENHELP",       // open-manual command
    u"tMenuABOUT",          // About command
    u"tMenuOPENWEB",        // maker's web page command
    u"tReqOPENFILE",        // title of the open-file dialogs
    u"tReqOPENPATTERN",     // their filter list, "label|mask|label|mask..."
    u"tReqSAVEDATA",        // title of the save dialog
    u"tReqSAVEPATTERN",     // its filter list
    u"tReqCLIPBOARD",       // all results were copied
    u"tReqDELETEALL",       // question before clearing everything
    u"tReqCANCEL",          // question before cancelling a run
    u"tReqSURETOEXIT",      // question before quitting
    u"tReqINPROGRESSQUIT",  // question before quitting during a run
    u"tReqFINISHED",        // a run ended
    u"tReqCANCELLED",       // a run was cancelled
    u"tInfoERRORCALCULATE", // label before the count of failed algorithms
    u"tAboutTITLE",         // title of the About box
    u"tAboutCODE",          // label of the author line in the About box
};

} // namespace settings
