#pragma once
/*
 * Crash reporter of CrashRpt1403.dll: what the host needs to install it.
 *
 * The library exports nothing by name. Link the import library built from
 * CrashRpt1403.def (target qm_crash_reporter): it binds the functions below
 * to their ordinals, as a module definition file does for any linker.
 *
 * On a crash the reporter writes one report folder and nothing else leaves
 * the machine: it has no network transport, so the upload address, the
 * e-mail fields and the transport priorities are accepted and not used.
 * A report folder holds
 *   crashdump.dmp   a minidump of the type the install record asks for,
 *   report.txt      what happened (application, version, reason, code,
 *                   address, time) and the list of attached files,
 *   the attached files (16) under their destination names,
 *   screenshot.bmp  the process's main window, when 27 asked for it.
 * The folder is <report folder>\<application>-<UTC time>-<process id>,
 * where the report folder is the install record's, or else
 * <temporary folder>\<application> crash reports.
 *
 * All functions use the WINAPI calling convention, take ANSI texts and
 * return 0 on success; on failure the reason is kept for ordinal 24.
 */
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Handlers the install flags can ask for. The C runtime's abort() ends
 * terminate, unexpected, a pure virtual call and a failed operator new in a
 * program built with this tool chain, so those flags install the SIGABRT
 * handler. Two flags are accepted and install nothing: a security-check
 * failure ends the process without passing through any handler, and each
 * module's C runtime keeps its own invalid-parameter handler, out of this
 * library's reach. */
#define CRASH_HANDLER_SEH 0x1u
#define CRASH_HANDLER_TERMINATE 0x2u
#define CRASH_HANDLER_UNEXPECTED 0x4u
#define CRASH_HANDLER_PURE_CALL 0x8u
#define CRASH_HANDLER_NEW_FAILURE 0x10u
#define CRASH_HANDLER_SECURITY_ERROR 0x20u
#define CRASH_HANDLER_INVALID_PARAMETER 0x40u
#define CRASH_HANDLER_SIGABRT 0x80u
#define CRASH_HANDLER_SIGFPE 0x100u
#define CRASH_HANDLER_SIGILL 0x200u
#define CRASH_HANDLER_SIGINT 0x400u
#define CRASH_HANDLER_SIGSEGV 0x800u
#define CRASH_HANDLER_SIGTERM 0x1000u
#define CRASH_HANDLER_ALL 0x1FFFu
/* Asks a reporting dialog to show its additional-information fields; this
 * reporter shows no dialog. */
#define CRASH_SHOW_ADDITIONAL_INFO_FIELDS 0x200000u

/* Transport priority meaning "never use this transport". */
#define CRASH_TRANSPORT_NEVER (-1)

/* Flag of crashReporterAddFile: copy the file into the report when it is made. */
#define CRASH_FILE_MAKE_COPY 0x1u

/* Flags of crashReporterAddScreenshot. */
#define CRASH_SCREENSHOT_MAIN_WINDOW 0x1u
#define CRASH_SCREENSHOT_USER_REMOVABLE 0x10u

#define CRASH_REPORTER_ERROR_TEXT_SIZE 512

typedef BOOL(CALLBACK* CrashReporterCallback)(LPVOID reserved);

/* The install record: zero-fill it, set `size` and the fields you need. */
typedef struct CrashReporterInstallInfo {
    WORD size;                      /* sizeof(CrashReporterInstallInfo): 104 */
    LPCSTR applicationName;         /* names the report folders; null: the executable's name */
    LPCSTR applicationVersion;      /* written to report.txt */
    LPCSTR emailRecipient;          /* not used: no e-mail transport */
    LPCSTR emailSubject;            /* not used */
    LPCSTR uploadUrl;               /* not used: reports are not uploaded */
    LPCSTR senderDirectory;         /* not used: reports are written in process */
    CrashReporterCallback callback; /* not called */
    int transportPriorities[3];     /* HTTP, SMTP, Simple MAPI; not used */
    DWORD flags;                    /* CRASH_HANDLER_* and CRASH_SHOW_* bits */
    LPCSTR privacyPolicyUrl;        /* not used */
    LPCSTR debugHelpLibrary;        /* full path of the minidump writer; null: the system's */
    DWORD minidumpType;             /* a MINIDUMP_TYPE combination */
    LPCSTR reportFolder;            /* where report folders go; null: see above */
    LPCSTR restartCommandLine;      /* not used: the process is not restarted */
    LPCSTR languageFile;            /* not used */
    LPCSTR emailText;               /* not used */
    LPCSTR smtpProxy;               /* not used */
    LPCSTR customIcon;              /* not used */
    LPCSTR smtpLogin;               /* not used */
    LPCSTR smtpPassword;            /* not used */
    int restartTimeout;             /* not used */
    DWORD reserved[2];              /* must be zero */
} CrashReporterInstallInfo;

#ifdef CRASH_REPORTER_BUILDING
#define CRASH_REPORTER_API
#else
#define CRASH_REPORTER_API __declspec(dllimport)
#endif

/* Ordinal 8. Checks the record (its size must be 104), loads the minidump
 * writer and installs the handlers the flags ask for, for the whole process.
 * Fails when already installed. */
CRASH_REPORTER_API int WINAPI crashReporterInstall(const CrashReporterInstallInfo* info);

/* Ordinal 9. Puts back the handlers that were there before the install and
 * forgets the attached files and the screenshot. Fails when not installed. */
CRASH_REPORTER_API int WINAPI crashReporterUninstall(void);

/* Ordinal 24. Writes the reason of the calling process's last failure ("OK"
 * when there was none) as a NUL-terminated text of at most `size` bytes.
 * Returns the number of bytes written without the NUL, or -1 when `buffer`
 * is null or `size` is 0. */
CRASH_REPORTER_API int WINAPI crashReporterLastErrorText(LPSTR buffer, UINT size);

/* Ordinal 16. Attaches `path` to every later report. `destinationName` is the
 * file's name inside the report (a plain file name; null: the file's own
 * name); `description` goes to report.txt. With CRASH_FILE_MAKE_COPY the file
 * is copied into the report; without it report.txt only names it. Needs an
 * installed reporter. */
CRASH_REPORTER_API int WINAPI crashReporterAddFile(LPCSTR path, LPCSTR destinationName,
                                                   LPCSTR description, DWORD flags);

/* Ordinal 27. Adds a screenshot of the process's main window (its visible
 * top-level window without owner, the foreground one first) to every later
 * report, as a 24-bit BMP. Only CRASH_SCREENSHOT_MAIN_WINDOW is supported;
 * the quality is ignored. Needs an installed reporter. */
CRASH_REPORTER_API int WINAPI crashReporterAddScreenshot(DWORD flags, int quality);

#ifdef __cplusplus
}
#endif
