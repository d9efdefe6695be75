#pragma once

#include <QString>

#include <functional>

class TTaskForm;

// The window layout kept in the settings: which windows were open, where,
// and each one's own settings, in the sections "TaskForm\ManagerForm"
// ("FormsCount", the chosen font) and "TaskForm\ 0", "TaskForm\ 1"... ("ClassName",
// "Left", "Top", "ClientWidth", "ClientHeight", then the window's keys).
// The options are written first in the same pass. Without a settings
// object nothing is saved or restored.

using TFormFactory = std::function<TTaskForm*()>;
// Lets windows of the class be restored; the name is the class's own.
void RegisterFormClass(const QString& className, TFormFactory factory);

// Writes the options and the layout of the registered windows that may be
// saved; when every open window is one that may not, nothing is written.
void SaveWindowLayout();
// Opens the windows of the saved layout and returns how many; a section
// naming a class that is not registered is skipped.
int RestoreWindowLayout();

// Saves the layout, then closes the windows from the last to the first;
// the first that refuses stops it, and it and the ones before stay open.
void SaveLayoutAndCloseAll();
// True while SaveLayoutAndCloseAll closes the windows: closing one then
// saves nothing.
[[nodiscard]] bool ClosingAllWindows();
