// Control skinning: push buttons, check boxes, option buttons (drawn like
// check boxes), edits with a frame and drop-down combo boxes are painted in the
// theme's flat gradient look, with disabled, pressed, hover, focused, default,
// checked, indeterminate and read-only states. Trees get the platform's
// connecting lines and boxed buttons. Everything else (labels, lists) keeps
// the base style's look.
//
// The main window switches it on once for the whole application:
//     EnableControlSkin(nullptr, true);
// Widgets created before or after that are drawn the same way.
//
// The style also colours the widgets that are marked with a ThemeRole, and the
// controls inside them, when it polishes them (theme_colours.h).
#pragma once

#include <QProxyStyle>
#include <cstddef>

class QApplication;

// The state of one control as the painters see it.
namespace skinstate {
enum : unsigned {
    Disabled = 0x01,
    Pressed = 0x02,
    Hover = 0x04,
    Focused = 0x08,
    Default = 0x10,
    Checked = 0x20,
    Indeterminate = 0x40,
    ReadOnly = 0x80,
};
}

class CSkinStyle : public QProxyStyle {
    Q_OBJECT
public:
    CSkinStyle(); // over the Fusion style, the same on every platform

    // The painters, usable on their own (r is the control's rectangle).
    static void PaintPushButton(QPainter& p, const QRect& r, unsigned state, const QString& text, const QFont& font);
    static void PaintCheckBox(QPainter& p, const QRect& r, unsigned state, const QString& text, const QFont& font);
    static void PaintEditFrame(QPainter& p, const QRect& r, unsigned state);
    // Frame and arrow button of a combo box; the rest is left as it is.
    static void PaintComboFrame(QPainter& p, const QRect& r, unsigned state);
    static QRect ComboArrowRect(const QRect& r);
    // One branch cell of a tree "with buttons, lines and lines at root":
    // dotted grey lines to the item and on to its next sibling, and a boxed
    // plus or minus for an item with children.
    static void PaintTreeBranch(QPainter& p, const QRect& r, QStyle::State state, bool firstRoot);

    void polish(QWidget* w) override;
    void unpolish(QWidget* w) override;
    void drawPrimitive(PrimitiveElement pe, const QStyleOption* opt, QPainter* p,
                       const QWidget* w = nullptr) const override;
    void drawControl(ControlElement ce, const QStyleOption* opt, QPainter* p,
                     const QWidget* w = nullptr) const override;
    void drawComplexControl(ComplexControl cc, const QStyleOptionComplex* opt, QPainter* p,
                            const QWidget* w = nullptr) const override;
    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex* opt, SubControl sc,
                         const QWidget* w = nullptr) const override;
    QRect subElementRect(SubElement se, const QStyleOption* opt, const QWidget* w = nullptr) const override;
    int pixelMetric(PixelMetric pm, const QStyleOption* opt = nullptr, const QWidget* w = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* opt = nullptr, const QWidget* w = nullptr,
                  QStyleHintReturn* ret = nullptr) const override;
};

// Whole application: nullptr or the application object.
bool EnableControlSkin(std::nullptr_t, bool on);
bool EnableControlSkin(QApplication* app, bool on);
// One widget only (its children keep the application's style).
bool EnableControlSkin(QWidget* widget, bool on);
bool IsControlSkinEnabled();

// Whether the theme shows the widget as hovered: the pointer is over it and
// arrived there without the left button held.
bool SkinHover(const QWidget* w);

// What a widget is to the theme's colours.
enum class ThemeRole {
    // A page of the page area or a modal form dialog: the page palette on the
    // widget and on every control inside it (not on windows opened over it).
    page,
    // The policy entry page: the page palette with blue button texts.
    entryPage,
    // The main window's navigation tree.
    navigationTree,
};
// Marks the widget; the style colours it and its controls as it polishes
// them, and at once those it has already polished.
void SetThemeRole(QWidget* w, ThemeRole role);

// The colours of message boxes and file dialogs, which do not paint
// themselves, for the whole application.
void InstallDialogColours();
