"""The installer's dialog templates as they must come out of the build:
dialog by dialog, then control by control in template order (which is the
tab order).  Styles are written as the names they are made of, so that each
row reads like the dialog's description; ids of -1 are the 32-bit 0xFFFFFFFF
of an extended template."""

# Window and dialog styles.
WS_POPUP = 0x80000000
WS_CHILD = 0x40000000
WS_VISIBLE = 0x10000000
WS_CAPTION = 0x00C00000
WS_BORDER = 0x00800000
WS_SYSMENU = 0x00080000
WS_GROUP = 0x00020000
WS_TABSTOP = 0x00010000
DS_3DLOOK = 0x0004
DS_SETFONT = 0x0040
DS_MODALFRAME = 0x0080
DS_NOIDLEMSG = 0x0100
DS_CENTER = 0x0800
WS_EX_NOPARENTNOTIFY = 0x0004
WS_EX_TRANSPARENT = 0x0020
WS_EX_TOOLWINDOW = 0x0080
WS_EX_CLIENTEDGE = 0x0200
# Control styles.
SS_LEFT = 0x0000
SS_GRAYRECT = 0x0005
SS_WHITERECT = 0x0006
SS_BITMAP = 0x000E
SS_ETCHEDHORZ = 0x0010
SS_CENTERIMAGE = 0x0200
BS_PUSHBUTTON = 0x0000
BS_DEFPUSHBUTTON = 0x0001
BS_AUTOCHECKBOX = 0x0003
BS_AUTORADIOBUTTON = 0x0009
BS_LEFT = 0x0100
BS_FLAT = 0x8000
ES_LEFT = 0x0000
ES_AUTOHSCROLL = 0x0080
PBS_SMOOTH = 0x0001

# The predefined control classes are stored as ordinals.
BUTTON = 0x0080
EDIT = 0x0081
STATIC = 0x0082
PROGRESS = "msctls_progress32"

CHILD = WS_CHILD | WS_VISIBLE
FONT = (8, 0, 0, 1, "MS Sans Serif")  # points, weight, italic, character set, face
MODAL = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK
CHECKBOX = CHILD | BS_AUTOCHECKBOX | BS_LEFT | BS_FLAT
RADIO = CHILD | BS_AUTORADIOBUTTON
LOGO = CHILD | SS_BITMAP | SS_CENTERIMAGE

# (id, class, text, style, extended style, x, y, width, height)
DIALOGS = {
    1000: {
        "style": MODAL,
        "exstyle": 0,
        "title": "Quavertone --- Installation",
        "font": FONT,
        "rect": (0, 0, 254, 256),
        "controls": [
            (1001, STATIC, "Program Installation", CHILD | SS_LEFT | WS_GROUP, 0, 58, 142, 142, 8),
            (-1, STATIC, "", CHILD | SS_ETCHEDHORZ, 0, 58, 152, 196, 1),
            (1002, STATIC, "Quavertone will be installed in your PC in the specified folder.",
             CHILD | SS_LEFT | WS_GROUP, 0, 66, 158, 144, 26),
            (1, BUTTON, "&I n s t a l l", CHILD | BS_DEFPUSHBUTTON | WS_TABSTOP, WS_EX_TRANSPARENT, 58, 220, 64, 22),
            (2, BUTTON, "&C a n c e l", CHILD | BS_PUSHBUTTON | WS_TABSTOP, 0, 134, 220, 64, 22),
            (1003, EDIT, "", CHILD | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_GROUP | WS_TABSTOP,
             WS_EX_TRANSPARENT, 58, 194, 122, 12),
            (1004, BUTTON, "...", CHILD | BS_PUSHBUTTON | WS_TABSTOP, WS_EX_CLIENTEDGE, 184, 194, 14, 12),
            (-1, STATIC, "", CHILD | SS_ETCHEDHORZ, 0, 58, 94, 196, 1),
            (-1, STATIC, "System Requirements", CHILD | SS_LEFT | WS_GROUP, 0, 58, 84, 142, 8),
            (1005, BUTTON, "Windows", CHECKBOX, 0, 66, 100, 142, 10),
            (1006, BUTTON, "3 megabytes free disk space to install", CHECKBOX, 0, 66, 110, 142, 10),
            (1007, BUTTON, "7 megabytes free memory to run", CHECKBOX, 0, 66, 120, 142, 10),
            (1010, STATIC, "", LOGO, WS_EX_TRANSPARENT, 56, 14, 136, 48),
            (-1, STATIC, "", CHILD | SS_GRAYRECT, 0, 52, 6, 202, 8),
            (-1, STATIC, "", CHILD | SS_GRAYRECT, 0, 0, 62, 196, 8),
            (-1, STATIC, "", CHILD | SS_WHITERECT, 0, 52, 10, 144, 56),
        ],
    },
    3000: {
        "style": WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_NOIDLEMSG | DS_MODALFRAME
        | DS_SETFONT,
        "exstyle": WS_EX_TOOLWINDOW | WS_EX_NOPARENTNOTIFY,
        "title": "",
        "font": FONT,
        "rect": (0, 0, 246, 15),
        "controls": [
            (3002, PROGRESS, "Progress1", CHILD | WS_BORDER | PBS_SMOOTH, 0, 4, 4, 238, 8),
        ],
    },
    4000: {
        "style": MODAL,
        "exstyle": 0,
        "title": "Quavertone --- CD-ROM",
        "font": FONT,
        "rect": (0, 0, 254, 198),
        "controls": [
            (1, BUTTON, "&O K", CHILD | BS_DEFPUSHBUTTON | WS_TABSTOP, WS_EX_TRANSPARENT, 58, 162, 64, 22),
            (2, BUTTON, "&C a n c e l", CHILD | BS_PUSHBUTTON | WS_TABSTOP, 0, 134, 162, 64, 22),
            (4001, BUTTON, "&Run Quavertone", RADIO, 0, 60, 88, 126, 10),
            (4002, BUTTON, "Run Quavertone &Setup", RADIO, 0, 60, 100, 126, 10),
            (4003, BUTTON, "Run Microsoft &DirectX Setup", RADIO, 0, 60, 112, 126, 10),
            (4004, BUTTON, "Install Additional Sound &FX Packs", RADIO, 0, 60, 124, 126, 10),
            (4005, BUTTON, "&Explore Quavertone CD-ROM", RADIO, 0, 60, 136, 126, 10),
            (4006, STATIC, "", LOGO, WS_EX_TRANSPARENT, 56, 14, 136, 48),
            (-1, STATIC, "", CHILD | SS_GRAYRECT, 0, 52, 6, 202, 8),
            (-1, STATIC, "", CHILD | SS_GRAYRECT, 0, 0, 62, 196, 8),
            (-1, STATIC, "", CHILD | SS_WHITERECT, 0, 52, 10, 144, 56),
        ],
    },
}
