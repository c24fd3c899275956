// The numbers by which the program addresses its windows, controls, images and menu items. Control
// and menu numbers are those the dispatch tables act on; nothing else may use them for another purpose.
#pragma once

namespace gui {

// Windows
constexpr int mainWindow = 1;
constexpr int windowSaveOptions = 31;
constexpr int comPortWindow = 223;
constexpr int windowDeviceParameters = 269;

// Controls of the main window
constexpr int controlConnectionImage = 61; // connection indicator picture
constexpr int controlCommsStatusText = 62; // connection indicator text
constexpr int controlLeftColumn = 59;      // container of the left column
constexpr int controlPanelContainer = 60;  // container of the cursor / key / settings panel
constexpr int controlConnectButton = 273;
constexpr int controlHighVoltageButton = 274;
constexpr int controlCommsStatusStrip = 275;
constexpr int controlRunStatusStrip = 277;
constexpr int controlRunButton = 278;
constexpr int controlStopButton = 279;
// A tile of the collector supply or step generator sections is seven controls from its first number:
// minus button, title, top-right text, value, bottom-left text, bottom-right text, plus button.
constexpr int tileCollectorVoltage = 318;
constexpr int tileCollectorCurrent = 325;
constexpr int tileStepSize = 332;
constexpr int tileOffset = 339;
constexpr int tileStepCount = 346;
constexpr int tileControlCount = 7;
constexpr int controlCollectorVoltageDown = 318;
constexpr int controlCollectorPolarity = 322;
constexpr int controlCollectorResistor = 323;
constexpr int controlCollectorVoltageUp = 324;
constexpr int controlCollectorCurrentDown = 325;
constexpr int controlCollectorPulse = 330;
constexpr int controlCollectorCurrentUp = 331;
constexpr int controlStepSizeDown = 332;
constexpr int controlStepPolarity = 336;
constexpr int controlBaseGateMode = 337;
constexpr int controlStepSizeUp = 338;
constexpr int controlOffsetDown = 339;
constexpr int controlOffsetPolarity = 343;
constexpr int controlOffsetRange = 344;
constexpr int controlOffsetUp = 345;
constexpr int controlStepCountDown = 346;
constexpr int controlBaseGatePulse = 351;
constexpr int controlStepCountUp = 352;
constexpr int controlPreviousSampleRun = 353;
constexpr int controlSampleRunName = 354;
constexpr int controlNextSampleRun = 355;
constexpr int controlPreviousTestConfiguration = 356;
constexpr int controlNextTestConfiguration = 358;
constexpr int controlDutNpn = 361; // 361 ... 366: NPN, PNP, NFET, PFET, DIODE, SCR
constexpr int controlDutScr = 366;
constexpr int controlGraph = 460;
constexpr int controlTestConfigurationFirstText = 476; // 476 ... 480: the five texts of its tile
constexpr int controlPanelImage = 513;
// Section headers, separators, borders and dividers of the left column: pictures without an action.
constexpr int controlLeftColumnDecorationFirst = 2000; // 2000 ... 2099

// COM port selection window
constexpr int controlComPortShownMethod1 = 286; // "COM " + n, read-only
constexpr int controlComPortShownMethod2 = 287;
constexpr int controlComPortScanStatus = 288;
constexpr int controlComPortProbed = 289;
constexpr int controlComPortUpdateMethod1 = 290;
constexpr int controlComPortUpdateMethod2 = 291;
constexpr int controlComPortScan = 293;
constexpr int controlComPortFound = 294;   // drop-down of the ports the scan opened
constexpr int controlComPortAll = 295;     // drop-down of COM 1 ... COM 99
constexpr int controlComPortLabelFirst = 2100; // 2100 ... 2119: its labels and section titles

// Controls of the Save Options window: its fixed texts from 3100, then the fields and check boxes.
constexpr int saveOptionsFirstText = 3100; // 3100 ... 3114: two notes, three headings, ten row labels
constexpr int controlSaveGraphTitle = 3120;
constexpr int controlSaveFileName = 3121;
constexpr int controlSaveUseGraphTitle = 3122;
constexpr int controlSaveImageFolder = 3123;
constexpr int controlSaveDataFolder = 3124;
constexpr int controlSaveRunNumber = 3125;
constexpr int controlSavePrependRunNumber = 3126;
constexpr int controlSaveAppendRunNumber = 3127;
constexpr int controlSaveDateFormat = 3128;
constexpr int controlSaveDateDashes = 3129;
constexpr int controlSaveAppendDate = 3130;
constexpr int controlSaveIso8601Time = 3131;
constexpr int controlSaveAppendTime = 3132;
constexpr int controlSaveUseSpaces = 3133;
constexpr int controlSaveUseUnderscores = 3134;
constexpr int controlSaveFileStem = 3135;

// Device Parameters window
constexpr int controlParametersKindLabel = 3300;
constexpr int controlParametersKind = 3301;       // combo box: "auto", then every device kind
constexpr int controlParametersInferred = 3302;
constexpr int controlParametersPoint = 3303;      // where the operating point is
constexpr int controlParametersTable = 3304;      // list of every parameter
constexpr int controlParametersCardLabel = 3305;
constexpr int controlParametersCard = 3306;       // the model card line, read-only
constexpr int controlParametersCopy = 3307;       // copies the table as tab-separated text
constexpr int controlParametersCopyStatus = 3308;

// Numbered images
constexpr int imageConnected = 387;
constexpr int imageDisconnected = 388;
constexpr int imageGreenTick = 452;
constexpr int imageClock = 453;
// The graph and the cursor panel as last drawn, kept for the saved picture.
constexpr int imageGraph = 460;
constexpr int imagePanel = 513;
// Status buttons, drawn by the main window and shown by the status refresh as the state changes.
constexpr int imageConnectOff = 2200;  // "CONNECT?"
constexpr int imageConnectOn = 2201;   // "CONNECTED"
constexpr int imageHvOff = 2202;       // "HV ENABLE"
constexpr int imageHvOn = 2203;        // "HV ON"
constexpr int imageRunIdle = 2204;     // "RUN"
constexpr int imageRunBusy = 2205;     // "RUNNING"
constexpr int imageStopBusy = 2206;    // "STOP"
constexpr int imageStopIdle = 2207;    // "STOPPED"

// Menu items
constexpr int menuSaveImageAndData = 28;
constexpr int menuSaveOptions = 31;
constexpr int menuAutoSave = 32;
constexpr int menuDefaultSetupOnStart = 33;
constexpr int menuOpenTestSetup = 34;
constexpr int menuSaveTestSetup = 35;
constexpr int menuSaveTestSetupAs = 36;
constexpr int menuAbout = 47;
constexpr int menuSupportInfo = 50;
constexpr int menuDailyUpdateCheck = 56;
constexpr int menuSelectComPort = 57;
constexpr int menuConnect = 227;
constexpr int menuDisconnect = 228;
constexpr int menuHvAutoOff = 229;
constexpr int menuDutFirst = 230; // 230 ... 239: NPN, PNP, NMOS_ENH, PMOS_ENH, NMOS_DEP, PMOS_DEP, NJFET, PJFET, DIODE, SCR
constexpr int menuDutLast = 239;
constexpr int menuSampleRateFirst = 240; // 240 ... 247: 10, 20, 30, 40, 50, 60, 80, 100 Hz
constexpr int menuSampleRateLast = 247;
constexpr int menuBaseClamp = 248;
constexpr int menuStep0Enabled = 249;
constexpr int menuGraticuleBoth = 250;
constexpr int menuGraticuleMajor = 251;
constexpr int menuGraticuleOff = 252;
constexpr int menuGraticuleWhite = 253;
constexpr int menuGraticuleLightGreen = 254;
constexpr int menuGraticuleDarkGreen = 255;
constexpr int menuBackgroundWhite = 256;
constexpr int menuBackgroundDarkGrey = 257;
constexpr int menuBackgroundBlack = 258;
constexpr int menuKeyRising = 259;
constexpr int menuKeyFalling = 260;
constexpr int menuAlternateColours = 261;
constexpr int menuCalibrateAdcDac = 262;
constexpr int menuFactoryFixture = 263;
constexpr int menuCalibrateOffset = 264;
constexpr int menuHardwareReset = 265;
constexpr int menuLiveSmoothed = 266;
constexpr int menuLiveRealtime = 267;
constexpr int menuLiveRaw = 268;
constexpr int menuDeviceParameters = 269;
constexpr int menuSaveModelCard = 270;
constexpr int menuSetReference = 271;
constexpr int menuLoadReference = 272;
constexpr int menuClearReference = 273;
constexpr int menuReferenceGrey = 274;

} // namespace gui
