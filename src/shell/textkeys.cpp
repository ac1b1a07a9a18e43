#include "shell/textkeys.h"

#include <array>
#include <unordered_map>
#include <vector>

#include "link/porthinttexts.h"

namespace velmora::shell::textkeys {

namespace {
// Every key in ordinal order; the sections follow each other in this order.
// clang-format off
constexpr std::array<std::string_view, kKeyCount> kKeys = {
    // general
    "company", "languagefile", "version",
    // menu
    "file", "close", "languagechoice", "connection", "autodetect", "comselect", "com", "connected",
    "disconnected",
    // tabs
    "tabcontrolpage", "taboperatingvalues", "tabremotecontrol", "tabmotorparameters", "tabrunin",
    "tabspecificprog", "tabtechservice",
    // errors
    "errornumber", "warningnumber", "generalerror", "error01", "error02", "error03", "error04",
    "error05", "error06", "error10", "error11", "error12", "error13", "error14", "error15",
    "error16", "error17", "error18", "error19", "error20", "error21", "error24", "error25",
    "error26", "error45", "error52", "error53", "error54", "error57", "error58", "error62",
    "error63",
    // navi
    "startbutton", "stopbutton", "resetbutton", "backbutton", "loadbutton", "sendbutton",
    "motparasendbtn", "savebutton", "notebutton", "enterbutton", "okbutton", "cancelbutton",
    "searchbutton", "programbutton", "overwritebutton",
    // spec
    "delimiter", "inHz", "inrpm", "hz", "rpm", "voltac", "ampereac", "watt", "hour", "minute", "v",
    "a", "prozent", "ohm", "sec", "usec", "msec", "vpera", "prozperaac", "mampere", "degrcelsius",
    "pcapplication", "selective", "remotecontrol", "cwrot", "ccwrot", "locked", "up129", "ip129",
    "off", "fmotmin", "choose", "stop", "startstop", "reset", "run", "motorcodeb0", "motorcodeb1",
    "motorcodeb2", "motorcodeb3", "motorcodeb4", "fixfreqb0", "fixfreqb1", "stateoperation",
    "statewarning", "statefailure", "stateoverload", "nratedreached", "warningcurrent", "motortemp",
    "motorstands", "motorruns", "loadhalvernpara", "loadm1m32", "savem1m32", "deletem1m32",
    "loadfactorysettings", "saveparatohd", "loadparafromhd", "saveas", "loadfrom", "m1", "m2", "m3",
    "m4", "m5", "m6", "m7", "m8", "m9", "m10", "m11", "m12", "m13", "m14", "m15", "m16", "m17",
    "m18", "m19", "m20", "m21", "m22", "m23", "m24", "m25", "m26", "m27", "m28", "m29", "m30",
    "m31", "m32", "typem01ac", "typem02ac", "typem03ac", "typem04ac", "typem05ac", "typem06ac",
    "typem07ac", "typem08ac", "typem09ac", "typem10ac", "typem11dc", "typem12dct", "typem13dcs",
    "typem14dcs", "typem15dcs", "nomotor", "asm", "bldc", "bldcs", "testoperation", "2poles",
    "4poles", "6poles", "8poles", "nosensor", "ptc", "kty", "fmotnom", "factinmotnom", "dcbrake",
    "tfall", "standard", "catchpoweron", "catchalways", "dcbrakeoff", "inactive", "onnetoff", "ixr",
    "noipart", "nodpart", "ratedvalue", "operatingvalues", "basicparameters", "errors",
    "operatinghours", "motorparameters", "vhztable", "ctrlpara", "specificprog", "actsenstest",
    "parastruct", "factorysettings", "techservice", "flashupdate", "controlpage", "help",
    "helpdescription1", "helpdescription2", "finalinspect", "repeatinspect", "noneinspect",
    "invertertype", "firmwareversion", "serialnumber", "pcswversion", "fixfreq", "fbrelais1",
    "fbrelais2", "ledfaultorange", "ledoperationgreen", "nsollcurrent", "nsollvoltage", "tempbox",
    "inputvoltageur", "fbdin1", "fbdin2", "fbdin3", "fbdin4", "fbdin5", "fbdin6", "hallu", "hallv",
    "hallw", "tempmotor", "questionfactorysettings", "loaderdata", "updatedata", "passwordrequest",
    "reseteeprom", "modifyeeprom", "modifycalvalues", "intinvertervalues", "modifyserialnumber",
    "closetechservice", "remotectrlpara", "allparameters", "runtimedata", "totaleeprom", "burnin",
    "eepromaddress", "value", "calain1", "calain2", "caluub", "caluvb", "caluwb", "caluwr", "calur",
    "caliwrm", "caliwrb", "abparfrsoll", "abparfrsollint", "abparfrmotist", "abparuwrist",
    "abpariwrist", "abiynregl", "abiurist", "abiuwrsoll", "abiyibegrenzuwr", "abiyspregl",
    "fmotortest", "umotortest", "asktest", "overwritepopup", "divergencypopup",
    "choosemotortypepopup", "choosemotorparapopup", "savepopup", "deletepopup", "erasedpopup",
    "nochoice", "xaxiscaptionrpm", "xaxiscaptionhz", "yaxiscaption", "inv01", "inv02", "undef",
    "holdstorage", "resetinfo", "usebackbutton", "step", "statusdisplay", "runinstart",
    "currentrotation", "runinstartpopup", "runincancelpopup", "runinfinishedpopup", "steptime",
    "waitflashdownload", "flashvelmoraloaderstatus", "flashfirmwarestatus",
    "firmwaredownloadfinished",
    // para
    "p1", "p7", "p8", "p10", "p11", "p13", "p14", "p15", "p16", "p18", "p19", "p20", "p25", "p26",
    "p30", "p31", "p32", "p33", "p34", "p41", "p42", "p44", "p46", "p47", "p48", "p50", "p51",
    "p52", "p53", "p54", "p55", "p56", "p57", "p58", "p60", "p61", "p62", "p63", "p64", "p65",
    "p66", "p70", "p71", "p72", "p73", "p77", "p78", "p79", "p80", "p81", "p82", "p83", "p84",
    "p85", "p86", "p90", "p91", "p92", "p93", "p94", "p96", "p102", "p104", "p105", "p106", "p110",
    "p111", "p112", "p113", "p114", "p115", "p120", "p121", "p125", "p129", "p135", "p136", "p137",
    "p140", "p141", "p142", "p146",
    // parastruct
    "p1pn", "p7pn", "p8pn", "p10pn", "p11pn", "p12pn", "p13pn", "p14pn", "p15pn", "p16pn", "p18pn",
    "p19pn", "p20pn", "p25pn", "p26pn", "p30pn", "p31pn", "p32pn", "p33pn", "p34pn", "p36pn",
    "p37pn", "p39pn", "p41pn", "p42pn", "p44pn", "p46pn", "p47pn", "p48pn", "p50pn", "p51pn",
    "p52pn", "p53pn", "p54pn", "p55pn", "p56pn", "p57pn", "p58pn", "p60pn", "p61pn", "p62pn",
    "p63pn", "p64pn", "p65pn", "p66pn", "p70pn", "p71pn", "p72pn", "p73pn", "p77pn", "p78pn",
    "p79pn", "p80pn", "p81pn", "p82pn", "p83pn", "p84pn", "p85pn", "p86pn", "p90pn", "p91pn",
    "p92pn", "p93pn", "p94pn", "p96pn", "p102pn", "p104pn", "p105pn", "p106pn", "p110pn", "p111pn",
    "p112pn", "p113pn", "p114pn", "p115pn", "p120pn", "p121pn", "p125pn", "p129pn", "p135pn",
    "p136pn", "p137pn", "p140pn", "p141pn", "p142pn", "p146pn",
    // notices
    "faultclass1", "faultclass2", "faultclass3", "faultclassother", "faultundescribed",
    "tabrefusedrunin", "tabrefusedreading", "startrefusedfault", "operationlocked", "askresetarea",
    "askresettotal", "askserialnumber", "serialnumberinvalid", "askcalibration", "wrongaccesscode",
    "chooseloaderfile", "chooseupdatefile", "askfirmwarestart", "firmwarefileline",
    "lastdownloadfinished", "lastdownloadstopped", "askdiscardchanges", "filesaved", "notes",
    "notedescription1", "notedescription2",
    // trend
    "trendmenu", "trendshow", "trendtitle", "trendspan", "trendminute1", "trendminutes5",
    "trendminutes30", "trendpause", "trendrecord", "trendstoprecord", "trendexport",
    "trendevents", "trendrecordtitle", "trendexporttitle", "trendcsvfiles", "trendpngfiles",
    "trendrecording", "trendtime", "trendlinkup", "trendlinkdown", "trendfaultclass",
    "trendruninstart", "trendruninstep", "trendruninstop", "trendfirmwarestart",
    "trendfirmwareend",
};
// clang-format on

struct SectionRange {
    std::string_view name;
    int first;
    int count;
};

constexpr std::array<SectionRange, 10> kSections = {{
    {"general", 0, 3},
    {"menu", 3, 9},
    {"tabs", 12, 7},
    {"errors", 19, 32},
    {"navi", 51, 15},
    {"spec", 66, 245},
    {"para", 311, 82},
    {"parastruct", 393, 86},
    {"notices", 479, 26},
    {"trend", 505, 26},
}};

static_assert(
    [] {
        int next = 0;
        for (const auto& section : kSections) {
            if (section.first != next) return false;
            next += section.count;
        }
        return next == kKeyCount;
    }(),
    "the sections must cover every ordinal once");

// The texts added after the ordinal keys. The port hints come from the link's
// table, which the command line shows in English.
constexpr TextKey kMessages[] = {
    {"messages", "emptyfile", "The file is empty."},
    {"messages", "firmwareincomplete",
     "The drive asked for more than the update file holds. The update was not completed."},
    {"messages", "ordersnotsent", "Not sent to the drive: %1"},
    {"messages", "lostgroupwrite", "write of group %1"},
    {"messages", "lostcommand", "command %1"},
    {"messages", "losttimes", "%1 (%2 times)"},
    {"messages", "loststartmotor", "start motor"},
    {"messages", "loststopmotor", "stop motor"},
    {"messages", "lostresetdrive", "reset the drive"},
    {"messages", "lostloadslot", "load a memory slot"},
    {"messages", "lostsaveslot", "save to a memory slot"},
    {"messages", "lostdeleteslot", "delete a memory slot"},
    {"messages", "lostfactorysettings", "load the factory settings"},
    {"messages", "lostcalibration", "write the calibration"},
    {"messages", "lostserialnumber", "write the serial number"},
    {"messages", "losteepromword", "write a memory word"},
    {"messages", "decimalseparator", "."},
    {"messages", "numberinvalid",
     "\u201c%1\u201d is not a number this field takes. It shows its last value again; nothing was "
     "sent."},
    {"messages", "refusedwhilerunning", "%1: not while the motor runs. Stop the motor first."},
    {"messages", "runinstepabovemax",
     "Step %1 asks for %2 rpm, above the drive's maximum frequency of %3 Hz (P42). The program "
     "was not started."},
    {"messages", "runindrivespeed", "drive: %1"},
    {"messages", "outsiderange",
     "%1 holds %2, outside the allowed range %3 to %4. It is shown as read and was not changed."},
};
constexpr TextKey kPortMenu[] = {
    {"portmenu", "rememberadapter", "Remember this adapter for this port"},
};
constexpr TextKey kFrame[] = {
    {"frame", "askendwhilebusy",
     "The motor may still be turning, or a run-in program, a firmware transfer or a recording "
     "is running. The drive keeps its last command when this program ends."},
    {"frame", "stopandclose", "Stop the motor and close"},
    {"frame", "closeleaverunning", "Close and leave it running"},
    {"frame", "stopmotortip", "Stops the motor from every page (F12), as Stop on the control page"},
    {"frame", "linklostdrive",
     "Link to the drive lost. The drive keeps its last command: the motor may still be turning."},
    {"frame", "linklost", "link lost"},
    {"frame", "deviceinuse", "Device: %1"},
};

// Why the guarded way to the drive refused a write or an action.
constexpr TextKey kGate[] = {
    {"gate", "gaterefusedvalue", "Not sent to the drive: %1 = %2 lies outside %3 … %4."},
    {"gate", "gaterefusedunread", "Not sent to the drive: %1 has no value read from the drive."},
    {"gate", "gaterefusedrunning", "Not sent while the motor runs: stop the motor first."},
    {"gate", "gaterefusedunknown", "Not sent: no status from the drive yet."},
    {"gate", "gaterefusedtransfer", "Not possible while a firmware download holds the drive."},
    {"gate", "gaterefused", "Not sent to the drive."},
};

// The drive history view and the journal's notice.
constexpr TextKey kHistory[] = {
    {"history", "historymenu", "History"},
    {"history", "historyshow", "Drive history…"},
    {"history", "historytitle", "Drive history"},
    {"history", "historytitleserial",
     "Drive history of serial number %1, newest first. Snapshots are bold."},
    {"history", "historyalldrives", "No drive read yet: the entries of every drive, newest first."},
    {"history", "historyunreadable", "The drive history cannot be read: %1"},
    {"history", "historyjournalfailed", "The drive history cannot be kept: %1"},
    {"history", "historyid", "No."},
    {"history", "historytime", "Time"},
    {"history", "historykind", "Entry"},
    {"history", "historywhat", "Parameter or action"},
    {"history", "historyold", "Old value"},
    {"history", "historynew", "New value"},
    {"history", "historyoutcome", "Outcome"},
    {"history", "historyorigin", "Program, user, computer"},
    {"history", "historycompare", "Compare"},
    {"history", "historyrestore", "Write back…"},
    {"history", "historyexport", "Export CSV…"},
    {"history", "historyclose", "Close"},
    {"history", "historycomparehint",
     "Pick one snapshot to compare it with the drive now, or two snapshots to compare them."},
    {"history", "historypickone", "Pick exactly one snapshot to write back."},
    {"history", "historyparameter", "Parameter"},
    {"history", "historydrivenow", "Drive now"},
    {"history", "historyentry", "Entry %1, %2"},
    {"history", "historygroup", "Parameter group %1"},
    {"history", "historydifferences", "%1 differences (highlighted)."},
    {"history", "historyasktorestore",
     "Write the values of entry %1 (%2) to the drive? The drive's present values are kept in the "
     "history first, to undo this."},
    {"history", "historyrestored",
     "The values of entry %1 were sent to the drive. Its values before are kept as entry %2."},
    {"history", "historyrestorestopped",
     "Not every group was sent to the drive (see the status bar). Its values before are kept as "
     "entry %1."},
    {"history", "historyrestorenotread",
     "The drive has not been read completely yet. Nothing was written."},
    {"history", "historyrestorenosnapshot",
     "Entry %1 holds no values that can be written back. Nothing was written."},
    {"history", "historyrestorenoundo",
     "The history could not keep the drive's present values. Nothing was written."},
    {"history", "historyexporttitle", "Export the drive history"},
    {"history", "historycsvfiles", "CSV files (*.csv)"},
    {"history", "historykindconnection", "connection"},
    {"history", "historykindwrite", "write"},
    {"history", "historykindaction", "action"},
    {"history", "historykindfaultraised", "fault raised"},
    {"history", "historykindfaultcleared", "fault cleared"},
    {"history", "historykindstart", "start"},
    {"history", "historykindstop", "stop"},
    {"history", "historykindreset", "reset"},
    {"history", "historykinddirection", "direction"},
    {"history", "historykindruninstart", "run-in started"},
    {"history", "historykindruninend", "run-in ended"},
    {"history", "historykindfirmware", "firmware transfer"},
    {"history", "historykindrestore", "restore"},
    {"history", "historykindsnapshot", "undo snapshot"},
};

// The trend window's markers, controls and event log (texts of journal entries).
constexpr TextKey kTrendView[] = {
    {"trendview", "trendmarklinklost", "Link lost"},
    {"trendview", "trendmarkrunin", "Run-in"},
    {"trendview", "trendmarkstep", "Step %1"},
    {"trendview", "trendmarkruninend", "Run-in end"},
    {"trendview", "trendresume", "Resume"},
    {"trendview", "trendrecordingbar", "Recording the trend: %1"},
    {"trendview", "trendidentity", "Drive %1, %2, firmware %3; %4; %5"},
    {"trendview", "trendnoserial", "The events show once the drive's serial number is read."},
    {"trendview", "trendjconnected", "Drive connected (%1)"},
    {"trendview", "trendjwrite", "%1 set from %2 to %3"},
    {"trendview", "trendjaction", "Action: %1"},
    {"trendview", "trendjfaultcleared", "%1 cleared"},
    {"trendview", "trendjstart", "Motor started"},
    {"trendview", "trendjstop", "Motor stopped"},
    {"trendview", "trendjreset", "Drive reset"},
    {"trendview", "trendjdirection", "Direction of rotation set from %1 to %2"},
    {"trendview", "trendjruninstart", "Run-in program %1 started"},
    {"trendview", "trendjruninend", "Run-in program ended: %1"},
    {"trendview", "trendjfirmware", "Firmware transfer %1: %2"},
    {"trendview", "trendjrestore", "Parameters restored from %1: %2"},
    {"trendview", "trendjrefused", "refused"},
    {"trendview", "trendjlost", "lost with the link"},
};

constexpr int kMaxKeyCharacters = 127;
constexpr int kMaxAddedCharacters = 255;

const std::vector<TextKey>& texts() {
    static const std::vector<TextKey> all = [] {
        std::vector<TextKey> list;
        for (int i = 0; i < kKeyCount; ++i) list.push_back({sectionOf(i), keyName(i), {}});
        list.insert(list.end(), std::begin(kMessages), std::end(kMessages));
        for (const link::PortHintText& hint : link::kPortHints)
            list.push_back({link::kPortHintSection, hint.key, hint.english});
        list.insert(list.end(), std::begin(kPortMenu), std::end(kPortMenu));
        list.insert(list.end(), std::begin(kGate), std::end(kGate));
        list.insert(list.end(), std::begin(kFrame), std::end(kFrame));
        list.insert(list.end(), std::begin(kHistory), std::end(kHistory));
        list.insert(list.end(), std::begin(kTrendView), std::end(kTrendView));
        return list;
    }();
    return all;
}

const std::unordered_map<std::string_view, int>& indicesByName() {
    static const auto map = [] {
        std::unordered_map<std::string_view, int> names;
        const auto& all = texts();
        for (std::size_t i = 0; i < all.size(); ++i) names.emplace(all[i].key, static_cast<int>(i));
        return names;
    }();
    return map;
}

}  // namespace

std::span<const TextKey> allTexts() {
    return texts();
}

int indexOf(std::string_view key) {
    const auto& names = indicesByName();
    const auto found = names.find(key);
    return found == names.end() ? -1 : found->second;
}

int maxCharacters(int index) {
    return index < kKeyCount ? kMaxKeyCharacters : kMaxAddedCharacters;
}

std::string_view keyName(int ordinal) {
    if (ordinal < 0 || ordinal >= kKeyCount) return {};
    return kKeys[static_cast<std::size_t>(ordinal)];
}

std::string_view sectionOf(int ordinal) {
    for (const auto& section : kSections) {
        if (ordinal >= section.first && ordinal < section.first + section.count) {
            return section.name;
        }
    }
    return {};
}

int ordinalOf(std::string_view key) {
    const int index = indexOf(key);
    return index < kKeyCount ? index : -1;
}

}  // namespace velmora::shell::textkeys
