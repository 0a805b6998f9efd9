#pragma once
/* Resource ids of quorvelmeet.exe, shared by the resource script and the code
 * (plain defines: the resource compiler reads this file too). */

#define IDI_HOST_ICON 107       /* icon group, one 128 x 128 image, 32 bpp */
#define IDI_HOST_SMALL_ICON 108 /* icon group, one 48 x 48 image, 32 bpp */
/* The window class's menu and the accelerator table go by this id, and the
 * executable has neither: the main window has no menu and no accelerators. */
#define IDR_HOST_MENU 109
