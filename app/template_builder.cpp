#include "template_builder.h"

#include "theme/skin_list_ctrl.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <limits>

namespace tmpl {

int DluX(int units) { return (units * 3 + 1) / 2; }
int DluY(int units) { return (units * 3 + 1) / 2; }
QRect DluRect(int x, int y, int w, int h) { return QRect(DluX(x), DluY(y), DluX(w), DluY(h)); }

void InstallFontSubstitutes() {
    const QStringList song = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                              QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Zen Hei")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("新宋体"), song);
}

namespace {

// The face the template names, sized so that its text fits the rectangles the
// way it did where dialog units come from the font: a unit is a quarter of the
// average character width and an eighth of the line height, and with 1.5 px
// per unit that is a 12-px line whatever point size the template asks for. The
// stand-in CJK faces have tall lines, so the em is set a little smaller.
QFont TemplateFont(const Window& t) {
    QFont f(QString::fromUtf8(t.font));
    f.setPixelSize(t.pointSize >= 10 ? 12 : 11);
    return f;
}

QStringList Items(const std::vector<const char*>& presets) {
    QStringList items;
    items.reserve(qsizetype(presets.size()));
    for (const char* p : presets) items << QString::fromUtf8(p);
    return items;
}

// Texts are kept whole however long: an edit would otherwise cut at 32 767 characters without a word.
constexpr int kNoLengthLimit = std::numeric_limits<int>::max();

QWidget* Make(const Control& c, QWidget* host, QButtonGroup*& radioGroup, const CustomFactory& custom) {
    const QString caption = QString::fromUtf8(c.caption);
    switch (c.kind) {
    case Kind::Static: {
        auto* l = new QLabel(caption, host);
        Qt::Alignment a = Qt::AlignTop;
        a |= (c.style & Style::Center) ? Qt::AlignHCenter : (c.style & Style::Right) ? Qt::AlignRight : Qt::AlignLeft;
        l->setAlignment(a);
        return l;
    }
    case Kind::GroupBox: {
        auto* g = new QGroupBox(caption, host);
        g->lower();
        return g;
    }
    case Kind::Edit: {
        auto* e = new QLineEdit(host);
        e->setMaxLength(kNoLengthLimit);
        e->setReadOnly(c.style & Style::ReadOnly);
        return e;
    }
    case Kind::Memo: {
        auto* m = new QPlainTextEdit(host);
        m->setTabChangesFocus(true);
        m->setReadOnly(c.style & Style::ReadOnly);
        return m;
    }
    case Kind::Combo:
    case Kind::List: {
        auto* cb = new QComboBox(host);
        cb->setEditable(c.kind == Kind::Combo);
        if (cb->isEditable()) {
            cb->lineEdit()->setMaxLength(kNoLengthLimit);
            cb->setInsertPolicy(QComboBox::NoInsert);
            // The value is the text as typed: no filling in of a preset, no case changes.
            cb->setCompleter(nullptr);
        }
        cb->addItems(Items(c.presets));
        cb->setMaxVisibleItems(12);
        cb->setCurrentIndex(-1);
        return cb;
    }
    case Kind::Check: return new QCheckBox(caption, host);
    case Kind::Radio: {
        auto* r = new QRadioButton(caption, host);
        if ((c.style & Style::Group) || !radioGroup) {
            radioGroup = new QButtonGroup(host);
            radioGroup->setExclusive(true);
        }
        radioGroup->addButton(r);
        return r;
    }
    case Kind::Button: {
        auto* b = new QPushButton(caption, host);
        // Enter has no action of its own on the pages; only a marked default button takes it.
        b->setAutoDefault(false);
        b->setDefault(c.style & Style::Default);
        return b;
    }
    case Kind::Picture: {
        auto* l = new QLabel(host);
        l->setAlignment(Qt::AlignCenter);
        if (*c.caption) l->setPixmap(QPixmap(caption));
        return l;
    }
    case Kind::ListView: {
        auto* l = new CSkinListCtrl(host);
        l->SetMultiSelect(c.style & Style::MultiSelect);
        return l;
    }
    case Kind::Tree: return new QTreeWidget(host);
    case Kind::Custom: return custom ? custom(c, host) : new QWidget(host);
    }
    return nullptr;
}

} // namespace

void Build(const Window& t, QWidget* host, QPoint origin, const CustomFactory& custom) {
    host->setObjectName(QString::number(t.id));
    host->setFont(TemplateFont(t));
    const QRect area = DluRect(0, 0, t.width, t.height);
    host->resize(area.width() + origin.x(), area.height() + origin.y());
    QButtonGroup* radioGroup = nullptr;
    QList<QGroupBox*> groups;
    for (const Control& c : t.controls) {
        QWidget* w = Make(c, host, radioGroup, custom);
        if (!w) continue;
        if (c.id > 0) w->setObjectName(QString::number(c.id));
        QRect r = DluRect(c.x, c.y, c.w, c.h).translated(origin);
        // A drop-down's template height includes its dropped list; the box itself is one line.
        if (c.kind == Kind::Combo || c.kind == Kind::List) r.setHeight(qMin(r.height(), w->sizeHint().height()));
        w->setGeometry(r);
        if (c.style & Style::Hidden) w->hide();
        if (c.style & Style::Disabled) w->setEnabled(false);
        if (auto* g = qobject_cast<QGroupBox*>(w)) groups << g;
    }
    // Group frames sit behind the controls they surround.
    for (QGroupBox* g : groups) g->lower();
}

QWidget* Ctl(const QWidget* window, int id, const QMetaObject& kind) {
    QWidget* w = window->findChild<QWidget*>(QString::number(id));
    if (!w || !kind.cast(w))
        qFatal("window %s (%s) has no %s with id %d", qPrintable(window->objectName()),
               window->metaObject()->className(), kind.className(), id);
    return w;
}

} // namespace tmpl
