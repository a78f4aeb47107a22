#pragma once

// Resource, command and string ids. The numbers are fixed: commands route by them and the
// string table is looked up by them.
namespace tessival {

// Dialog templates.
inline constexpr int IDD_ABOUT = 100;
inline constexpr int IDD_MAIN = 102;
inline constexpr int IDD_CAPTURE_DEVICE = 149;
inline constexpr int IDD_ITEM_PROPERTIES = 150;
inline constexpr int IDD_QUALITY = 152;
inline constexpr int IDD_INVALID_ITEMS = 154;
inline constexpr int IDD_MORE_TYPES = 157;
inline constexpr int IDD_SUGGESTION = 158;
inline constexpr int IDD_INVALID_QUALITY = 160;

// Icons, bitmaps and menus.
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDB_SKIN = 130;
inline constexpr int IDB_LIST_ICONS = 132;
inline constexpr int IDB_FIRST_BUTTON = 133;
inline constexpr int IDR_POPUP_MENUS = 148;

// Standard dialog commands.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Main window commands (image buttons): each equals its button bitmap id + 868.
inline constexpr int ID_ADD = 1001;
inline constexpr int ID_DELETE = 1002;
inline constexpr int ID_NEW_LIST = 1003;
inline constexpr int ID_SAVE = 1004;
inline constexpr int ID_LOAD = 1005;
inline constexpr int ID_EDIT = 1006;
inline constexpr int ID_MINIMIZE = 1007;
inline constexpr int ID_EXIT = 1008;
inline constexpr int ID_MOVE_UP = 1009;
inline constexpr int ID_MOVE_DOWN = 1010;
inline constexpr int ID_PLAY = 1011;
inline constexpr int ID_HELP = 1012;
inline constexpr int ID_START = 1014;
inline constexpr int ID_STOP = 1015;
inline constexpr int IDC_ITEM_LIST = 1038;

// About dialog buttons.
inline constexpr int IDC_MAKER_SITE = 1013;
inline constexpr int IDC_PRODUCT_SITE = 1014;
inline constexpr int IDC_HELP_TOPIC = 1052;

// Invalid items dialog list.
inline constexpr int IDC_INVALID_LIST = 1000;

// Add popup menu commands.
inline constexpr int ID_ADD_FROM_FILE = 32771;
inline constexpr int ID_ADD_FROM_CDROM = 32772;
inline constexpr int ID_ADD_FROM_CAPTURER = 32773;

// System menu item that opens the about box.
inline constexpr int IDM_ABOUTBOX = 0x0010;

// Timers.
inline constexpr int TIMER_PROGRESS = 120;

// String table ids.
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDS_TIP_ADD = 102;
inline constexpr int IDS_TIP_STOP = 116;
inline constexpr int IDS_MEDIA_FILTER = 123;
inline constexpr int IDS_LIST_FILTER = 124;
inline constexpr int IDS_CONVERT_COMPLETE = 125;
inline constexpr int IDS_QUALITY_TITLE = 126;
inline constexpr int IDS_QUALITY_LIST_FAILED = 127;
inline constexpr int IDS_NEED_DIRECTX = 128;
inline constexpr int IDS_DEST_TYPE_GONE = 130;
inline constexpr int IDS_INIT = 131;
inline constexpr int IDS_USER_ABORT = 132;
inline constexpr int IDS_COMPLETE = 133;
inline constexpr int IDS_SOURCE_UNSUPPORTED = 135;
inline constexpr int IDS_SOURCE_INCOMPATIBLE = 136;
inline constexpr int IDS_DEST_TYPE_INVALID = 137;
inline constexpr int IDS_DEST_QUALITY_INVALID = 138;
inline constexpr int IDS_CONVERT_HAD_ERRORS = 139;
inline constexpr int IDS_UNSPECIFIC = 140;
inline constexpr int IDS_INVALID_DISK = 141;
inline constexpr int IDS_MISSING_DECODERS = 142;
inline constexpr int IDS_STOP_BEFORE_EXIT = 143;
// Texts for failures that need words of their own: damaged sources, unusable folders, lost devices.
inline constexpr int IDS_DEST_IS_SOURCE = 144;
inline constexpr int IDS_SOURCE_UNREADABLE = 145;
inline constexpr int IDS_DEST_FOLDER_UNUSABLE = 146;
inline constexpr int IDS_SOURCE_DAMAGED = 147;
inline constexpr int IDS_LIST_READ_FAILED = 148;
inline constexpr int IDS_LIST_WRITE_FAILED = 149;
inline constexpr int IDS_DEST_WRITE_FAILED = 150;       // "%s": the system's reason
inline constexpr int IDS_STOPPED_OUTPUT_BESIDE = 151;  // "%s": the file the stopped output went to
inline constexpr int IDS_CONVERSION_FAILED = 152;      // "%s": the media layer's reason
// Audio CDs and disc images.
inline constexpr int IDS_CD_SECTOR_UNREADABLE = 165;
inline constexpr int IDS_CD_NO_DISC = 166;
inline constexpr int IDS_CD_IMAGE_FILE_MISSING = 167;
inline constexpr int IDS_CD_IMAGE_DAMAGED = 168;
inline constexpr int IDS_CD_NO_SUCH_TRACK = 169;
inline constexpr int IDS_CD_IMAGE_NO_PERMISSION = 240;
inline constexpr int IDS_CD_TRACK_EMPTY = 241;
inline constexpr int IDS_CD_TRACK_PAST_END = 242;
inline constexpr int IDS_CD_TEST_COPY_DIFFER = 243;
inline constexpr int IDS_RIP_LOG_TITLE = 244;
inline constexpr int IDS_RIP_LOG_COLUMNS = 245;
inline constexpr int IDS_RIP_LOG_NOT_PROVEN = 246;
inline constexpr int IDS_RIP_LOG_TEST_COPY_DIFFER = 247;
inline constexpr int IDS_RIP_LOG_TRACK_ACCURATE = 248;
inline constexpr int IDS_RIP_LOG_ALL_ACCURATE = 249;
inline constexpr int IDS_CUE_INDEX_UNREADABLE = 264;  // "%s", "%d": the cue sheet, its line
inline constexpr int IDS_CUE_TRACK_PAST_END = 265;    // "%s", "%d": the cue sheet, its line
// Destination types that write files of their own container.
inline constexpr int IDS_FILE_TYPES_SEPARATOR = 180;
// 181 to 185: the quality suggestion for each file type, in the order of the type list.
inline constexpr int IDS_SUGGEST_FILE_TYPE_FIRST = 181;
inline constexpr int IDS_QUALITY_AS_SOURCE = 205;  // a quality's bits or frequency that stay the source's
inline constexpr int IDS_DEST_CLASH = 160;
inline constexpr int IDS_ADD_PATH_TOO_LONG = 161;
inline constexpr int IDS_ADD_NAME_TOO_LONG = 162;
// Recording from capture devices.
inline constexpr int IDS_CAPTURE_DEVICE_LOST = 170;
inline constexpr int IDS_CAPTURE_OVERRUN = 171;
inline constexpr int IDS_CAPTURE_DEVICE_MISSING = 263;  // "%s": the device's name
// The start-up probe's notes for this system, and files named on the command line.
inline constexpr int IDS_PROBE_MISSING_HERE = 190;
inline constexpr int IDS_PROBE_DEBIAN_PACKAGES = 191;
inline constexpr int IDS_FILE_NOT_ADDED = 192;
// The file dialog's entry for the formats only the general splitter reads.
inline constexpr int IDS_MORE_MEDIA_FILTER = 175;
inline constexpr int IDS_SOURCE_NO_AUDIO = 176;
// tessival-cli's progress line on a terminal.
inline constexpr int IDS_PROGRESS_ITEM = 200;   // "%s", "%s": the item's place, the run's item count
inline constexpr int IDS_PROGRESS_ITEMS = 201;  // "%s", "%s": the running items' places, the count
inline constexpr int IDS_PROGRESS_LEFT = 202;   // "%s": the time left for the whole run
// Converting whole libraries.
inline constexpr int IDS_DEST_FOLDER_NOT_CREATED = 220;  // "%s", "%s": the folder, the system's reason
inline constexpr int IDS_SKIPPED_UP_TO_DATE = 221;       // the Status of an item whose file is newer
// The naming dialog, reached from the properties window.
inline constexpr int IDS_NAMING_TITLE = 222;
inline constexpr int IDS_NAMING_PATTERN = 223;
inline constexpr int IDS_NAMING_ROOT = 224;
inline constexpr int IDS_NAMING_ROOT_EMPTY = 225;
inline constexpr int IDS_NAMING_PORTABLE = 226;
inline constexpr int IDS_NAMING_PREVIEW = 227;
inline constexpr int IDS_NAMING_TOO_LONG = 228;
inline constexpr int IDS_NAMING_BUTTON = 229;
// Files of others and outputs of interrupted runs.
inline constexpr int IDS_RECOVERED_OUTPUT = 260;  // "%s": where a dead writer's audio was kept
inline constexpr int IDS_DEST_NOT_AUDIO = 261;    // "%s": the file at the destination's name
inline constexpr int IDS_NOT_REGULAR_FILE = 262;  // "%s": a FIFO, socket, device or folder given as a file
// What IDS_SOURCE_DAMAGED says, told apart where the file shows which: no format recognises it, or
// its format is recognised and its audio cannot be read.
inline constexpr int IDS_SOURCE_NOT_MEDIA = 266;
inline constexpr int IDS_SOURCE_BROKEN = 267;
inline constexpr int IDS_TOO_MANY_CHANNELS = 268;  // "%s": the source's channel count
inline constexpr int IDS_SOURCE_CODEC_MISSING = 285;  // "%s": the codec no decoder here reads
// A list that another program kept locked through Save's wait.
inline constexpr int IDS_LIST_BUSY = 269;  // "%s": the list file
// tessival-cli's closing line for a run with failures, and what an incomplete item lacks.
inline constexpr int IDS_CLI_ITEMS_FAILED = 270;        // "%s", "%s": failed items, items run
inline constexpr int IDS_CLI_ITEM_INCOMPLETE = 271;     // "%s", "%s", "%s": place, source name, missing parts
inline constexpr int IDS_MISSING_DEST_TYPE = 272;
inline constexpr int IDS_MISSING_QUALITY = 273;
inline constexpr int IDS_MISSING_DEST_NAME = 274;
inline constexpr int IDS_MISSING_DEST_PATH = 275;
inline constexpr int IDS_MISSING_WRITABLE_DRIVE = 276;
inline constexpr int IDS_AND = 277;
inline constexpr int IDS_CLI_NO_SOUND_SERVER = 278;
// Loudness: measuring files, gain tags written after the fact, normalising.
inline constexpr int IDS_LOUDNESS_UNREADABLE = 290;    // "%s": a file whose audio does not decode
inline constexpr int IDS_ALBUM_TAGS_FAILED = 291;      // "%s", "%s": file, reason
inline constexpr int IDS_NORMALIZE_PEAK_LIMITED = 292; // "%s", "%s": gain applied, gain wanted (dB)
// A converted item's row while its output waits to be committed under its name.
inline constexpr int IDS_COMMIT_PENDING = 300;
// The window's own notes: the list kept at exit, refusals that would otherwise be silent.
inline constexpr int IDS_RESTORE_LAST_LIST = 250;
inline constexpr int IDS_DROP_DURING_RUN = 251;
inline constexpr int IDS_NO_SOUND_SERVER = 252;
inline constexpr int IDS_RECORDING = 253;   // "%s": the time recorded so far
inline constexpr int IDS_NOT_A_LIST = 254;  // "%s": the number of records the file would give
// Names a screen reader speaks for the main window's list and display.
inline constexpr int IDS_LIST_NAME = 255;
inline constexpr int IDS_DISPLAY_NAME = 256;
// The system menu's choice of how many items a run converts side by side.
inline constexpr int IDS_ITEMS_AT_ONCE = 257;
// The display menu's choice of ID3v2.3 tags in MP3 files.
inline constexpr int IDS_ID3V23_TAGS = 230;
// The display menu's choices of how audio CDs are read.
inline constexpr int IDS_DISC_LOOK_UP = 310;
inline constexpr int IDS_DISC_TEST_AND_COPY = 311;
inline constexpr int IDS_DRIVE_READ_OFFSET = 312;        // "%s": the offset in samples
inline constexpr int IDS_DRIVE_READ_OFFSET_TITLE = 313;
inline constexpr int IDS_DRIVE_READ_OFFSET_PROMPT = 314;
// The display menu's loudness choices, the running item's loudness and a converted item's.
inline constexpr int IDS_REPLAYGAIN_TAGS = 293;
inline constexpr int IDS_REPLAYGAIN_OFF = 294;
inline constexpr int IDS_REPLAYGAIN_TRACK = 295;
inline constexpr int IDS_REPLAYGAIN_ALBUM = 296;
inline constexpr int IDS_NORMALIZE = 297;                // "%s", "%s": target LUFS, ceiling dBTP
inline constexpr int IDS_NORMALIZE_TARGET = 298;
inline constexpr int IDS_NORMALIZE_TARGET_TITLE = 299;
inline constexpr int IDS_NORMALIZE_TARGET_PROMPT = 301;
inline constexpr int IDS_NORMALIZE_CEILING_PROMPT = 302;
inline constexpr int IDS_MOMENTARY_LOUDNESS = 303;       // "%s": LUFS
inline constexpr int IDS_MEASURED_LOUDNESS = 304;        // "%s" x4: LUFS, LU, dBTP, gain
inline constexpr int IDS_MEASURED_SILENCE = 305;

// The help file, installed under share/tessival/ and found from the executable's folder.
inline constexpr const char* kHelpFile = "tessival.html";

// Web addresses opened through the shell.
inline constexpr const char* kMakerSite = "www.kestrane.com";
inline constexpr const char* kMakerUrl = "https://www.kestrane.com/";
inline constexpr const char* kProductUrl = "https://www.kestrane.com/tessival/";
inline constexpr const char* kEncoderDownloadUrl = "https://www.kestrane.com/tessival/encoders/";

}  // namespace tessival
