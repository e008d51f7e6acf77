#pragma once
// The list of open top-level windows (in drawing order), the keyboard focus, the modal
// window, and the routing of pointer presses, releases, click repeats, hover and wheel
// steps to the windows. Main thread only.

#include "gui/Primitive.h"

#include <cstdint>
#include <string>
#include <vector>

// Opens a window at the front or the back of the list; nothing when it is already open.
void OpenWindow(Primitive* window, bool atFront);
bool IsWindowOpen(const Primitive* window);
// The first active window with this name, or the named descendant of an active container
// window; null when none.
Primitive* FindOpenWindow(const std::string& name);
void DeactivateAllWindows();
// Removes every reference to a primitive that goes away (captures, hover, focus, modal,
// key-press records, the window list).
void ForgetPrimitive(Primitive* primitive);
// Takes a window out of the list and forgets it; the window itself is not touched.
void CloseWindow(Primitive* window);
// Removes every window; those with delete-when-closed are deleted, the others deactivated.
void CloseAllWindows();

void SetKeyboardFocus(Primitive* primitive);
Primitive* GetKeyboardFocus();
Primitive* GetPreviousKeyboardFocus();
// Releases the pointer captures (a held button gets its release), the hover and the focus.
void ReleaseAllCaptures();

Primitive* GetModalWindow();
bool IsModalActive();
void SetModalWindow(Primitive* window, bool blocksRest);

const std::vector<Primitive*>& OpenWindows();
bool WindowListChanged();
void MarkWindowListChanged();

// Pointer routing. phase: 2 went down, 0 came up; time in milliseconds; pixels.
void RouteLeftButton(int phase, uint32_t time, int x, int y);
void RouteRightButton(int phase, uint32_t time, int x, int y);
void RouteWheel(int value);
// The key event router: the focus holder (visible and enabled), else the modal window,
// else each open window in list order. Returns the taker.
IKeyTarget* RouteKeyToGui(int value, int code, bool shift, IInputDevice& device);

Primitive* GetLeftCapture();
Primitive* GetRightCapture();
Primitive* GetHoverPrimitive();
// The pointer position (pixels) of the last hover pass.
void GetPointerPosition(int* x, int* y);
// The cursor named by the primitive under the pointer ("regular" when none).
const std::string& GetPointerCursorName();

// Once a frame after the input poll: drops closed windows, re-runs the hover pass when the
// list changed, checks the focus holder, runs the click repeats and the hover pass at the
// pointer position (pixels).
void UpdateGuiInput(int pointerX, int pointerY);
// Updates every active visible window, in list order.
void UpdateOpenWindows();
// Draws the shown windows from the back of the list to the front (the front window, which
// input reaches first, on top), the active modal window last.
void DrawOpenWindows();

// Connects the routing to the key dispatch and the mouse manager's pointer actions.
void InstallGuiInputRouting();
void RemoveGuiInputRouting();
// Forgets all state without notifying anyone (tests, shutdown).
void ResetGuiInput();
