// Base of the program's top-level windows (the main window and the two modal
// dialogs). The theme draws its own frame and caption on it: a frameless
// window (with a task-bar entry, or transient for the window it is opened
// over), the caption strip, borders, icon, caption text, close and minimise
// buttons, moved by dragging the caption.
//
// Controls are placed at template rectangles measured from the window's
// top-left corner (ClientOrigin()), as the frame is painted inside the window:
// the templates already keep the top 26 pixels for the caption. InnerRect()
// is the area below the caption and inside the borders, filled with the page
// colour #F8F6E6. A subclass that paints may fill what it likes; the caption
// and borders are painted again after its paintEvent.
#pragma once

#include "theme/frame_skin.h"
#include "theme/theme_colours.h"

#include <QDialog>

class CXpDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr QRgb kPageBackground = theme::kPageBackground;

    explicit CXpDialog(QWidget* parent = nullptr);
    // The window's title (e.g. "受益人"), which the task bar, the window list
    // and Alt+Tab show; the frame draws it spaced (" 受 益 人"). The default is
    // the main window's "Vantorel".
    void SetTitle(const QString& title);
    // The caption drawn in the frame alone; the title stays as it is.
    void SetCaption(const QString& caption);
    QString Caption() const { return caption_; }

    CFrameSkin& FrameSkin() { return skin_; }
    QPoint ClientOrigin() const { return {0, 0}; }
    QRect InnerRect() const { return skin_.InnerRect(); }

protected:
    bool event(QEvent* e) override;

private:
    CFrameSkin skin_;
    QString caption_;
};
