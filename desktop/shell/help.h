// The program's help: HTML pages in the program folder, opened in the browser at a context.
//
// help/vtdesk.html in the program folder holds one anchor per help context ("#100100"); the
// contents and the index are anchors of the same page.
#pragma once

#include <QUrl>

namespace vt::desktop {

// Help commands of the original help engine that the program issues or filters.
namespace help {
inline constexpr int kContext = 1;         // show the topic of a context
inline constexpr int kContextPopup = 8;    // a context pop-up ("?" button of a dialog)
inline constexpr int kFinder = 11;         // the contents
inline constexpr int kKeywordLookup = 257; // the index
} // namespace help

// Help contexts of the program's windows.
namespace helpctx {
inline constexpr int kMainWindow = 100100;
inline constexpr int kScriptViewer = 100900;
// The data transfer window and its controls.
inline constexpr int kBatch = 100200;
inline constexpr int kBatchSourceAlias = 100201;
inline constexpr int kBatchDestinationAlias = 100202;
inline constexpr int kBatchSourceTable = 100203;
inline constexpr int kBatchDestinationTable = 100204;
inline constexpr int kBatchOperation = 100205;
inline constexpr int kBatchColumns = 100206;
inline constexpr int kBatchQuery = 100207;
inline constexpr int kBatchFill = 100207;
inline constexpr int kBatchClear = 100209;
inline constexpr int kBatchExecute = 100210;
inline constexpr int kTools = 100800;
inline constexpr int kToolEdit = 100810;
inline constexpr int kAction = 20300;
inline constexpr int kActionExecute = 20301;
inline constexpr int kActionCancel = 20302;
} // namespace helpctx

// The address of the help page at the topic of a command: the context for help::kContext, the
// contents for help::kFinder, the index for help::kKeywordLookup.
QUrl helpUrl(int command, int data);

// The help filter of the program's dialogs: false (no help) for a context pop-up of exactly the
// window's own context, true for every other request.
bool FormHelp(int command, int data, int windowContext);

// Opens the help page at the topic; throws EOSError when the desktop cannot open it.
void ShowHelp(int command, int data);

} // namespace vt::desktop
