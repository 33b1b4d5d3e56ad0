// The one way the program talks to the user: modal boxes titled "Vantorel",
// OK for refusals and results, Yes/No for questions. Tests answer them
// through a responder instead of a modal loop.
#pragma once

#include <QString>
#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

namespace msg {

enum class Kind { info, question };
// The button that Enter presses in a question. Questions that destroy data
// ("确认删除?") take No, so that Yes must be chosen; the others Yes.
enum class Default { yes, no };

// Shows a box with an OK button.
void Info(QWidget* parent, const QString& text);
// Asks with Yes and No; true on Yes.
bool Ask(QWidget* parent, const QString& text, Default onEnter = Default::yes);

// Tests: every box goes to the responder instead of the screen; for a
// question it returns true for Yes. An info box comes with Default::yes.
using Responder = std::function<bool(Kind kind, const QString& text, Default onEnter)>;
void SetResponder(Responder responder);

// The box Info and Ask show (tests look at it without a modal loop).
std::unique_ptr<QMessageBox> MakeBox(QWidget* parent, Kind kind, const QString& text, Default onEnter);
// The least width of a box: its title and the frame's buttons fit.
int MinimumBoxWidth(const QWidget& box);

// Any box currently open on screen is closed (its question answered No);
// used when the program must end while a box is open.
void CloseOpenBoxes();

// Save-file dialog; tests answer it the same way (an empty result = cancel).
// `filter` holds the choices separated by ";;"; `selectedFilter`, when
// given, holds the one chosen at first and the one chosen in the end.
using FileResponder =
    std::function<QString(const QString& caption, const QString& suggestedName, QString* selectedFilter)>;
QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggestedName, const QString& filter,
                     QString* selectedFilter = nullptr);
void SetFileResponder(FileResponder responder);
// Open-file dialog, answered by the same responder (no suggested name).
QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter);

} // namespace msg
