// Makes a window's controls from its template table.
#pragma once

#include "resources/templates/window_template.h"

#include <QMetaObject>
#include <QPoint>
#include <QRect>
#include <functional>

class QWidget;

namespace tmpl {

// Dialog units to pixels: about 1.5 px per unit at 96 dpi (Qt scales for the
// screen's device pixel ratio).
int DluX(int units);
int DluY(int units);
QRect DluRect(int x, int y, int w, int h);

// A window's own factory for Kind::Custom controls.
using CustomFactory = std::function<QWidget*(const Control& control, QWidget* parent)>;

// Creates every control of `t` as a child of `host`, placed at `origin` plus
// its rectangle, objectName = its id; sets the host's objectName to the
// template id, its font and its size (plus `origin`).
void Build(const Window& t, QWidget* host, QPoint origin = {}, const CustomFactory& custom = {});

// The control `id` of a window built from a template, of kind `kind` or a
// subclass. A window that asks for a control its template lacks (or one of
// another kind) is a fault of the program, not of its data: the program stops
// at once, naming the window and the id, in every build.
QWidget* Ctl(const QWidget* window, int id, const QMetaObject& kind);
template <class T = QWidget> T* Ctl(const QWidget* window, int id) {
    return static_cast<T*>(Ctl(window, id, T::staticMetaObject));
}

// The font the templates ask for, with the installed stand-in for the
// Windows face names.
void InstallFontSubstitutes();

} // namespace tmpl
