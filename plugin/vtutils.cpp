// The nine exported functions of the plug-in vtutils: thin C wrappers of the Plugin instance.
#include "plugin/vtutils.h"

#include "plugin/plugin.h"

#define VT_EXPORT __attribute__((visibility("default")))

using vt::plugin::thePlugin;

extern "C" {

VT_EXPORT const char* piInit(const char* scriptFile, const char* aliasConfigFile) {
    return thePlugin().piInit(scriptFile, aliasConfigFile);
}

VT_EXPORT int dbConnect(const char* alias, const char* user, const char* password) {
    return thePlugin().dbConnect(alias, user, password);
}

VT_EXPORT int CheckDataBaseParams(int* first, int* last, const char** code, const char** version,
                                  unsigned char create) {
    return thePlugin().checkDataBaseParams(first, last, code, version, create != 0);
}

VT_EXPORT const char* MakeSQLCommand(int n) {
    return thePlugin().makeSQLCommand(n);
}

VT_EXPORT int ExecrSQL(const char* command) {
    return thePlugin().execrSQL(command);
}

VT_EXPORT int UpDateVersion(void) {
    return thePlugin().upDateVersion();
}

VT_EXPORT int piDone(void) {
    return thePlugin().piDone();
}

VT_EXPORT int GetLastVTError(void) {
    return thePlugin().lastError();
}

VT_EXPORT const char* GetLastVTErrorMessage(void) {
    return thePlugin().lastErrorMessage();
}

VT_EXPORT int GetLastVTErrorCause(void) {
    return thePlugin().lastErrorCause();
}

} // extern "C"
