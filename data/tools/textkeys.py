"""The 531 text keys of a language file, by section, in ordinal order."""

_SPEC = (
    "delimiter inHz inrpm hz rpm voltac ampereac watt hour minute v a prozent ohm sec usec msec "
    "vpera prozperaac mampere degrcelsius pcapplication selective remotecontrol cwrot ccwrot "
    "locked up129 ip129 off fmotmin choose stop startstop reset run motorcodeb0 motorcodeb1 "
    "motorcodeb2 motorcodeb3 motorcodeb4 fixfreqb0 fixfreqb1 stateoperation statewarning "
    "statefailure stateoverload nratedreached warningcurrent motortemp motorstands motorruns "
    "loadhalvernpara loadm1m32 savem1m32 deletem1m32 loadfactorysettings saveparatohd "
    "loadparafromhd saveas loadfrom "
    + " ".join(f"m{n}" for n in range(1, 33))
    + " typem01ac typem02ac typem03ac typem04ac typem05ac typem06ac typem07ac typem08ac "
    "typem09ac typem10ac typem11dc typem12dct typem13dcs typem14dcs typem15dcs nomotor asm "
    "bldc bldcs testoperation 2poles 4poles 6poles 8poles nosensor ptc kty fmotnom "
    "factinmotnom dcbrake tfall standard catchpoweron catchalways dcbrakeoff inactive onnetoff "
    "ixr noipart nodpart ratedvalue operatingvalues basicparameters errors operatinghours "
    "motorparameters vhztable ctrlpara specificprog actsenstest parastruct factorysettings "
    "techservice flashupdate controlpage help helpdescription1 helpdescription2 finalinspect "
    "repeatinspect noneinspect invertertype firmwareversion serialnumber pcswversion fixfreq "
    "fbrelais1 fbrelais2 ledfaultorange ledoperationgreen nsollcurrent nsollvoltage tempbox "
    "inputvoltageur fbdin1 fbdin2 fbdin3 fbdin4 fbdin5 fbdin6 hallu hallv hallw tempmotor "
    "questionfactorysettings loaderdata updatedata passwordrequest reseteeprom modifyeeprom "
    "modifycalvalues intinvertervalues modifyserialnumber closetechservice remotectrlpara "
    "allparameters runtimedata totaleeprom burnin eepromaddress value calain1 calain2 caluub "
    "caluvb caluwb caluwr calur caliwrm caliwrb abparfrsoll abparfrsollint abparfrmotist "
    "abparuwrist abpariwrist abiynregl abiurist abiuwrsoll abiyibegrenzuwr abiyspregl "
    "fmotortest umotortest asktest overwritepopup divergencypopup choosemotortypepopup "
    "choosemotorparapopup savepopup deletepopup erasedpopup nochoice xaxiscaptionrpm "
    "xaxiscaptionhz yaxiscaption inv01 inv02 undef holdstorage resetinfo usebackbutton step "
    "statusdisplay runinstart currentrotation runinstartpopup runincancelpopup "
    "runinfinishedpopup steptime waitflashdownload flashvelmoraloaderstatus "
    "flashfirmwarestatus firmwaredownloadfinished"
)

# Parameters with a display name; the structure export adds 12, 36, 37 and 39.
PARA_NUMBERS = (
    [1, 7, 8, 10, 11, 13, 14, 15, 16, 18, 19, 20, 25, 26, 30, 31, 32, 33, 34, 41, 42, 44,
     46, 47, 48] + list(range(50, 59)) + list(range(60, 67)) + [70, 71, 72, 73]
    + list(range(77, 87)) + list(range(90, 95)) + [96, 102, 104, 105, 106]
    + list(range(110, 116)) + [120, 121, 125, 129, 135, 136, 137, 140, 141, 142, 146]
)
PARASTRUCT_NUMBERS = sorted(PARA_NUMBERS + [12, 36, 37, 39])

SECTIONS = [
    ("general", "company languagefile version".split()),
    ("menu", "file close languagechoice connection autodetect comselect com connected "
             "disconnected".split()),
    ("tabs", "tabcontrolpage taboperatingvalues tabremotecontrol tabmotorparameters tabrunin "
             "tabspecificprog tabtechservice".split()),
    ("errors", "errornumber warningnumber generalerror".split()
     + [f"error{n:02d}" for n in (1, 2, 3, 4, 5, 6, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                                  20, 21, 24, 25, 26, 45, 52, 53, 54, 57, 58, 62, 63)]),
    ("navi", "startbutton stopbutton resetbutton backbutton loadbutton sendbutton "
             "motparasendbtn savebutton notebutton enterbutton okbutton cancelbutton "
             "searchbutton programbutton overwritebutton".split()),
    ("spec", _SPEC.split()),
    ("para", [f"p{n}" for n in PARA_NUMBERS]),
    ("parastruct", [f"p{n}pn" for n in PARASTRUCT_NUMBERS]),
    # What the window says beyond the texts above: faults, notices, questions.
    ("notices", (
        "faultclass1 faultclass2 faultclass3 faultclassother faultundescribed "
        "tabrefusedrunin tabrefusedreading startrefusedfault operationlocked "
        "askresetarea askresettotal askserialnumber serialnumberinvalid askcalibration "
        "wrongaccesscode chooseloaderfile chooseupdatefile askfirmwarestart "
        "firmwarefileline lastdownloadfinished lastdownloadstopped askdiscardchanges "
        "filesaved notes notedescription1 notedescription2 "
    ).split()),
    # The trend window and its event log.
    ("trend", (
        "trendmenu trendshow trendtitle trendspan trendminute1 trendminutes5 "
        "trendminutes30 trendpause trendrecord trendstoprecord trendexport "
        "trendevents trendrecordtitle trendexporttitle trendcsvfiles trendpngfiles "
        "trendrecording trendtime trendlinkup trendlinkdown trendfaultclass "
        "trendruninstart trendruninstep trendruninstop trendfirmwarestart "
        "trendfirmwareend"
    ).split()),
]

EXPECTED_COUNTS = {"general": 3, "menu": 9, "tabs": 7, "errors": 32, "navi": 15,
                   "spec": 245, "para": 82, "parastruct": 86,
                   "notices": 26, "trend": 26}
KEY_COUNT = 531
MAX_VALUE_CHARS = 127

# Texts added after the fixed key list (src/shell/addedtexts.cpp and the
# link's port-hint table), each section after the fixed ones; whole sentences
# of up to 255 characters.
ADDED_SECTIONS = [
    ("messages", "emptyfile firmwareincomplete".split()),
    ("porthint", "portpermissiongroup portpermission portbusy".split()),
    ("portmenu", ["rememberadapter"]),
]
MAX_ADDED_CHARS = 255

# Fault numbers the fault popup knows, with the headline key of each.
WARNINGS = {1, 2, 18, 19, 20, 21, 24, 25, 26, 45, 54, 57, 62, 63}
