#include "crash_handlers.h"

#include <csignal>

#include "crash_reporter.h"
#include "unique_handle.h"

namespace {

// The report is written on a thread of its own: the crashed thread may have
// no stack left, and it must stay still while its state is dumped. The bound
// keeps a writer that hangs from keeping a dead process alive.
constexpr DWORD kReportTimeoutMs = 5 * 60 * 1000;
// A crash reported while another one is written waits this long for the
// process to end.
constexpr DWORD kSecondCrashWaitMs = kReportTimeoutMs + 10 * 1000;
// Exit code after a signal: the C runtime's code for abnormal termination.
constexpr UINT kSignalExitCode = 3;

struct SignalHandler {
    DWORD flags;
    int signal;
    const char* reason;
    void(__cdecl* previous)(int);
    bool installed;
};

constexpr DWORD kAbortFlags = CRASH_HANDLER_TERMINATE | CRASH_HANDLER_UNEXPECTED | CRASH_HANDLER_PURE_CALL |
                              CRASH_HANDLER_NEW_FAILURE | CRASH_HANDLER_SIGABRT;

SignalHandler signalHandlers[] = {
    {kAbortFlags, SIGABRT, "signal SIGABRT (abort)", nullptr, false},
    {CRASH_HANDLER_SIGFPE, SIGFPE, "signal SIGFPE", nullptr, false},
    {CRASH_HANDLER_SIGILL, SIGILL, "signal SIGILL", nullptr, false},
    {CRASH_HANDLER_SIGINT, SIGINT, "signal SIGINT", nullptr, false},
    {CRASH_HANDLER_SIGSEGV, SIGSEGV, "signal SIGSEGV", nullptr, false},
    {CRASH_HANDLER_SIGTERM, SIGTERM, "signal SIGTERM", nullptr, false},
};

CrashSink crashSink = nullptr;
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
bool filterInstalled = false;

volatile LONG reportStarted = 0;
volatile DWORD writerThreadId = 0;

// Signals come with no exception: the report gets the state of the thread
// that raised it, held still in its wait for the writer, under a code that
// says what it was.
void reportWithStateOf(const CrashEvent& event) {
    UniqueKernelHandle thread(OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_QUERY_INFORMATION,
                                         FALSE, event.threadId));
    CONTEXT context = {};
    context.ContextFlags = CONTEXT_FULL;
    if (!thread || SuspendThread(thread.get()) == static_cast<DWORD>(-1)) {
        crashSink(event);
        return;
    }
    const bool captured = GetThreadContext(thread.get(), &context) != FALSE;
    EXCEPTION_RECORD record = {};
    record.ExceptionCode = event.substituteCode;
    record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
#if defined(_M_IX86) || defined(__i386__)
    record.ExceptionAddress = reinterpret_cast<void*>(context.Eip);
#endif
    EXCEPTION_POINTERS pointers = {&record, &context};
    CrashEvent withState = event;
    if (captured)
        withState.exception = &pointers;
    crashSink(withState);
    ResumeThread(thread.get());
}

DWORD WINAPI writeReportThread(void* parameter) {
    const CrashEvent& event = *static_cast<const CrashEvent*>(parameter);
    if (event.exception)
        crashSink(event);
    else
        reportWithStateOf(event);
    return 0;
}

// Hands the crash to the sink once per process; returns when the report is
// written. A second crash waits for the first report to end the process.
void reportCrash(const CrashEvent& event, UINT exitCode) {
    if (InterlockedCompareExchange(&reportStarted, 1, 0) != 0) {
        if (GetCurrentThreadId() != writerThreadId)
            Sleep(kSecondCrashWaitMs);
        TerminateProcess(GetCurrentProcess(), exitCode);
        return;
    }
    DWORD threadId = 0;
    UniqueKernelHandle writer(CreateThread(nullptr, 0, writeReportThread, const_cast<CrashEvent*>(&event),
                                           CREATE_SUSPENDED, &threadId));
    if (!writer) {
        writerThreadId = GetCurrentThreadId();
        crashSink(event);
        return;
    }
    writerThreadId = threadId;
    ResumeThread(writer.get());
    WaitForSingleObject(writer.get(), kReportTimeoutMs);
}

void reportWithoutException(const char* reason, DWORD substituteCode, UINT exitCode) {
    CrashEvent event;
    event.reason = reason;
    event.threadId = GetCurrentThreadId();
    event.substituteCode = substituteCode;
    reportCrash(event, exitCode);
    TerminateProcess(GetCurrentProcess(), exitCode);
}

LONG WINAPI onUnhandledException(EXCEPTION_POINTERS* pointers) {
    CrashEvent event;
    event.reason = "unhandled exception";
    event.threadId = GetCurrentThreadId();
    event.exception = pointers;
    reportCrash(event, pointers && pointers->ExceptionRecord ? pointers->ExceptionRecord->ExceptionCode : 1);
    return EXCEPTION_EXECUTE_HANDLER;
}

void __cdecl onSignal(int signal) {
    for (const SignalHandler& handler : signalHandlers) {
        if (handler.signal == signal) {
            reportWithoutException(handler.reason, STATUS_FATAL_APP_EXIT, kSignalExitCode);
            return;
        }
    }
}

}  // namespace

void installCrashHandlers(DWORD flags, CrashSink sink) {
    crashSink = sink;
    reportStarted = 0;
    if (flags & CRASH_HANDLER_SEH) {
        previousFilter = SetUnhandledExceptionFilter(onUnhandledException);
        filterInstalled = true;
    }
    for (SignalHandler& handler : signalHandlers) {
        if (flags & handler.flags) {
            handler.previous = std::signal(handler.signal, onSignal);
            handler.installed = handler.previous != SIG_ERR;
        }
    }
}

void removeCrashHandlers() {
    if (filterInstalled) {
        SetUnhandledExceptionFilter(previousFilter);
        filterInstalled = false;
    }
    for (SignalHandler& handler : signalHandlers) {
        if (handler.installed) {
            std::signal(handler.signal, handler.previous);
            handler.installed = false;
        }
    }
}
