// Panels: the program's user interface, loaded from a text panel file.
//
// A panel file holds one or more panels; each panel has numeric controls
// (an int value with a range), text lines (a read-only text the program
// sets, e.g. a status line) and buttons. A button names its callback; the
// loader looks the name up with dlsym in the running program, so the program
// must export its callbacks: declare them extern "C" with CVICALLBACK and
// link the program with -rdynamic (CMake: ENABLE_EXPORTS). See
// panel_file.cpp for the file format.
//
// When standard input and output are a terminal, DisplayPanel shows the
// panel full-screen (buttons, numeric fields, text lines, and a pane with
// what the program writes to stdout and stderr) and popups become dialogs
// on it; the event loop of cvi_events.h reads the keys. Without a terminal
// everything works headless, and tests drive the panel through cvi_test.
#pragma once

#include "cvi_util.h"

// Callbacks are exported from the program so that LoadPanel finds them.
#define CVICALLBACK __attribute__((visibility("default")))

// Control callback events (a button sends EVENT_COMMIT when pressed).
#define EVENT_COMMIT 1

// Result of PromptPopup when the operator cancels (or nobody can answer).
#define VAL_USER_CANCEL (-1)

// Negative results of the panel calls.
#define UI_ERR_INVALID_PARAMETER (-2) // null pointer, or a value the control cannot hold
#define UI_ERR_FILE_NOT_FOUND (-3)    // the panel file cannot be opened
#define UI_ERR_BAD_FILE (-4)          // the panel file does not follow the format
#define UI_ERR_NO_SUCH_PANEL (-5)     // no panel with that resource id or handle
#define UI_ERR_UNKNOWN_CALLBACK (-6)  // a button names a function the program does not export
#define UI_ERR_NO_SUCH_CONTROL (-7)   // the panel has no control with that id
#define UI_ERR_OUT_OF_RANGE (-8)      // a numeric value outside the control's range
#define UI_ERR_WRONG_CONTROL (-9)     // the call does not apply to this kind of control

// The longest text a text control keeps (longer texts are cut), plus its NUL.
#define CVI_TEXT_CONTROL_SIZE 512

#ifdef __cplusplus
extern "C" {
#endif

typedef int (*CtrlCallbackPtr)(int panel, int control, int event, void* callbackData, int eventData1,
                               int eventData2);

// Remembers the program's directory (from /proc/self/exe, else argv[0]) for
// relative panel-file names. Returns 1, or 0 when argv is null.
CVI_API int InitCVIRTEEx(void* hInstance, char* argv[], void* reserved);
// Sets the number of lines the output pane keeps (at least 1) and whether
// it numbers them; bringToFront is accepted and has no effect here.
// Returns 0, or UI_ERR_INVALID_PARAMETER for a count below 1.
CVI_API int SetStdioWindowOptions(int maxLines, int bringToFront, int showLineNumbers);

// Loads panel `resourceId` of `fileName` (a relative name is looked for in
// the program's directory first, then in the current directory) and binds
// its buttons' callbacks. Returns a panel handle (> 0, never reused) or a
// negative UI_ERR_*; the reason also goes to standard error.
// `parentPanel` must be 0 (child panels are not supported).
CVI_API int LoadPanel(int parentPanel, const char* fileName, int resourceId);
// Shows the panel (full-screen when a terminal is there). Headless, standard
// output becomes line-buffered (a line is written out when it is complete).
// Returns 0 or UI_ERR_NO_SUCH_PANEL.
CVI_API int DisplayPanel(int panel);
// Frees the panel; when it was on the screen, the terminal is restored.
// Returns 0 or UI_ERR_NO_SUCH_PANEL.
CVI_API int DiscardPanel(int panel);

// Numeric control: `value` points to an int. Text control: `value` points
// to a buffer of at least CVI_TEXT_CONTROL_SIZE bytes. Returns 0 or a
// negative UI_ERR_*.
CVI_API int GetCtrlVal(int panel, int control, void* value);
// Numeric control: pass an int within the control's range (else
// UI_ERR_OUT_OF_RANGE, value unchanged). Text control: pass a
// NUL-terminated text. Returns 0 or a negative UI_ERR_*.
CVI_API int SetCtrlVal(int panel, int control, ...);

// Asks the operator for a text. `buffer` holds the default text on entry
// and receives at most maxLength characters and a NUL (so it must hold
// maxLength + 1 bytes). Returns 0 when a text was entered, VAL_USER_CANCEL
// when the operator cancelled or nobody can answer, UI_ERR_INVALID_PARAMETER
// for a null buffer or a negative length.
// Answered, in this order: from the test queue (cvi_test below); by a
// dialog on the panel's screen; by a line read from standard input when it
// is a terminal; else cancelled.
CVI_API int PromptPopup(const char* title, const char* message, char* buffer, int maxLength);

#ifdef __cplusplus
}

#include <string>

namespace cvi {

// Whether a panel is shown full-screen on the terminal; false while the
// program runs headless (no terminal, or not allowed by cvi_test).
CVI_API bool panel_on_screen();

} // namespace cvi

namespace cvi_test {

// Presses a button now: runs its callback with EVENT_COMMIT and returns the
// callback's result, or UI_ERR_NO_SUCH_PANEL / UI_ERR_NO_SUCH_CONTROL /
// UI_ERR_WRONG_CONTROL.
CVI_API int press(int panel, int control);
// Presses a button from the event loop: at the next pass of
// ProcessSystemEvents or RunUserInterface.
CVI_API void post_press(int panel, int control);
// The callback name a control of a loaded panel was bound by ("" if none).
CVI_API std::string callback_name(int panel, int control);

// Answers for the next PromptPopup calls, first in first out.
CVI_API void push_prompt_answer(const std::string& text);
CVI_API void push_prompt_cancel();
// Number of answers still queued.
CVI_API std::size_t prompt_answers_left();

// Keeps DisplayPanel headless even on a terminal (tests run by hand in a
// terminal must not take it over). Allowed by default.
CVI_API void set_screen_allowed(bool allowed);

} // namespace cvi_test
#endif
