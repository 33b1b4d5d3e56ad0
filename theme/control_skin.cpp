#include "control_skin.h"

#include "skin_paint.h"
#include "theme_colours.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTextEdit>
#include <QTreeView>
#include <qdrawutil.h>

using namespace skinpaint;
namespace st = skinstate;

namespace {

const char* const kHoverProperty = "_vantorel_skin_hover";

// Gradient tables, corners in the order top-left, top-right, bottom-left, bottom-right.
const Corners kPush[7] = {
    {0xD1CCC1, 0xD1CCC1, 0xF2F1EE, 0xF2F1EE}, // 0 ring, pressed
    {0xFFF0CF, 0xFFF0CF, 0xE59700, 0xE59700}, // 1 ring, hover
    {0xD6CBBD, 0xD6CFC6, 0xF7F3EF, 0xF7F3EF}, // 2 ring, checked or indeterminate
    {0xCEE7FF, 0xCEE7FF, 0x6982EE, 0x6982EE}, // 3 ring, focused or default
    {0xFFFFFF, 0xFFFFFF, 0xE2DFD6, 0xE2DFD6}, // 4 ring, normal
    {0xE7E3DE, 0xE7E7E7, 0xE7E3DE, 0xE7E3DE}, // 5 face, pressed or checked
    {0xFCFCFB, 0xFCFCFB, 0xECEBE6, 0xECEBE6}, // 6 face, normal
};
const Corners kCheck[3] = {
    {0xB5B2A5, 0xD6D7CE, 0xD6D7CE, 0xF7EFDE}, // 0 pressed
    {0xFFF3CE, 0xFFCB63, 0xFFCB63, 0xFFB231}, // 1 hover
    {0xDEDFD6, 0xF7F3EF, 0xF7F3EF, 0xFFFFFF}, // 2 normal
};
const Corners kCombo[12] = {
    {0xF7F3EF, 0xE7E7DE, 0xE7E3DE, 0xE7E3DE}, // 0 button, disabled
    {0xA5AEDE, 0xBDCBF7, 0x7382DE, 0xB5C7F7}, // 1 button, pressed
    {0xB5C7EF, 0x94AEE7, 0x84A2DE, 0x8CA6DE}, // 2 button, hover
    {0xD6E3FF, 0xBDCBF7, 0xADC3F7, 0xB5C7F7}, // 3 button, normal
    {0xF7F7F7, 0xF7F3EF, 0xF7F3EF, 0xF7F3EF}, // 4 corner pixels, disabled
    {0xBDC3DE, 0xADB6DE, 0xDEE3FF, 0xDEE3F7}, // 5 corner pixels, pressed
    {0xCEDBEF, 0xC6CFEF, 0xC6CFE7, 0xBDCBE7}, // 6 corner pixels, hover
    {0xE7EFFF, 0xDEE7FF, 0xDEE3FF, 0xDEE3F7}, // 7 corner pixels, normal
    {0xF7F7F7, 0xEFEFE7, 0xEFEBE7, 0xE7E7DE}, // 8 inner button, disabled
    {0x6B8EF7, 0x8496F7, 0x8C9EEF, 0xD6DFEF}, // 9 inner button, pressed
    {0xFFFFFF, 0xCEE3FF, 0xC6DFFF, 0xBDDBFF}, // 10 inner button, hover
    {0xE7EBFF, 0xBDCFFF, 0xB5CBFF, 0xADCBF7}, // 11 inner button, normal
};

const QColor kWindowBackground(Qt::white); // the platform's window colour, behind text
const char* const kRoleProperty = "_vantorel_theme_role";

bool IsEditLike(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const QTextEdit*>(w);
}

// Push buttons (checkable ones stand for the push-like check boxes and option
// buttons), check boxes, option buttons and combo boxes follow the pointer.
bool TracksHover(const QWidget* w) {
    return qobject_cast<const QPushButton*>(w) || qobject_cast<const QCheckBox*>(w) ||
           qobject_cast<const QRadioButton*>(w) || qobject_cast<const QComboBox*>(w);
}

unsigned StateOf(const QStyleOption* opt, const QWidget* w) {
    unsigned s = 0;
    if (!(opt->state & QStyle::State_Enabled)) s |= st::Disabled;
    if (opt->state & QStyle::State_Sunken) s |= st::Pressed;
    if (w ? SkinHover(w) : bool(opt->state & QStyle::State_MouseOver)) s |= st::Hover;
    if (opt->state & QStyle::State_HasFocus) s |= st::Focused;
    if (opt->state & QStyle::State_On) s |= st::Checked;
    if (opt->state & QStyle::State_NoChange) s |= st::Indeterminate;
    if (opt->state & QStyle::State_ReadOnly) s |= st::ReadOnly;
    if (const auto* b = qstyleoption_cast<const QStyleOptionButton*>(opt))
        if (b->features & QStyleOptionButton::DefaultButton) s |= st::Default;
    return s;
}

// Follows the pointer for the hover look: set on a move without the left
// button held (the controls track the mouse for this), cleared when the
// pointer leaves. Entering alone is not enough: a drag that arrives with the
// button held must not light the control up.
class HoverTracker : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override {
        const QEvent::Type t = e->type();
        if (t != QEvent::MouseMove && t != QEvent::Leave) return false;
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || !TracksHover(w)) return false;
        const bool hover = w->property(kHoverProperty).toBool();
        if (t == QEvent::Leave) {
            if (hover) {
                w->setProperty(kHoverProperty, false);
                w->update();
            }
        } else if (!hover && !(static_cast<QMouseEvent*>(e)->buttons() & Qt::LeftButton)) {
            w->setProperty(kHoverProperty, true);
            w->update();
        }
        return false;
    }
};

QPointer<HoverTracker> g_appTracker;
bool g_appSkinned = false;
QString g_previousStyle;

CSkinStyle* SharedWidgetStyle() {
    static QPointer<CSkinStyle> style;
    if (!style) style = new CSkinStyle; // lives until the application ends
    return style;
}

void SetColour(QWidget* w, QPalette::ColorRole role, QRgb colour) {
    QPalette p = w->palette();
    p.setColor(role, QColor::fromRgb(colour));
    w->setPalette(p);
}

// Colours the widget by the role of the nearest widget, itself or above it
// within its window, that has one. A box opened over a page is a window of
// its own and keeps its colours.
void ApplyThemeColours(QWidget* w) {
    const QWidget* marked = nullptr;
    for (const QWidget* p = w; p && !marked; p = p->isWindow() ? nullptr : p->parentWidget())
        if (p->property(kRoleProperty).isValid()) marked = p;
    if (!marked) return;
    const auto role = ThemeRole(marked->property(kRoleProperty).toInt());
    if (role == ThemeRole::navigationTree) {
        if (w != marked) return; // its parts take the tree's palette
        SetColour(w, QPalette::Base, theme::kTreeBackground);
        SetColour(w, QPalette::Text, theme::kTreeText);
        return;
    }
    if (w == marked) {
        SetColour(w, QPalette::Window, theme::kPageBackground);
        w->setAutoFillBackground(true);
        return;
    }
    // Check boxes and option buttons take the static-text colour, as on the platform the look comes from.
    if (qobject_cast<QLabel*>(w) || qobject_cast<QGroupBox*>(w) || qobject_cast<QCheckBox*>(w) ||
        qobject_cast<QRadioButton*>(w)) {
        SetColour(w, QPalette::WindowText, theme::kStaticText);
    } else if (qobject_cast<QPushButton*>(w)) {
        SetColour(w, QPalette::ButtonText, role == ThemeRole::entryPage ? theme::kEntryButtonText : theme::kButtonText);
    } else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)) {
        SetColour(w, QPalette::Text, theme::kEditText);
        SetColour(w, QPalette::Base, theme::kEditBackground);
    } else if (qobject_cast<QComboBox*>(w)) {
        SetColour(w, QPalette::Text, theme::kEditText);
    }
}

} // namespace

bool SkinHover(const QWidget* w) { return w && w->property(kHoverProperty).toBool(); }

CSkinStyle::CSkinStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

// ---- painters ---------------------------------------------------------------

void CSkinStyle::PaintPushButton(QPainter& p, const QRect& rect, unsigned s, const QString& text, const QFont& font) {
    const bool disabled = s & st::Disabled;
    const int w = rect.width(), h = rect.height();
    p.save();
    p.translate(rect.topLeft());
    QRect r(0, 0, w, h);
    Outline(p, r, ButtonFace());
    r.adjust(1, 1, -1, -1);
    Outline(p, r, disabled ? FaceMinus(0x20) : QColor(0x003C73));
    r.adjust(1, 1, -1, -1);
    if (disabled) {
        p.fillRect(r, QColor(0xF5F4EA));
    } else {
        int ring = 4;
        if (s & st::Pressed)
            ring = 0;
        else if (s & st::Hover)
            ring = 1;
        else if (s & (st::Checked | st::Indeterminate))
            ring = 2;
        else if (s & (st::Focused | st::Default))
            ring = 3;
        FillGradient4(p, r, kPush[ring]);
    }
    r.adjust(2, 2, -2, -2);
    if (s & (st::Pressed | st::Checked | st::Indeterminate))
        FillGradient4(p, r, kPush[5]);
    else if (!disabled)
        FillGradient4(p, r, kPush[6]);

    // Round the dark outline's corners.
    const QColor face = ButtonFace();
    const QColor inner = disabled ? FaceMinus(0x15) : QColor(0x527DA5);
    const QColor soft = disabled ? FaceMinus(0x11) : QColor(0x7B96AD);
    for (auto [x, y] : {std::pair{1, 1}, {1, h - 2}, {w - 2, h - 2}, {w - 2, 1}}) Pixel(p, x, y, face);
    for (auto [x, y] : {std::pair{2, 2}, {2, h - 3}, {w - 3, h - 3}, {w - 3, 2}}) Pixel(p, x, y, inner);
    for (auto [x, y] :
         {std::pair{1, 2}, {2, 1}, {w - 3, 1}, {w - 2, 2}, {w - 3, h - 2}, {w - 2, h - 3}, {2, h - 2}, {1, h - 3}})
        Pixel(p, x, y, soft);

    if (s & st::Focused) DottedFrame(p, r.adjusted(-1, -1, 1, 1));
    if (!text.isEmpty()) {
        QRect tr = r;
        if (s & st::Pressed) tr.translate(1, 1);
        p.setFont(font);
        p.setPen((s & (st::Indeterminate | st::Disabled)) ? QColor(0xA5A294) : QColor(Qt::black));
        p.drawText(tr, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, text.left(255));
    }
    p.restore();
}

void CSkinStyle::PaintCheckBox(QPainter& p, const QRect& rect, unsigned s, const QString& text, const QFont& font) {
    const bool disabled = s & st::Disabled;
    const int h = rect.height();
    p.save();
    p.translate(rect.topLeft());
    p.fillRect(QRect(0, 0, rect.width(), h), QColor::fromRgb(theme::kPageBackground));
    const int top = (h - 13) / 2;
    QRect box(0, top, 13, 13);
    Outline(p, box, disabled ? FaceMinus(0x20) : QColor(0x185184));
    box.adjust(1, 1, -1, -1);
    if (disabled)
        p.fillRect(box, Qt::white);
    else
        FillGradient4(p, box, kCheck[(s & st::Pressed) ? 0 : (s & st::Hover) ? 1 : 2]);
    box.adjust(2, 2, -2, -2);
    const bool pressed = s & st::Pressed, hover = s & st::Hover;
    if (s & st::Indeterminate) {
        const QColor c = disabled  ? QColor(0xCECBBD)
                         : pressed ? QColor(0x188A18)
                         : hover   ? QColor(0x21A221)
                                   : QColor(0x73C373);
        p.fillRect(box, c);
    } else if (hover && !pressed) {
        p.fillRect(box, (s & st::Checked) ? QColor(0xF7F7F7) : QColor(0xE7E7E7));
    }
    if (s & st::Checked) {
        // A tick three pixels thick, one column at a time.
        const QColor c = disabled ? QColor(0xCECBBD) : QColor(0x21A221);
        for (int x = 3; x <= 9; ++x) {
            const int y0 = top + (x > 5 ? 9 - x : x - 1);
            const int y1 = top + (x > 5 ? 12 - x : x + 2);
            p.fillRect(QRect(x, y0, 1, y1 - y0), c);
        }
    }
    if (!text.isEmpty()) {
        const QString shown = text.left(255);
        p.setFont(font);
        const QFontMetrics fm(font);
        const QPalette pal = QApplication::palette();
        p.setPen(disabled ? pal.color(QPalette::Disabled, QPalette::ButtonText)
                          : pal.color(QPalette::Active, QPalette::ButtonText));
        const int textWidth = fm.horizontalAdvance(QString(shown).remove(QLatin1Char('&')));
        const QRect tr(18, top + 1, qMin(textWidth, rect.width() - 18), fm.height() + 1);
        // Centred on the box when the font is taller than the box allows.
        const QRect line(18, qMin(tr.top(), (h - tr.height()) / 2), tr.width(), tr.height());
        p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, shown);
        if (s & st::Focused) DottedFrame(p, line.adjusted(-1, -1, 1, 1));
    }
    p.restore();
}

void CSkinStyle::PaintEditFrame(QPainter& p, const QRect& rect, unsigned s) {
    const bool disabled = s & st::Disabled;
    Outline(p, rect, disabled ? FaceMinus(0x20) : QColor(0x7B9EBD));
    Outline(p, rect.adjusted(1, 1, -1, -1), (disabled || (s & st::ReadOnly)) ? ButtonFace() : kWindowBackground);
}

QRect CSkinStyle::ComboArrowRect(const QRect& r) {
    const QRect q = r.adjusted(2, 2, -2, -2);
    return QRect(q.right() + 1 - 17, q.top(), 17, q.height());
}

void CSkinStyle::PaintComboFrame(QPainter& p, const QRect& rect, unsigned s) {
    const bool disabled = s & st::Disabled;
    const QColor ring = disabled ? ButtonFace() : kWindowBackground;
    Outline(p, rect, disabled ? FaceMinus(0x20) : QColor(0x7B9EBD));
    Outline(p, rect.adjusted(1, 1, -1, -1), ring);
    QRect b = ComboArrowRect(rect);
    Outline(p, b, ring);
    b.setLeft(b.left() + 1);
    const int i = disabled ? 0 : (s & st::Pressed) ? 1 : (s & st::Hover) ? 2 : 3;
    FillGradient4(p, b, kCombo[i]);
    const Corners& c = kCombo[4 + i];
    Pixel(p, b.left(), b.top(), QColor(c.tl));
    Pixel(p, b.right(), b.top(), QColor(c.tr));
    Pixel(p, b.left(), b.bottom(), QColor(c.bl));
    Pixel(p, b.right(), b.bottom(), QColor(c.br));
    b.adjust(1, 1, -1, -1);
    FillGradient4(p, b, kCombo[8 + i]);
    // A bold chevron pointing down.
    const int cx = b.left() + b.width() / 2, cy = b.top() + b.height() / 2;
    const QColor pen = disabled ? QColor(0xCECBC6) : QColor(0x4A6184);
    const int lines[3][6] = {{-4, -2, 0, 2, 5, -3}, {-3, -2, 0, 1, 4, -3}, {-3, -3, 0, 0, 4, -4}};
    for (const auto& l : lines) {
        Line(p, cx + l[0], cy + l[1], cx + l[2], cy + l[3], pen);
        Line(p, cx + l[2], cy + l[3], cx + l[4], cy + l[5], pen);
    }
}

// ---- style hooks --------------------------------------------------------------

void CSkinStyle::polish(QWidget* w) {
    QProxyStyle::polish(w);
    if (TracksHover(w)) w->setMouseTracking(true);
    ApplyThemeColours(w);
}

void CSkinStyle::unpolish(QWidget* w) {
    w->setProperty(kHoverProperty, QVariant());
    QProxyStyle::unpolish(w);
}

namespace {
// Whether the branch cell belongs to the first root item, which has no line
// above it.
bool IsFirstRoot(const QStyleOption* opt, const QWidget* w) {
    const auto* view = qobject_cast<const QTreeView*>(w);
    if (!view) return false;
    const QModelIndex i = view->indexAt(opt->rect.center());
    return i.isValid() && !i.parent().isValid() && i.row() == 0;
}
} // namespace

void CSkinStyle::PaintTreeBranch(QPainter& p, const QRect& r, QStyle::State state, bool firstRoot) {
    const QColor grey(0x80, 0x80, 0x80);
    // Every other pixel, in step with the viewport so the runs of one row meet
    // those of the next.
    const QBrush dots(grey, Qt::Dense4Pattern);
    const int midX = r.x() + r.width() / 2, midY = r.y() + r.height() / 2;
    const bool button = state & State_Children;
    const int half = button ? 4 : 0; // the 9 x 9 box round the middle
    p.save();
    p.setBrushOrigin(0, 0);
    if (state & State_Item) p.fillRect(QRect(QPoint(midX + half, midY), QPoint(r.right(), midY)), dots);
    if (state & State_Sibling) p.fillRect(QRect(QPoint(midX, midY + half), QPoint(midX, r.bottom())), dots);
    if ((state & (State_Item | State_Sibling)) && !firstRoot)
        p.fillRect(QRect(QPoint(midX, r.top()), QPoint(midX, midY - half)), dots);
    if (button) {
        const QRect box(midX - 4, midY - 4, 9, 9);
        p.fillRect(box, Qt::white);
        skinpaint::Outline(p, box, grey);
        p.fillRect(QRect(midX - 2, midY, 5, 1), Qt::black);
        if (!(state & State_Open)) p.fillRect(QRect(midX, midY - 2, 1, 5), Qt::black);
    }
    p.restore();
}

void CSkinStyle::drawPrimitive(PrimitiveElement pe, const QStyleOption* opt, QPainter* p, const QWidget* w) const {
    if (pe == PE_FrameGroupBox) {
        // The platform's group box: an etched line round the group, nothing
        // filled, so the page's ground shows inside it as outside. Placed
        // where the base style puts its frame, below the title.
        const auto* box = qobject_cast<const QGroupBox*>(w);
        int top = 3;
        if (!box || box->isCheckable() || !box->title().isEmpty())
            top += qMax(proxy()->pixelMetric(PM_ExclusiveIndicatorHeight, opt, w), opt->fontMetrics.height());
        const QRect frame = opt->rect.adjusted(0, top, 0, 0);
        if (const auto* f = qstyleoption_cast<const QStyleOptionFrame*>(opt);
            f && (f->features & QStyleOptionFrame::Flat))
            qDrawShadeLine(p, frame.topLeft(), frame.topRight(), opt->palette, true, 1, 0);
        else
            qDrawShadeRect(p, frame, opt->palette, true, 1, 0);
        return;
    }
    if (pe == PE_IndicatorBranch) {
        PaintTreeBranch(*p, opt->rect, opt->state, (opt->state & State_Item) && IsFirstRoot(opt, w));
        return;
    }
    if (pe == PE_PanelLineEdit) {
        const auto* f = qstyleoption_cast<const QStyleOptionFrame*>(opt);
        // Frameless edits (such as a combo box's own) are not decorated.
        if (f && f->lineWidth > 0) {
            const unsigned s = StateOf(opt, w);
            p->fillRect(opt->rect.adjusted(2, 2, -2, -2), opt->palette.brush(QPalette::Base));
            PaintEditFrame(*p, opt->rect, s);
            return;
        }
    }
    if (pe == PE_FrameLineEdit && IsEditLike(w)) {
        PaintEditFrame(*p, opt->rect, StateOf(opt, w));
        return;
    }
    QProxyStyle::drawPrimitive(pe, opt, p, w);
}

void CSkinStyle::drawControl(ControlElement ce, const QStyleOption* opt, QPainter* p, const QWidget* w) const {
    switch (ce) {
    case CE_PushButton:
        if (const auto* b = qstyleoption_cast<const QStyleOptionButton*>(opt)) {
            PaintPushButton(*p, opt->rect, StateOf(opt, w), b->text, w ? w->font() : p->font());
            return;
        }
        break;
    case CE_CheckBox:
    case CE_RadioButton:
        if (const auto* b = qstyleoption_cast<const QStyleOptionButton*>(opt)) {
            PaintCheckBox(*p, opt->rect, StateOf(opt, w), b->text, w ? w->font() : p->font());
            return;
        }
        break;
    case CE_ShapedFrame:
        // Multi-line edits get the edit frame; other frames keep their look.
        if (IsEditLike(w)) {
            const auto* f = qstyleoption_cast<const QStyleOptionFrame*>(opt);
            if (f && f->frameShape != QFrame::NoFrame) {
                unsigned s = StateOf(opt, w);
                if (const auto* pe = qobject_cast<const QPlainTextEdit*>(w); pe && pe->isReadOnly()) s |= st::ReadOnly;
                if (const auto* te = qobject_cast<const QTextEdit*>(w); te && te->isReadOnly()) s |= st::ReadOnly;
                PaintEditFrame(*p, opt->rect, s);
                return;
            }
        }
        break;
    case CE_ComboBoxLabel:
        if (const auto* cb = qstyleoption_cast<const QStyleOptionComboBox*>(opt); cb && !cb->editable) {
            const QRect field = subControlRect(CC_ComboBox, cb, SC_ComboBoxEditField, w);
            const bool focused = (opt->state & State_HasFocus) && (opt->state & State_Enabled);
            // The chosen text shows highlighted while the box has the focus.
            if (focused) p->fillRect(field, opt->palette.brush(QPalette::Highlight));
            p->save();
            p->setPen(opt->palette.color(focused ? QPalette::HighlightedText : QPalette::Text));
            const QRect tr = field.adjusted(2, 0, -1, 0);
            p->drawText(tr, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                        p->fontMetrics().elidedText(cb->currentText, Qt::ElideRight, tr.width()));
            p->restore();
            return;
        }
        break;
    default: break;
    }
    QProxyStyle::drawControl(ce, opt, p, w);
}

void CSkinStyle::drawComplexControl(ComplexControl cc, const QStyleOptionComplex* opt, QPainter* p,
                                    const QWidget* w) const {
    if (cc == CC_ComboBox) {
        if (const auto* cb = qstyleoption_cast<const QStyleOptionComboBox*>(opt)) {
            const unsigned s = StateOf(opt, w);
            const QBrush ground =
                (s & st::Disabled) ? QBrush(skinpaint::ButtonFace()) : opt->palette.brush(QPalette::Base);
            p->fillRect(opt->rect.adjusted(2, 2, -2, -2), ground);
            PaintComboFrame(*p, cb->rect, s);
            return;
        }
    }
    QProxyStyle::drawComplexControl(cc, opt, p, w);
}

QRect CSkinStyle::subControlRect(ComplexControl cc, const QStyleOptionComplex* opt, SubControl sc,
                                 const QWidget* w) const {
    if (cc == CC_ComboBox) {
        const QRect arrow = ComboArrowRect(opt->rect);
        switch (sc) {
        case SC_ComboBoxArrow: return arrow;
        case SC_ComboBoxEditField:
            return QRect(QPoint(opt->rect.left() + 2, opt->rect.top() + 2),
                         QPoint(arrow.left() - 1, opt->rect.bottom() - 2));
        case SC_ComboBoxFrame: return opt->rect;
        default: break;
        }
    }
    return QProxyStyle::subControlRect(cc, opt, sc, w);
}

QRect CSkinStyle::subElementRect(SubElement se, const QStyleOption* opt, const QWidget* w) const {
    // The whole control answers the mouse, as the platform's buttons do.
    if (se == SE_CheckBoxClickRect || se == SE_RadioButtonClickRect) return opt->rect;
    return QProxyStyle::subElementRect(se, opt, w);
}

int CSkinStyle::pixelMetric(PixelMetric pm, const QStyleOption* opt, const QWidget* w) const {
    switch (pm) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight: return 13;
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing: return 5; // the caption starts at x 18
    case PM_DefaultFrameWidth:
        if (IsEditLike(w)) return 2; // the edit frame is two pixels deep
        break;
    default: break;
    }
    return QProxyStyle::pixelMetric(pm, opt, w);
}

int CSkinStyle::styleHint(StyleHint hint, const QStyleOption* opt, const QWidget* w, QStyleHintReturn* ret) const {
    // A tree's selection marks the item; its lines and button stay on the ground.
    if (hint == SH_ItemView_ShowDecorationSelected && qobject_cast<const QTreeView*>(w)) return 0;
    return QProxyStyle::styleHint(hint, opt, w, ret);
}

// ---- switching --------------------------------------------------------------

bool EnableControlSkin(std::nullptr_t, bool on) {
    if (!qApp) return false;
    if (on == g_appSkinned) return g_appSkinned;
    if (on) {
        g_previousStyle = QApplication::style()->name();
        QApplication::setStyle(new CSkinStyle);
        g_appTracker = new HoverTracker(qApp);
        qApp->installEventFilter(g_appTracker);
    } else {
        delete g_appTracker.data();
        QApplication::setStyle(g_previousStyle.isEmpty() ? QStyleFactory::create(QStringLiteral("Fusion"))
                                                         : QStyleFactory::create(g_previousStyle));
    }
    g_appSkinned = on;
    return g_appSkinned;
}

bool EnableControlSkin(QApplication*, bool on) { return EnableControlSkin(nullptr, on); }

bool EnableControlSkin(QWidget* widget, bool on) {
    if (!widget) return EnableControlSkin(nullptr, on);
    static QPointer<HoverTracker> tracker;
    if (!tracker) tracker = new HoverTracker(qApp);
    if (on) {
        if (widget->style() != SharedWidgetStyle()) widget->setStyle(SharedWidgetStyle());
        widget->removeEventFilter(tracker); // met twice: one filter only
        widget->installEventFilter(tracker);
    } else {
        widget->removeEventFilter(tracker);
        widget->setStyle(nullptr);
    }
    widget->update();
    return on;
}

bool IsControlSkinEnabled() { return g_appSkinned; }

// ---- colours ------------------------------------------------------------------

void SetThemeRole(QWidget* w, ThemeRole role) {
    w->setProperty(kRoleProperty, int(role));
    auto polished = [](QWidget* x) {
        return x->testAttribute(Qt::WA_WState_Polished) && qobject_cast<CSkinStyle*>(x->style());
    };
    if (polished(w)) ApplyThemeColours(w);
    for (QWidget* c : w->findChildren<QWidget*>())
        if (polished(c)) ApplyThemeColours(c);
}

void InstallDialogColours() {
    QPalette p = QApplication::palette();
    p.setColor(QPalette::Window, QColor::fromRgb(theme::kDialogBackground));
    p.setColor(QPalette::WindowText, QColor::fromRgb(theme::kDialogText));
    QApplication::setPalette(p, "QMessageBox");
    QApplication::setPalette(p, "QFileDialog");
}
