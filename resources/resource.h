/* Identifiers of the program's resources and of the items in its dialog
 * templates and menu, shared by vexlo.rc and the program's sources. Plain
 * #defines only, so that the resource compiler reads it as well. */
#ifndef VEXLO_RESOURCE_H
#define VEXLO_RESOURCE_H

/* Resources. */
#define IDD_SOLVER 1       /* the main dialog */
#define IDD_ABOUT 2        /* the About box */
#define IDR_SOLVER_MENU 1  /* menu of the main dialog */
#define IDR_ACCELERATORS 1 /* the main dialog's accelerator table */
#define IDI_SOLVER 1       /* large icon: class icon and About picture */
#define IDI_SOLVER_SMALL 2 /* small icon of the main window */

/* The x of a dialog template that leaves the horizontal position to the
 * system: the 16-bit form of the platform's default-position marker. */
#define DIALOG_DEFAULT_X (-32768)

/* The predefined control classes as dialog templates name them: by atom,
 * as the platform's own resource compiler writes them, not by text. */
#define DLGCLASS_BUTTON 0x0080
#define DLGCLASS_EDIT 0x0081
#define DLGCLASS_STATIC 0x0082
#define DLGCLASS_LISTBOX 0x0083
#define DLGCLASS_SCROLLBAR 0x0084
#define DLGCLASS_COMBOBOX 0x0085

/* Items without an identifier of their own. */
#define IDC_STATIC (-1)

/* Main dialog. */
#define IDC_SOLVE 1 /* the platform's OK command, so Enter presses it */
#define IDC_STOP 2  /* the platform's Cancel command, so Escape presses it */
#define IDC_TARGET 101
#define IDC_SOLUTIONS 102
#define IDC_NUMBER0 110
#define IDC_NUMBER1 111
#define IDC_NUMBER2 112
#define IDC_NUMBER3 113
#define IDC_NUMBER4 114
#define IDC_NUMBER5 115
#define IDC_ELAPSED 120
#define IDC_NEAREST 121
#define IDC_COUNT 122
#define IDC_RESET 130

/* Menu commands. */
#define IDM_RANDOM_0_BIG 200
#define IDM_RANDOM_1_BIG 201
#define IDM_RANDOM_2_BIG 202
#define IDM_RANDOM_3_BIG 203
#define IDM_RANDOM_4_BIG 204
#define IDM_RANDOM_ANY 205
#define IDM_COPY_SOLUTIONS 24323
#define IDM_EXIT 24340
#define IDM_ABOUT 24346

/* About box. */
#define IDC_ABOUT_OK 2 /* Cancel, so that Escape and the close box end it too */
#define IDC_VISIT_SITE 101

/* The maker's web site, which the About box names and "Visit" opens. The
 * reserved .example domain can never lead to somebody else's site. */
#define VEXLO_SITE_ADDRESS "https://www.tarvix.example/"

#endif /* VEXLO_RESOURCE_H */
