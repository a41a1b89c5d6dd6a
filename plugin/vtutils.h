/* vtutils.h - the binary interface of an rSQL script plug-in.
 *
 * A runner (vtconsole, vtdesk) loads a plug-in by file name with dlopen and looks these nine
 * functions up by name with dlsym. Any shared library exporting them with C linkage can serve.
 *
 * Conventions:
 *  - Every string is a zero-terminated byte string in the system's ANSI code page (CP1251, or
 *    UTF-8 when VT_CODEPAGE=utf-8). Integers are signed 32-bit.
 *  - Strings returned by the plug-in stay owned by it. The caller never frees them and copies
 *    what it needs at once:
 *      piInit / MakeSQLCommand result   valid until the next call of either of them
 *      GetLastVTErrorMessage result     valid until the next failing call of any function or
 *                                       the next CheckDataBaseParams call
 *      *code and *version               valid until the next CheckDataBaseParams call
 *    and in every case until the library is unloaded.
 *  - Every function but the two Get functions sets the last error code to 0 on entry; on
 *    failure it sets its own code (-1 .. -6, see each function), stores the error text and
 *    returns its failure result. No error or exception ever crosses the interface.
 *  - One caller thread at a time. Call piDone before unloading.
 *
 * Calling order: piInit, dbConnect, CheckDataBaseParams, then MakeSQLCommand and ExecrSQL for
 * each command from *first to *last, UpDateVersion, piDone.
 */
#ifndef VTUTILS_H
#define VTUTILS_H

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the script and starts the database engine. Returns the engine's alias names, each
 * followed by ';' ("" when there are none, and on failure: error code -1). A script that cannot
 * be trusted is refused before anything runs: no regular file, neither a [DataBase] section nor
 * commands, a Commands value that disagrees with the sections [Command1] .. [CommandN], a command
 * line the format's value limit would cut, a NUL byte in a command. aliasConfigFile is accepted
 * and not used by this plug-in. */
const char* piInit(const char* scriptFile, const char* aliasConfigFile);

/* Connects to the database named by an alias (or "DBName=<path>"). Returns 0 when the version
 * table R_VERSION exists, 1 when it does not, -1 on failure (error code -1). */
int dbConnect(const char* alias, const char* user, const char* password);

/* Takes the database's run lock (one run per database; held until piDone, waiting up to
 * VT_LOCK_TIMEOUT seconds for another run), compares the script's header with R_VERSION and
 * yields the range of commands still to run in *first..*last (preset *first to 1). A resume is
 * refused when the commands recorded as done are not the script's own, or the Counter is outside
 * 0..N. With create = 0 it writes nothing to the database. *code and *version are set to the
 * database's code and version only when they hold a non-null pointer on entry. create = 1 creates
 * R_VERSION first (after dbConnect returned 1 and the user agreed). Returns 0, or -3 (error code
 * -3); the error text then says why (wrong code, version mismatch, already executed, ...). The
 * strings stored in *code and *version stay valid until the next CheckDataBaseParams call. */
int CheckDataBaseParams(int* first, int* last, const char** code, const char** version,
                        unsigned char create);

/* The text of command n (from 1): its lines, each followed by CR LF; "" for a missing command.
 * The same text on every call for the same n. On failure "" and error code -4. */
const char* MakeSQLCommand(int n);

/* Executes one command (its text as MakeSQLCommand gave it; "$$$RECONNECT" CR LF in any letter
 * case reconnects with the login of dbConnect) and, for a script with a new version, lowers the
 * Counter of R_VERSION by one. Where the database allows it the command and its Counter update
 * commit together, so that a crash leaves both or neither; the command that brings the Counter
 * to 0 records the new version with it. The Counter must still hold what this run last read or
 * wrote, else the command is rolled back and the call fails (another run changed the progress).
 * After a lost connection the next call reconnects with the same login first. Returns 0, or -5
 * (error code -5); a failed command is not counted. The command text is only read during the
 * call. */
int ExecrSQL(const char* command);

/* Records the script's new version in R_VERSION (nothing for a script without one). Fails when
 * the script left a transaction of its own open: that transaction is rolled back and the error
 * names the command that opened it. Returns 0, or -6 (error code -6). */
int UpDateVersion(void);

/* Closes the database and shuts the engine down. Returns 0, or -2 (error code -2). Unloading
 * the library without it leaves the connection open. */
int piDone(void);

/* The last error code (0 when the last call succeeded). Changes nothing. */
int GetLastVTError(void);

/* The last error text; "Неизвестная ошибка DLL" (in the ANSI code page) when there is none.
 * Changes nothing. */
const char* GetLastVTErrorMessage(void);

/* Optional extension, not part of the nine functions a plug-in must offer: what kind of failure
 * the last error code stands for, so that a runner can tell a dead server from a held lock or a
 * damaged script. Runners look it up with dlsym and do without it (deriving the kind from the
 * failing function) when a plug-in lacks it. Changes nothing. */
enum VtErrorCause {
    VT_CAUSE_NONE = 0,         /* the last call succeeded */
    VT_CAUSE_SCRIPT = 1,       /* the script is damaged, unreadable or of an unsupported version */
    VT_CAUSE_CONNECT = 2,      /* cannot connect or log in, or the connection was lost */
    VT_CAUSE_LOCK_TIMEOUT = 3, /* another run held the database's run lock past the wait limit */
    VT_CAUSE_VERSION = 4,      /* refused by the version check (code, version, resume, progress) */
    VT_CAUSE_APPLIED = 5,      /* the script's version is already recorded in the database */
    VT_CAUSE_CONCURRENT = 6,   /* another run changed the progress record during this run */
    VT_CAUSE_COMMAND = 7,      /* a command of the script failed or left its transaction open */
    VT_CAUSE_OTHER = 8         /* anything else */
};
int GetLastVTErrorCause(void);

/* Function-pointer types for binding a plug-in with dlsym. */
typedef const char* (*VtPiInitFn)(const char* scriptFile, const char* aliasConfigFile);
typedef int (*VtDbConnectFn)(const char* alias, const char* user, const char* password);
typedef int (*VtCheckDataBaseParamsFn)(int* first, int* last, const char** code,
                                       const char** version, unsigned char create);
typedef const char* (*VtMakeSQLCommandFn)(int n);
typedef int (*VtExecrSQLFn)(const char* command);
typedef int (*VtUpDateVersionFn)(void);
typedef int (*VtPiDoneFn)(void);
typedef int (*VtGetLastVTErrorFn)(void);
typedef const char* (*VtGetLastVTErrorMessageFn)(void);
typedef int (*VtGetLastVTErrorCauseFn)(void);

#ifdef __cplusplus
}
#endif

#endif /* VTUTILS_H */
